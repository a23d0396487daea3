// SPDX-License-Identifier: MIT
#include "FileAccess.h"
#include "FuzzInputs.h"
#include "IniFile.h"
#include "MessageListFile.h"
#include "ProgramDir.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QStringEncoder>

#include <csignal>
#include <random>
#include <sys/stat.h>

using storage::OptionState;

namespace {

// Two large versions of the list, so that a cut or a mix of them shows.
bool saveVersion(const QString& folder, int version) {
    QStringList list;
    for (int i = 0; i < 20000; ++i)
        list << QStringLiteral("%1 %2: back in a while, caf\u00E9").arg(version).arg(i);
    return storage::saveMessageList(folder + "/RandomMsgs.lst", list).isEmpty() &&
           storage::writeIniValues(folder + "/Config.ini", "Main",
                                   {{"Load/Save", QString::number(version)}})
               .isEmpty();
}

} // namespace

class StorageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }

private slots:
    // "Load/Save" in section "Main": the value read, and the file after writing "1" there.
    void iniFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        // clang-format off
        QTest::newRow("other section") << "[Other]\nLoad/Save=0"_qba << "" << "[Other]\nLoad/Save=0\r\n[Main]\r\nLoad/Save=1\r\n"_qba;
        QTest::newRow("before any section") << "Load/Save=0\n[Main]"_qba << "" << "Load/Save=0\n[Main]\r\nLoad/Save=1\r\n"_qba;
        QTest::newRow("any case, spelling kept") << "[MAIN]\r\n load/SAVE = 0 \r\nz=1"_qba << "0" << "[MAIN]\r\nload/SAVE=1\r\nz=1"_qba;
        QTest::newRow("same value: line kept") << "[Main]\n load/save = 1 \n"_qba << "1" << "[Main]\n load/save = 1 \n"_qba;
        QTest::newRow("blanks trimmed") << " [ Main \n\t Load/Save \t= 1 2\t"_qba << "1 2" << " [ Main \nLoad/Save=1\r\n"_qba;
        QTest::newRow("the first key counts") << "[Main]\nLoad/Save\nLoad/Save=0"_qba << "" << "[Main]\nLoad/Save=1\r\nLoad/Save=0"_qba;
        QTest::newRow("the key in the next section") << "[Main]\na=1\n[Other]\nLoad/Save=0"_qba << "" << "[Main]\na=1\nLoad/Save=1\r\n[Other]\nLoad/Save=0"_qba;
        QTest::newRow("a later section of the name") << "[Main]\na=1\n[main]\nLoad/Save=a=b"_qba << "a=b" << "[Main]\na=1\n[main]\nLoad/Save=1\r\n"_qba;
        QTest::newRow("into the first section") << "[Main]\r\na=1\r\n\r\n;c\r\n[Main]\r\nb=2"_qba << "" << "[Main]\r\na=1\r\nLoad/Save=1\r\n\r\n;c\r\n[Main]\r\nb=2"_qba;
        QTest::newRow("last line ended by a lone CR") << "[Main]\na=1\r"_qba << "" << "[Main]\na=1\r\nLoad/Save=1\r\n"_qba;
        QTest::newRow("Windows-1252") << "[Main]\nLoad/Save=caf\xE9\r\n"_qba << u"café"_qs << "[Main]\nLoad/Save=1\r\n"_qba;
        QTest::newRow("254 at most") << "[Main]\nLoad/Save="_qba + QByteArray(300, 'x') << QString(254, 'x') << "[Main]\nLoad/Save=1\r\n"_qba;
        QTest::newRow("no half pair") << "[Main]\nLoad/Save="_qba + QByteArray(253, 'x') + "\xF0\x9F\x98\x80" << QString(253, 'x') << "[Main]\nLoad/Save=1\r\n"_qba;
        // clang-format on
    }
    void iniFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        QCOMPARE(storage::iniValue(content, "Main", "Load/Save"), value);
        QCOMPARE(storage::withIniValue(content, "Main", "Load/Save", "1"), written);
    }

    void settingsCreateTheirFolder() {
        const storage::Settings settings(file("new/Config.ini"));
        QVERIFY(settings.storeOption(storage::Option::HideInTray, OptionState::Greyed).isEmpty());
        QCOMPARE(settings.option(storage::Option::HideInTray), OptionState::Greyed);
    }

    // Files Notepad saved as "Unicode": read as UTF-16, and Config.ini written back so.
    void utf16Files() {
        const auto utf16 = [](const QString& text) {
            QStringEncoder encoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
            return QByteArray(encoder.encode(text));
        };
        QVERIFY(writeBytes(file("Config.ini"), utf16(u"[Main]\r\nLoad/Save=1\r\n"_qs)));
        QVERIFY(writeBytes(file("list"), utf16(u"café\r\n€"_qs)));
        QCOMPARE(storage::loadMessageList(file("list"), 10).entries, QStringList({"café", "€"}));
        QCOMPARE(storage::readIniValue(file("Config.ini"), "Main", "Load/Save"), "1");
        QVERIFY(
            storage::writeIniValues(file("Config.ini"), "Main", {{"HideInTray", "1"}}).isEmpty());
        QCOMPARE(readBytes(file("Config.ini")),
                 utf16(u"[Main]\r\nLoad/Save=1\r\nHideInTray=1\r\n"_qs));
    }

    void onlyRegularFilesAreRead() {
        QVERIFY(::mkfifo(QFile::encodeName(file("fifo")).constData(), 0600) == 0);
        for (const char* name : {"fifo", ".", "missing"}) // a FIFO without waiting for a writer
            QVERIFY(!storage::loadMessageList(file(name), 10).complete &&
                    !storage::isRegularFile(file(name)));
    }

    // Root included: a file or folder without write permission is left as it is.
    void refusedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("readOnly");
        QTest::newRow("read-only file") << "list";
        QTest::newRow("read-only folder") << ".";
        QTest::newRow("empty path") << "";
    }
    void refusedSaveKeepsTheOldFile() {
        QFETCH(QString, readOnly);
        QTemporaryDir dir;
        const QString path = readOnly.isEmpty() ? QString() : dir.filePath("list");
        QVERIFY(writeBytes(dir.filePath("list"), "old\r\n"));
        QVERIFY(readOnly.isEmpty() ||
                ::chmod(QFile::encodeName(dir.filePath(readOnly)), 0555) == 0);
        QVERIFY(!storage::saveMessageList(path, {"new"}).isEmpty());
        QVERIFY(!storage::writeIniValues(path, "Main", {{"a", "1"}}).isEmpty());
        QCOMPARE(readBytes(dir.filePath("list")), "old\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list"});
        ::chmod(QFile::encodeName(dir.path()), 0755);
    }

    // A save as root over a user's file, or through a link to it, leaves it the user's.
    void replacedFileKeepsItsOwner() {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        const QByteArray own = QFile::encodeName(file("own"));
        QVERIFY(writeBytes(own, "") && QFile::link(own, file("link")) && ::chmod(own, 0600) == 0 &&
                ::chown(own, 65534, 65534) == 0);
        struct stat st {};
        for (const char* path : {"own", "link"})
            QVERIFY(storage::saveMessageList(file(path), {"new"}).isEmpty() &&
                    ::stat(own, &st) == 0 && st.st_uid == 65534 && st.st_gid == 65534 &&
                    (st.st_mode & 07777) == 0600);
    }

    // The fuzz target's promises, on every input kept in fuzz/inputs.
    void fuzzInputs() { QVERIFY(runKeptFuzzInputs("") > 10); }

    // Kills a process of its own while it saves both files over and over: each file must
    // always be one whole version or the other.
    void killedSaveLeavesOneWholeVersion() {
        QTemporaryDir dir;
        const QString list = dir.filePath("RandomMsgs.lst"), config = dir.filePath("Config.ini");
        QVERIFY(writeBytes(config, QByteArray("; a line kept as it is\r\n").repeated(5000)));
        QSet<QByteArray> versions, seen;
        for (int version : {1, 0})
            versions << (saveVersion(dir.path(), version) ? readBytes(list) : "")
                     << readBytes(config);
        std::mt19937 chance(4242);
        for (int round = 0; round < 40; ++round) {
            QProcess saver;
            saver.start(QCoreApplication::applicationFilePath(), {"--save-forever", dir.path()});
            QVERIFY(saver.waitForReadyRead(20000));
            QTest::qSleep(int(chance() % 300));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(10000));
            QVERIFY2(versions.contains(readBytes(list)) && versions.contains(readBytes(config)),
                     "a file was cut");
            seen << readBytes(list);
        }
        QCOMPARE(seen.size(), 2); // the kills landed at different moments
    }

    // Beside the program when writable, but not where it was installed to, whatever prefix.
    void programDir() {
        const storage::InstallPlace usr{"/usr/bin", "../share/applications/pellory.desktop"};
        QCOMPARE(storage::resolveProgramDir(dir_.path(), "/c", usr), dir_.path());
        QCOMPARE(storage::resolveProgramDir(file("missing"), "/c/", usr), "/c/pellory");
        QCOMPARE(storage::resolveProgramDir(dir_.path() + "/.", "/c", {dir_.path(), "x"}),
                 "/c/pellory");
        QVERIFY(QDir().mkpath(file("share/applications")) && QDir().mkdir(file("bin")));
        QVERIFY(writeBytes(file("share/applications/pellory.desktop"), ""));
        QCOMPARE(storage::resolveProgramDir(file("bin"), "/c", usr), "/c/pellory");
        // A folder that can be read but not written, even by root: a read-only mount.
        const QTemporaryDir folder, readOnly;
        if (QProcess::execute("mount", {"--bind", "-o", "ro", folder.path(), readOnly.path()}))
            QSKIP("a read-only bind mount needs root");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {readOnly.path()}); });
        QCOMPARE(storage::resolveProgramDir(readOnly.path(), "/c", usr), "/c/pellory");
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--save-forever") == 0) { // for the crash-safety test
        std::puts("saving");
        std::fflush(stdout);
        for (int version = 1;; version = 1 - version)
            saveVersion(QString::fromLocal8Bit(argv[2]), version);
    }
    QCoreApplication app(argc, argv);
    StorageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storage.moc"
