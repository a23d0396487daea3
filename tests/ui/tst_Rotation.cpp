#include "TestWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
const QString kAway = QStringLiteral("aim:goaway?message=");
}

class TestRotation : public QObject {
    Q_OBJECT

    struct State {
        bool timer, start, stop, options;
    };
    static State state(const TestWindow& w) {
        return {w.get<QTimer>("tmrM")->isActive(), w.get<QPushButton>("cmdStart")->isEnabled(),
                w.get<QPushButton>("cmdStop")->isEnabled(),
                w.get<QRadioButton>("op1")->isEnabled() &&
                    w.get<QRadioButton>("op2")->isEnabled() &&
                    w.get<QRadioButton>("op3")->isEnabled()};
    }
    static void verifyRunning(const TestWindow& w, bool running) {
        const State s = state(w);
        QCOMPARE(s.timer, running);
        QCOMPARE(s.start, !running);
        QCOMPARE(s.stop, running);
        QCOMPARE(s.options, !running);
    }

private slots:
    void startWithEmptyListOnlyShowsTheNotice() {
        TestWindow w;
        w.window->cmdStart_Click();
        QCOMPARE(w.fakes.dialogs.notices, QStringList{"Pellory|No Messages!"});
        QVERIFY(w.fakes.opener.opened.isEmpty());
        QCOMPARE(w.fakes.random.calls, 0);
        verifyRunning(w, false);
    }

    void startSendsAtOnceAndTicksSendAgain() {
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItems({"Back soon", "Out to lunch", "Gone"});
        w.fakes.random.draws = {0.5, 0.0, 0.99};

        w.window->cmdStart_Click();
        verifyRunning(w, true);
        QCOMPARE(w.get<QTimer>("tmrM")->interval(), 10000);
        QCOMPARE(w.fakes.opener.opened, QStringList{kAway + "Out+to+lunch"});
        QCOMPARE(w.get<QListWidget>("lstMessages")->currentRow(), 1);

        w.window->tmrM_Timer();
        w.window->tmrM_Timer();
        QCOMPARE(w.fakes.opener.opened,
                 (QStringList{kAway + "Out+to+lunch", kAway + "Back+soon", kAway + "Gone"}));
        QCOMPARE(w.get<QListWidget>("lstMessages")->currentRow(), 2);

        w.window->cmdStop_Click();
        verifyRunning(w, false);
        QCOMPARE(w.fakes.opener.opened.size(), 3);
    }

    void intervalIsLookedUpAtEachStart_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("period");
        QTest::newRow("5") << "op1" << 5000;
        QTest::newRow("10") << "op2" << 10000;
        QTest::newRow("20") << "op3" << 20000;
    }
    void intervalIsLookedUpAtEachStart() {
        QFETCH(QString, option);
        QFETCH(int, period);
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItem("x");
        w.window->cmdStart_Click();
        w.window->cmdStop_Click();
        w.get<QRadioButton>(qPrintable(option))->setChecked(true);
        w.window->cmdStart_Click();
        QCOMPARE(w.get<QTimer>("tmrM")->interval(), period);
        QCOMPARE(w.fakes.opener.opened.size(), 2);
    }

    void fontTagsSwitchedOnWhileRunning() {
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItem("Hi there");
        w.get<QComboBox>("Combo1")->addItem("Times New Roman");
        w.get<QComboBox>("Combo1")->setCurrentIndex(0);
        w.get<QComboBox>("Combo2")->setCurrentIndex(2);
        w.window->cmdStart_Click();
        w.get<QCheckBox>("Check3")->setChecked(true);
        w.window->tmrM_Timer();
        w.get<QCheckBox>("Check3")->setCheckState(Qt::PartiallyChecked);
        w.window->tmrM_Timer();
        QCOMPARE(w.fakes.opener.opened,
                 (QStringList{kAway + "Hi+there",
                              kAway + "<fontface=\"Times+New+Roman\"><fontsize=\"3\">Hi+there",
                              kAway + "Hi+there"}));
    }

    void emptiedListSendsTheEmptyText() {
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItem("only");
        w.window->cmdStart_Click();
        w.window->cmdClearMsgs_Click();
        w.window->tmrM_Timer();
        w.get<QCheckBox>("Check3")->setChecked(true);
        w.window->tmrM_Timer();
        QCOMPARE(w.fakes.opener.opened,
                 (QStringList{kAway + "only", kAway, kAway + "<fontface=\"\"><fontsize=\"\">"}));
        verifyRunning(w, true);
        w.get<QListWidget>("lstMessages")->addItem("again");
        w.window->tmrM_Timer();
        QCOMPARE(w.fakes.opener.opened.last(), kAway + "<fontface=\"\"><fontsize=\"\">again");
    }

    void pickReplacesTheUsersSelection() {
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        list->addItems({"a", "b", "c", "d"});
        w.fakes.random.draws = {0.0, 0.8};
        w.window->cmdStart_Click();
        list->setCurrentRow(2);
        w.window->tmrM_Timer();
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(w.fakes.opener.opened.last(), kAway + "d");
    }

    void sameTextTwiceIsSentTwice() {
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItem("one entry");
        w.window->cmdStart_Click();
        w.window->tmrM_Timer();
        w.window->tmrM_Timer();
        QCOMPARE(w.fakes.opener.opened, QStringList(3, kAway + "one+entry"));
    }

    // With the real clock-seeded source, two entries are each picked about half the time and
    // repeats occur; a pick that favours one entry or never repeats fails these bounds.
    void twoEntriesShareThePicks() {
        Engine::ClockSeededRandom clock;
        TestWindow w;
        w.window = std::make_unique<frmMain>(
            WindowServices{w.fakes.dialogs, w.fakes.opener, w.fakes.tray, w.fakes.sound, clock},
            w.dir.path());
        w.get<QListWidget>("lstMessages")->addItems({"first", "second"});
        w.window->cmdStart_Click();
        for (int i = 0; i < 1999; ++i)
            w.window->tmrM_Timer();
        const auto& sent = w.fakes.opener.opened;
        const qsizetype firsts = sent.count(kAway + "first");
        int repeats = 0;
        for (qsizetype i = 1; i < sent.size(); ++i)
            repeats += sent[i] == sent[i - 1];
        QCOMPARE(sent.size(), 2000);
        QVERIFY2(firsts > 850 && firsts < 1150, qPrintable(QString::number(firsts)));
        QVERIFY2(repeats > 850 && repeats < 1150, qPrintable(QString::number(repeats)));
    }
};

QTEST_MAIN(TestRotation)
#include "tst_Rotation.moc"
