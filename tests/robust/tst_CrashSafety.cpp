#include "MessageListFile.h"
#include "ProgramDir.h"
#include "SaveLoop.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <random>

#include <signal.h>
#include <unistd.h>

namespace {

// Whether the process holds a file in `folder` open: a save that has not finished. Read
// just before the kill, so it can only suggest where the kill landed.
bool SaveOpen(qint64 pid, const QString& folder) {
    const QByteArray prefix = QFile::encodeName(QDir(folder).canonicalPath()) + '/';
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System)) {
        char target[4096];
        const ssize_t size =
            ::readlink(QFile::encodeName(fds + u'/' + fd).constData(), target, sizeof target);
        if (size > 0 && QByteArrayView(target, size).startsWith(prefix))
            return true;
    }
    return false;
}

// The bytes a save of `entries` writes, taken from a save into a folder of their own.
QByteArray SavedBytes(const QStringList& entries) {
    QTemporaryDir dir;
    StringListMessages list;
    list.entries = entries;
    const QString path = dir.filePath(QStringLiteral("list"));
    Misc::SaveMessageList(path, list);
    return ReadBytes(path);
}

} // namespace

// Kills a process that saves all the time, at moments drawn from a fixed seed, and checks
// that each file is always one whole version or the other.
class CrashSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNewFile() {
        constexpr int Rounds = 50;
        constexpr int LongestDelayMs = 400;
        const QString helper = QStringLiteral(SAVE_LOOP_PATH);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString listPath = Storage::MessageListPathIn(dir.path());
        const QString settingsPath = Storage::SettingsFilePathIn(dir.path());

        const QStringList lists[2] = {SaveLoop::List(false), SaveLoop::List(true)};
        const QByteArray listBytes[2] = {SavedBytes(lists[0]), SavedBytes(lists[1])};
        const QByteArray settings[2] = {SaveLoop::Settings(false), SaveLoop::Settings(true)};
        QVERIFY(listBytes[0].size() > 100000 && listBytes[0] != listBytes[1]);
        QVERIFY(WriteBytes(listPath, listBytes[0]));
        QVERIFY(WriteBytes(settingsPath, settings[0]));

        std::mt19937 chance(4242);
        int listSeen[2] = {0, 0};
        int settingsSeen[2] = {0, 0};
        int killsMidWrite = 0;
        for (int round = 0; round < Rounds; ++round) {
            QProcess saver;
            saver.start(helper, {dir.path()});
            QVERIFY2(saver.waitForStarted(10000), qPrintable(saver.errorString()));
            QVERIFY(saver.waitForReadyRead(20000));
            QCOMPARE(saver.readLine(), QByteArray("ready\n"));
            QTest::qSleep(int(chance() % (LongestDelayMs + 1)));
            killsMidWrite += SaveOpen(saver.processId(), dir.path()) ? 1 : 0;
            QCOMPARE(::kill(pid_t(saver.processId()), SIGKILL), 0);
            QVERIFY(saver.waitForFinished(10000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            const QByteArray list = ReadBytes(listPath);
            const int listVersion = list == listBytes[0] ? 0 : list == listBytes[1] ? 1 : -1;
            QVERIFY2(listVersion >= 0, qPrintable(QStringLiteral("round %1: the list holds %2 "
                                                                 "bytes, neither version")
                                                      .arg(round)
                                                      .arg(list.size())));
            ++listSeen[listVersion];
            const QByteArray setting = ReadBytes(settingsPath);
            const int settingsVersion = setting == settings[0]   ? 0
                                        : setting == settings[1] ? 1
                                                                 : -1;
            QVERIFY2(settingsVersion >= 0, qPrintable(QStringLiteral("round %1: Config.ini holds "
                                                                     "%2 bytes, neither version")
                                                          .arg(round)
                                                          .arg(setting.size())));
            ++settingsSeen[settingsVersion];

            // What the program would read: the whole list, not a temporary file beside it.
            QVERIFY(Misc::FileExists(listPath));
            StringListMessages loaded;
            Misc::LoadMessageList(listPath, loaded);
            QCOMPARE(loaded.entries.size(), SaveLoop::Entries);
            QVERIFY(loaded.entries == lists[listVersion]);
        }
        // Qt writes into an unnamed file where the file system allows; elsewhere a kill may
        // leave a named temporary file, which must not be taken for the list (checked above).
        const qsizetype leftovers =
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() - 2;
        qInfo("list: old/new version %d/%d, Config.ini %d/%d, kills during a write %d, "
              "temporary files left %lld",
              listSeen[0], listSeen[1], settingsSeen[0], settingsSeen[1], killsMidWrite,
              qlonglong(leftovers));
        // Kills that found only one version, or no save open, would not have tested a save in
        // progress.
        QVERIFY(listSeen[0] > 0 && listSeen[1] > 0);
        QVERIFY(settingsSeen[0] > 0 && settingsSeen[1] > 0);
        QVERIFY(killsMidWrite > 0);
    }
};

QTEST_GUILESS_MAIN(CrashSafetyTest)
#include "tst_CrashSafety.moc"
