#include "Garbage.h"
#include "Invariants.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Runs what the fuzz targets found (tests/data/fuzz/TARGET/) and a fixed set of generated
// hostile files through the real readers, with the fuzz targets' own checks.
class FuzzInputsTest : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;
    qint64 slowestMs_ = 0;
    QString slowest_;

    static QString RegressionFolder(const QString& target) {
        return qEnvironmentVariable("PELLORY_TEST_DATA") + QStringLiteral("/fuzz/") + target;
    }

    // One row per file the fuzzing kept, then one per generated file.
    static void AddRows(const QString& target) {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("garbage");
        const QDir folder(RegressionFolder(target));
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            QTest::addRow("found: %s", qPrintable(name)) << folder.filePath(name) << -1;
        for (int i = 0; i < Garbage::Count; ++i)
            QTest::addRow("generated %d: %s", i, qPrintable(Garbage::Kind(i))) << QString() << i;
    }

    static QByteArray Input(const QString& file, int garbage) {
        if (garbage >= 0)
            return Garbage::File(garbage);
        QFile input(file);
        return input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
    }

    void check(QStringList (*checker)(const QByteArray&, const QString&)) {
        QFETCH(QString, file);
        QFETCH(int, garbage);
        const QByteArray input = Input(file, garbage);
        QVERIFY(garbage >= 0 || QFileInfo(file).size() == input.size());
        QElapsedTimer timer;
        timer.start();
        const QStringList problems = checker(input, scratch_.path());
        const qint64 ms = timer.elapsed();
        if (ms > slowestMs_) {
            slowestMs_ = ms;
            slowest_ = QString::fromUtf8(QTest::currentDataTag());
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        // A hang shows as a test that never ends; this bounds one input generously, for a
        // sanitizer build on a busy machine.
        QVERIFY2(ms < 30000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }

private slots:
    void initTestCase() { QVERIFY(scratch_.isValid()); }
    void cleanupTestCase() {
        qInfo("slowest input: %s, %lld ms", qPrintable(slowest_), slowestMs_);
    }

    void foundInputsAreKept_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("settings") << QStringLiteral("settings");
        QTest::newRow("list") << QStringLiteral("list");
    }
    void foundInputsAreKept() {
        QFETCH(QString, target);
        QVERIFY2(!QDir(RegressionFolder(target)).entryList(QDir::Files).isEmpty(),
                 qPrintable(RegressionFolder(target)));
    }

    void generatedFilesDiffer() {
        // A generator that repeated itself would test far less than it claims.
        QSet<QByteArray> distinct;
        for (int i = 0; i < Garbage::Count; ++i)
            distinct.insert(Garbage::File(i));
        QVERIFY2(distinct.size() > Garbage::Count - 10,
                 qPrintable(QString::number(distinct.size())));
    }

    void settingsFile_data() { AddRows(QStringLiteral("settings")); }
    void settingsFile() { check(&Robust::CheckSettingsFile); }

    void messageListFile_data() { AddRows(QStringLiteral("list")); }
    void messageListFile() { check(&Robust::CheckMessageListFile); }
};

QTEST_GUILESS_MAIN(FuzzInputsTest)
#include "tst_FuzzInputs.moc"
