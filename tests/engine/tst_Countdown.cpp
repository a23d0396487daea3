#include "Countdown.h"

#include <QtTest>

class TestCountdown : public QObject {
    Q_OBJECT

private slots:
    void toInt16_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("minutes");

        QTest::newRow("plain") << "5" << true << 5;
        QTest::newRow("leading zero") << "03" << true << 3;
        QTest::newRow("half to even, down") << "2.5" << true << 2;
        QTest::newRow("half to even, up") << "3.5" << true << 4;
        QTest::newRow("above half") << "2.51" << true << 3;
        QTest::newRow("just above half, many digits") << "2.50000000000000000001" << true << 3;
        QTest::newRow("below half") << "2.49999" << true << 2;
        QTest::newRow("blanks around") << " 7 " << true << 7;
        QTest::newRow("tab around") << "\t7\t" << true << 7;
        QTest::newRow("negative") << "-2" << true << -2;
        QTest::newRow("plus sign") << "+4" << true << 4;
        QTest::newRow("trailing point") << "6." << true << 6;
        QTest::newRow("leading point, half of zero") << ".5" << true << 0;
        QTest::newRow("top of range") << "32767" << true << 32767;
        QTest::newRow("bottom of range") << "-32768" << true << -32768;
        QTest::newRow("rounds into range") << "-32768.5" << true << -32768;
        QTest::newRow("rounds out of range") << "32767.5" << false << 0;
        QTest::newRow("out of range") << "40000" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank") << "   " << false << 0;
        QTest::newRow("word") << "abc" << false << 0;
        QTest::newRow("digits then word") << "5 min" << false << 0;
        QTest::newRow("inner blank") << "1 2" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("point alone") << "." << false << 0;
        QTest::newRow("two points") << "1.2.3" << false << 0;
    }
    void toInt16() {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(int, minutes);
        const auto parsed = Engine::ToInt16(text);
        QCOMPARE(parsed.has_value(), converts);
        if (converts)
            QCOMPARE(int(*parsed), minutes);
    }

    void substituteMinutes_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("result");

        QTest::newRow("once") << "back in %m minutes"
                              << "5"
                              << "back in 5 minutes";
        QTest::newRow("twice") << "%m or %m"
                               << "2"
                               << "2 or 2";
        QTest::newRow("none") << "back soon"
                              << "2"
                              << "back soon";
        QTest::newRow("empty") << ""
                               << "2"
                               << "";
        QTest::newRow("capital M is no placeholder") << "%M %m"
                                                     << "3"
                                                     << "%M 3";
        QTest::newRow("other percent sequences stay") << "%n %d %t %m"
                                                      << "1"
                                                      << "%n %d %t 1";
        QTest::newRow("not rescanned") << "%m"
                                       << "%m"
                                       << "%m";
        QTest::newRow("adjacent") << "%m%m"
                                  << "1"
                                  << "11";
        QTest::newRow("percent before") << "%%m"
                                        << "4"
                                        << "%4";
        QTest::newRow("text as typed") << "in %m"
                                       << " 2.5"
                                       << "in  2.5";
    }
    void substituteMinutes() {
        QFETCH(QString, templateText);
        QFETCH(QString, minutes);
        QFETCH(QString, result);
        QCOMPARE(Engine::SubstituteMinutes(templateText, minutes), result);
    }

    void lineBreaksBecomeCrLf() {
        QCOMPARE(Engine::WithCrLf("a\nb\n"), QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(Engine::WithCrLf("none"), QStringLiteral("none"));
    }

    void tick_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("expired");

        QTest::newRow("counting") << 5 << 4 << false;
        QTest::newRow("last count") << 2 << 1 << false;
        QTest::newRow("reaches zero") << 1 << 0 << true;
        QTest::newRow("started at zero") << 0 << -1 << true;
        QTest::newRow("started below zero") << -2 << -3 << true;
        QTest::newRow("bottom of range does not wrap") << -32768 << -32768 << true;
        QTest::newRow("top of range") << 32767 << 32766 << false;
    }
    void tick() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, expired);
        const auto step = Engine::CountdownTick(static_cast<qint16>(before));
        QCOMPARE(int(step.minutesLeft), after);
        QCOMPARE(step.expired, expired);
    }
};

QTEST_GUILESS_MAIN(TestCountdown)
#include "tst_Countdown.moc"
