// SPDX-License-Identifier: MIT
#include "ShutdownSignals.h"
#include "SingleInstance.h"
#include "SoundPlayer.h"
#include "TrayIcon.h"
#include "TestFiles.h"
#include "UrlOpener.h"

#include <QDir>
#include <QMenu>
#include <QSignalSpy>

#include <csignal>

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(dir_.path())); }

    // One xdg-open at a time: the newest link waits, replacing older ones. Each kind of
    // trouble is told once.
    void openerSendsOneAtATime() {
        QVERIFY(writeBytes("xdg-open", "#!/bin/sh\necho \"$1\" >>links\nsleep 1\nexit 3\n"));
        QFile::setPermissions("xdg-open", QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir_.path()) + ':' + qgetenv("PATH"));
        QStringList told;
        desktop::XdgOpener opener([] { return true; }, std::chrono::milliseconds(200));
        desktop::XdgOpener nobody([] { return false; });
        for (desktop::XdgOpener* each : {&opener, &nobody})
            each->setOnProblem([&](const QString& message) { told << message.section(' ', 0, 1); });
        for (const QString& url :
             QStringList{"aim:1", "aim:2", "aim:3", "aim:" + QString(140000, u'x')})
            opener.open(url);
        nobody.open("aim:4");
        nobody.open("aim:5");
        QTRY_COMPARE_WITH_TIMEOUT(readBytes("links"), "aim:1\naim:3\n", 10000);
        QTRY_COMPARE(told, QStringList({"An away", "No program", "The program", "xdg-open could"}));
    }

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

    // One copy per program folder, whatever runtime folder each copy sees; the socket in the
    // runtime folder or else in the program folder; a socket left by a killed copy is taken
    // over; no lock at all, no start.
    void oneCopyPerFolder_data() {
        using Claim = desktop::SingleInstance::Claim;
        QTest::addColumn<QString>("runtime");       // the first copy's
        QTest::addColumn<QString>("secondRuntime"); // the second copy's
        QTest::addColumn<QString>("program");
        QTest::addColumn<Claim>("firstClaim");
        QTest::addColumn<Claim>("secondClaim");
        // clang-format off
        QTest::newRow("runtime folder") << "run" << "run" << "a" << Claim::First << Claim::HandedOver;
        QTest::newRow("none usable") << "" << "" << "b" << Claim::First << Claim::HandedOver;
        QTest::newRow("missing") << "missing" << "missing" << "c" << Claim::First << Claim::HandedOver;
        QTest::newRow("runtime folders differ") << "run" << "" << "e" << Claim::First << Claim::NotAnswering;
        QTest::newRow("no lock") << "" << "" << "file/d" << Claim::NoLock << Claim::NoLock;
        // clang-format on
    }

    void oneCopyPerFolder() {
        using Claim = desktop::SingleInstance::Claim;
        QFETCH(QString, runtime);
        QFETCH(QString, secondRuntime);
        QFETCH(QString, program);
        QFETCH(Claim, secondClaim);
        QVERIFY(QDir().mkpath("run") && QDir().mkpath("b") && writeBytes("file", ""));
        QVERIFY(writeBytes("b/.pellory", "")); // the socket of a copy that was killed
        const auto runtimeDir = [this](const QString& name) {
            return name.isEmpty() ? QString() : dir_.filePath(name);
        };
        desktop::SingleInstance first(dir_.filePath(program), runtimeDir(runtime));
        desktop::SingleInstance second(dir_.filePath(program), runtimeDir(secondRuntime));
        QSignalSpy shown(&first, &desktop::SingleInstance::showRequested);
        QTEST(first.claim(), "firstClaim");
        QCOMPARE(second.claim(), secondClaim);
        QCOMPARE(shown.wait(500), secondClaim == Claim::HandedOver);
    }

    // "I'm Back" in the icon's menu only while the bridge receives aim: links; it runs it.
    void trayMenu_data() {
        QTest::addColumn<std::optional<bool>>("bridgeHandlesLinks");
        QTest::addColumn<QString>("items");
        QTest::newRow("the bridge") << std::optional(true) << "Restore|I'm Back|Quit";
        QTest::newRow("another program") << std::optional(false) << "Restore|Quit";
        QTest::newRow("GIO can't tell") << std::optional<bool>() << "Restore|Quit";
    }
    void trayMenu() {
        QFETCH(std::optional<bool>, bridgeHandlesLinks);
        int backs = 0;
        desktop::SystemTrayIcon tray([&] { return bridgeHandlesLinks; }, [&] { ++backs; });
        tray.show(QIcon(), "Pellory");
        QStringList items;
        for (QAction* action : tray.menu()->actions()) {
            items << action->text();
            if (action->text() == "I'm Back")
                action->trigger();
        }
        QTEST(items.join('|'), "items");
        QCOMPARE(backs, bridgeHandlesLinks == true ? 1 : 0);
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

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
