#include "TestWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
const QString kAway = QStringLiteral("aim:goaway?message=");
QString back(const QString& minutes) {
    return kAway + "I+will+be+back+in+" + minutes + "+minutes.\r\n";
}
const QString kNotBack = kAway + "I+should+have+been+back+by+now!\r\n";
} // namespace

class TestCountdown : public QObject {
    Q_OBJECT

    static void enable(TestWindow& w, const QString& minutes) {
        w.get<QLineEdit>("Text3")->setText(minutes);
        w.window->Command6_Click();
    }
    static void verifyRunning(const TestWindow& w, bool running) {
        QCOMPARE(w.get<QTimer>("Timer")->isActive(), running);
        QCOMPARE(w.get<QPushButton>("Command6")->isEnabled(), !running);
        QCOMPARE(w.get<QPushButton>("Command7")->isEnabled(), running);
        QCOMPARE(w.get<QWidget>("Text2")->isEnabled(), !running);
        QCOMPARE(w.get<QWidget>("Text3")->isEnabled(), !running);
        QVERIFY(w.get<QWidget>("Text6")->isEnabled());
    }
    // Ticks until the countdown stops by itself (at most 10 ticks).
    static void tickToTheEnd(TestWindow& w) {
        for (int i = 0; i < 10 && w.get<QTimer>("Timer")->isActive(); ++i)
            w.window->Timer_Timer();
    }

private slots:
    void countsDownThenSaysNotBack_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("5") << "5" << QStringList{back("5"), back("4"), back("3"),
                                                 back("2"), back("1"), kNotBack};
        QTest::newRow("1") << "1" << QStringList{back("1"), kNotBack};
        QTest::newRow("03 shows as typed first")
            << "03" << QStringList{back("03"), back("2"), back("1"), kNotBack};
        QTest::newRow("2.5 counts as 2") << "2.5" << QStringList{back("2.5"), back("1"), kNotBack};
        QTest::newRow("3.5 counts as 4")
            << "3.5" << QStringList{back("3.5"), back("3"), back("2"), back("1"), kNotBack};
        QTest::newRow("blanks kept in the first message")
            << " 7 " << QStringList{back("+7+"), back("6"), back("5"), back("4"),
                                    back("3"),   back("2"), back("1"), kNotBack};
        QTest::newRow("negative ends at the first tick")
            << "-2" << QStringList{back("-2"), kNotBack};
        QTest::newRow("zero ends at the first tick") << "0" << QStringList{back("0"), kNotBack};
        QTest::newRow("abc at start keeps 0") << "abc" << QStringList{back("abc"), kNotBack};
        QTest::newRow("40000 is out of range") << "40000" << QStringList{back("40000"), kNotBack};
    }
    void countsDownThenSaysNotBack() {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        TestWindow w;
        enable(w, typed);
        verifyRunning(w, true);
        QCOMPARE(w.get<QTimer>("Timer")->interval(), 60000);
        QCOMPARE(w.get<QTimer>("Timer")->remainingTime() > 59000, true);
        tickToTheEnd(w);
        QCOMPARE(w.fakes.opener.opened, expected);
        verifyRunning(w, false);
    }

    void failedConversionKeepsTheCountOfADisable() {
        TestWindow w;
        enable(w, "5");
        w.window->Timer_Timer();
        w.window->Timer_Timer(); // 3 left
        w.window->Command7_Click();
        verifyRunning(w, false);
        QCOMPARE(w.fakes.opener.opened.size(), 3); // Disable sends nothing
        w.fakes.opener.opened.clear();

        enable(w, "abc");
        tickToTheEnd(w);
        QCOMPARE(w.fakes.opener.opened, (QStringList{back("abc"), back("2"), back("1"), kNotBack}));
    }

    void enableAfterExpiryStartsAfresh() {
        TestWindow w;
        enable(w, "1");
        tickToTheEnd(w);
        w.fakes.opener.opened.clear();
        enable(w, "2");
        verifyRunning(w, true);
        tickToTheEnd(w);
        QCOMPARE(w.fakes.opener.opened, (QStringList{back("2"), back("1"), kNotBack}));
    }

    void templates_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("twice") << "%m and %m" << QStringList{kAway + "2+and+2", kAway + "1+and+1"};
        QTest::newRow("none") << "Away" << QStringList{kAway + "Away", kAway + "Away"};
        QTest::newRow("empty") << "" << QStringList{kAway, kAway};
        QTest::newRow("capital M left alone")
            << "%M %m" << QStringList{kAway + "%25M+2", kAway + "%25M+1"};
        QTest::newRow("line breaks go out as CR LF")
            << "a\nb %m\n"
            << QStringList{kAway + "a\r\nb+2\r\n", kAway + "a\r\nb+1\r\n"};
    }
    void templates() {
        QFETCH(QString, templateText);
        QFETCH(QStringList, expected);
        TestWindow w;
        w.get<QPlainTextEdit>("Text2")->setPlainText(templateText);
        enable(w, "2");
        w.window->Timer_Timer();
        QCOMPARE(w.fakes.opener.opened, expected);
    }

    void notBackTextAndFontTagsAreReadAtEachSend() {
        TestWindow w;
        w.get<QComboBox>("Combo1")->addItem("Arial");
        w.get<QComboBox>("Combo1")->setCurrentIndex(0);
        w.get<QComboBox>("Combo2")->setCurrentIndex(1);
        enable(w, "2");
        w.get<QCheckBox>("Check3")->setChecked(true);
        w.window->Timer_Timer();
        w.get<QCheckBox>("Check3")->setChecked(false);
        w.get<QPlainTextEdit>("Text6")->setPlainText("Late again");
        w.window->Timer_Timer();
        QCOMPARE(w.fakes.opener.opened,
                 (QStringList{back("2"),
                              kAway + "<fontface=\"Arial\"><fontsize=\"2\">I+will+be+back+in+1+"
                                      "minutes.\r\n",
                              kAway + "Late+again"}));
    }
};

QTEST_MAIN(TestCountdown)
#include "tst_Countdown.moc"
