#include "FileAccess.h"
#include "IniFile.h"
#include "MessageListFile.h"
#include "ProgramDir.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>

#include <sys/stat.h>

using storage::OptionState;

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
        QTest::newRow("a later section of the name") << "[Main]\na=1\n[main]\nLoad/Save=a=b"_qba << "a=b" << "[Main]\na=1\n[main]\nLoad/Save=1\r\n"_qba;
        QTest::newRow("into the first section") << "[Main]\r\na=1\r\n\r\n;c\r\n[Main]\r\nb=2"_qba << "" << "[Main]\r\na=1\r\nLoad/Save=1\r\n\r\n;c\r\n[Main]\r\nb=2"_qba;
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

    void settings() {
        const std::pair<const char*, int> options[] = {{"1", 1},    {" 1.0 ", 1}, {"2", 2},
                                                       {"0", 0},    {"3", -1},    {"-1", -1},
                                                       {"yes", -1}, {"", -1}};
        for (const auto& [text, state] : options)
            QCOMPARE(int(storage::Settings::parseOption(text).value_or(OptionState(-1))), state);
        const storage::Settings settings(file("new/Config.ini"));
        QVERIFY(settings.storeOption(storage::Option::HideInTray, OptionState::Greyed));
        QVERIFY(settings.storeAll(
            {OptionState::On, OptionState::Greyed, OptionState::Off, OptionState::On}, 4, -1));
        QCOMPARE(readBytes(file("new/Config.ini")),
                 "[Main]\r\nHideInTray=2\r\nLoad/Save=1\r\nFontTags=0\r\n"
                 "PlaySound=1\r\nFontFace=4\r\nFontSize=-1\r\n");
        QCOMPARE(settings.option(storage::Option::PlaySound), OptionState::On);
    }

    void listFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        // clang-format off
        QTest::newRow("CR LF, blank, unended") << "a\r\n\r\nb"_qba << QStringList{"a", "", "b"};
        QTest::newRow("a lone CR stays") << "a\rb\nc\r"_qba << QStringList{"a\rb", "c\r"};
        QTest::newRow("only the file's mark dropped") << "\xEF\xBB\xBF\n\xEF\xBB\xBF"_qba << QStringList{"", u"\uFEFF"_qs};
        QTest::newRow("each line its encoding") << "\xE9\r\n\xC3\xA9\r\n\xC3\xA9\xE9"_qba << QStringList{"é", "é", "Ã©é"};
        // clang-format on
    }
    void listFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QVERIFY(writeBytes(file("list"), bytes));
        QCOMPARE(storage::loadMessageList(file("list"), 100).entries, entries);
        QVERIFY(storage::saveMessageList(file("list"), entries));
        QCOMPARE(storage::loadMessageList(file("list"), 100).entries, entries);
    }

    void listFileBytes() {
        const QStringList entries = {u"\uFEFFmark"_qs, "  a\t ", "", u"café"_qs};
        QVERIFY(storage::saveMessageList(file("list"), entries));
        QCOMPARE(readBytes(file("list")),
                 "\xEF\xBB\xBF\xEF\xBB\xBFmark\r\n  a\t \r\n\r\ncaf\xC3\xA9\r\n");
        int callbacks = 0; // a long load lets the caller's timers run
        QVERIFY(writeBytes(file("list"), QByteArray("x\r\n").repeated(200000)));
        QVERIFY(storage::loadMessageList(file("list"), 200000, [&] { ++callbacks; }).whole);
        QVERIFY(callbacks > 0);
    }

    void onlyRegularFilesAreRead() {
        QVERIFY(::mkfifo(QFile::encodeName(file("fifo")).constData(), 0600) == 0);
        for (const char* name : {"fifo", ".", "missing"}) // a FIFO without waiting for a writer
            QVERIFY(!storage::loadMessageList(file(name), 10).whole &&
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
        QVERIFY(!storage::saveMessageList(path, {"new"}));
        QVERIFY(!storage::writeIniValues(path, "Main", {{"a", "1"}}));
        QCOMPARE(readBytes(dir.filePath("list")), "old\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list"});
        ::chmod(QFile::encodeName(dir.path()), 0755);
    }

    void programDir() {
        QCOMPARE(storage::resolveProgramDir(dir_.path(), "/c"), dir_.path());
        QCOMPARE(storage::resolveProgramDir(file("missing"), "/c/"), "/c/pellory");
        QCOMPARE(storage::ProgramFiles("/").settings + storage::ProgramFiles("/p").messageList,
                 "/Config.ini/p/RandomMsgs.lst");
    }
};

QTEST_GUILESS_MAIN(StorageTest)
#include "tst_storage.moc"
