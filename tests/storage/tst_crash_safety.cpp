// Kills a process of its own while it saves both files over and over: each file must always
// be one whole version or the other.
#include "IniFile.h"
#include "MessageListFile.h"
#include "TestFiles.h"

#include <QProcess>

#include <csignal>
#include <random>

namespace {

// Two large versions of the list, so that a cut or a mix of them shows.
QStringList listVersion(int version) {
    QStringList list;
    for (int i = 0; i < 20000; ++i)
        list << QStringLiteral("%1 %2: back in a while, caf\u00E9").arg(version).arg(i);
    return list;
}

bool saveVersion(const QString& folder, int version) {
    return storage::saveMessageList(folder + "/RandomMsgs.lst", listVersion(version)) &&
           storage::writeIniValues(folder + "/Config.ini", "Main",
                                   {{"Load/Save", QString::number(version)}});
}

} // namespace

class CrashSafetyTest : public QObject {
    Q_OBJECT

private slots:
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
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--save-forever") == 0) {
        std::puts("saving");
        std::fflush(stdout);
        for (int version = 1;; version = 1 - version)
            saveVersion(QString::fromLocal8Bit(argv[2]), version);
    }
    QCoreApplication app(argc, argv);
    CrashSafetyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash_safety.moc"
