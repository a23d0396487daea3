#include "ShutdownSignals.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class TestShutdownSignals : public QObject {
    Q_OBJECT

private slots:
    void signalsArriveOnTheEventLoop_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalsArriveOnTheEventLoop() {
        QFETCH(int, signalNumber);
        Desktop::ShutdownSignals watcher;
        QSignalSpy spy(&watcher, &Desktop::ShutdownSignals::received);
        ::raise(signalNumber);
        QVERIFY(spy.isEmpty()); // nothing happens inside the handler itself
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.takeFirst().at(0).toInt(), signalNumber);
    }

    void heldSignalsAreReportedOnRelease() {
        Desktop::ShutdownSignals watcher;
        QSignalSpy spy(&watcher, &Desktop::ShutdownSignals::received);
        watcher.setHeld(true);
        ::raise(SIGTERM);
        QTest::qWait(100);
        QVERIFY(spy.isEmpty());
        watcher.setHeld(false);
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestShutdownSignals)
#include "tst_ShutdownSignals.moc"
