#include "RandomPick.h"

#include <QtTest>

class TestRandomPick : public QObject {
    Q_OBJECT

private slots:
    void pickIndex_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("index");

        QTest::newRow("empty list") << 0 << 0.5 << -1;
        QTest::newRow("one entry") << 1 << 0.999 << 0;
        QTest::newRow("start") << 10 << 0.0 << 0;
        QTest::newRow("floor") << 10 << 0.39 << 3;
        QTest::newRow("just below one") << 10 << 0.9999999 << 9;
        QTest::newRow("a draw of one stays in range") << 10 << 1.0 << 9;
        QTest::newRow("full list") << 32767 << 0.5 << 16383;
    }
    void pickIndex() {
        QFETCH(int, count);
        QFETCH(double, r);
        QFETCH(int, index);
        QCOMPARE(Engine::PickIndex(count, r), index);
    }

    // A broken pick (always the same entry, or never the last one) falls outside these bounds;
    // a fair one does so with a chance far below one in a million.
    void clockSeededDrawsAreUniform() {
        Engine::ClockSeededRandom random;
        constexpr int draws = 4000;
        int counts[2] = {0, 0};
        for (int i = 0; i < draws; ++i) {
            const double r = random.next();
            QVERIFY(r >= 0.0 && r < 1.0);
            ++counts[Engine::PickIndex(2, r)];
        }
        QVERIFY2(counts[0] > 1700 && counts[0] < 2300, qPrintable(QString::number(counts[0])));
    }

    void drawsHaveFineResolution() {
        Engine::ClockSeededRandom random;
        QSet<double> seen;
        for (int i = 0; i < 1000; ++i)
            seen.insert(random.next());
        QVERIFY(seen.size() > 990);
    }
};

QTEST_GUILESS_MAIN(TestRandomPick)
#include "tst_RandomPick.moc"
