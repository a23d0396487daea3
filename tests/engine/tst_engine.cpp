// SPDX-License-Identifier: MIT
#include "AwayText.h"
#include "Countdown.h"
#include "Numbers.h"
#include "Rotation.h"

#include <QTest>

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    // Only what would change the link's meaning is escaped; a NUL would end the argument.
    void awayCommandEscapes() {
        QCOMPARE(engine::awayCommand(QString::fromUtf16(u"a b%+&#<é>\r\n\0z", 14)),
                 QString::fromUtf16(u"aim:goaway?message=a+b%25%2B%26%23<é>\r\n%00z"));
    }

    void parseInt16() {
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {
            {"03", "3"}, {"2.5", "2"}, {"3.5", "4"}, {"2.500001", "3"}, {".5", "0"}, {" \t7 ", "7"},
            {"+4", "4"}, {"-2", "-2"}, {"-32768.5", "-32768"}, {"32767.5", ""}, {"40000", ""},
            {"", ""}, {" ", ""}, {"5 min", ""}, {"1.2.3", ""}, {"-", ""}, {".", ""}, {"1e2", ""}};
        // clang-format on
        for (const auto& [text, value] : rows) {
            const std::optional<qint16> parsed = engine::parseInt16(text);
            QCOMPARE(parsed ? QString::number(*parsed) : QString(), QString(value));
        }
    }

    // Enable with the typed minutes, then tick until the countdown ends by itself.
    void countdown_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        // clang-format off
        QTest::newRow("3") << "3" << "%M 3/3|%M 2/2|%M 1/1|Late";
        QTest::newRow("as typed first") << " 02" << "%M  02/ 02|%M 1/1|Late";
        QTest::newRow("2.5 is 2") << "2.5" << "%M 2.5/2.5|%M 1/1|Late";
        QTest::newRow("zero") << "0" << "%M 0/0|Late";
        QTest::newRow("negative") << "-2" << "%M -2/-2|Late";
        QTest::newRow("no number keeps the last count") << "abc" << "%M abc/abc|%M 1/1|Late";
        QTest::newRow("not rescanned") << "%m" << "%M %m/%m|%M 1/1|Late";
        // clang-format on
    }
    void countdown() {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        engine::Countdown countdown;
        countdown.start("", "2"); // a previous run that left 2 minutes
        QStringList texts{countdown.start("%M %m/%m\n", typed)};
        while (countdown.running() && texts.size() < 9)
            texts << countdown.tick("%M %m/%m\n", "Late\n").text;
        QCOMPARE(texts.join(u'|'), sent.replace("|", "\r\n|") + "\r\n");
    }

    // Two entries are each picked about half the time, and about half the picks repeat the
    // one before; a fixed seed or a lopsided pick falls far outside these bounds.
    void clockSeededPicksAreFair() {
        engine::ClockSeededRandom random;
        engine::Rotation rotation(random);
        int firsts = 0, repeats = 0, last = -1;
        for (int i = 0; i < 2000; ++i) {
            const int pick = rotation.tick(2);
            firsts += pick == 0;
            repeats += pick == last;
            last = pick;
        }
        QVERIFY2(firsts > 850 && firsts < 1150 && repeats > 850 && repeats < 1150,
                 qPrintable(QString("%1 firsts, %2 repeats").arg(firsts).arg(repeats)));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
