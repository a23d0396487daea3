#include "ShutdownSignals.h"
#include "SoundPlayer.h"
#include "TestFiles.h"

#include <QDir>
#include <QSignalSpy>

#include <csignal>

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(dir_.path())); }

    // On a null sound device a wave file plays; for anything else the bell sounds instead.
    void startupSoundFallsBackToTheBell() {
        struct : desktop::SoundPlayer {
            desktop::CanberraPlayer real;
            QStringList events;
            bool playFile(const QString& path) override { return real.playFile(path); }
            void playEvent(const QString& id) override { events << id; }
        } player;
        QVERIFY(writeBytes(".asoundrc", "pcm.!default { type null }\n"));
        qputenv("HOME", QFile::encodeName(dir_.path()));
        QVERIFY(writeBytes("garbage.wav", "not a sound"));
        for (const char* file : {TEST_DATA "/silence.wav", "garbage.wav", "missing.wav"})
            desktop::playStartupSound(QDir::current().filePath(file), player);
        QCOMPARE(player.events, QStringList({"bell", "bell"}));
    }

    void signalsArriveOnTheEventLoop() {
        desktop::ShutdownSignals watcher;
        QSignalSpy spy(&watcher, &desktop::ShutdownSignals::received);
        for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
            ::raise(signalNumber);
            QVERIFY(spy.wait(2000));
            QCOMPARE(spy.takeFirst().at(0).toInt(), signalNumber);
        }
        watcher.setHeld(true); // held while the list loads, reported once released
        ::raise(SIGTERM);
        QVERIFY(!spy.wait(200));
        watcher.setHeld(false);
        QVERIFY(spy.wait(2000));
    }
};

QTEST_GUILESS_MAIN(DesktopTest)
#include "tst_desktop.moc"
