#include "Shutdown.h"
#include "ShutdownSignals.h"
#include "TestFiles.h"
#include "TestWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

QByteArray settings(const QByteArray& loadSave, const QByteArray& tray, const QByteArray& tags,
                    const QByteArray& sound, const QByteArray& face, const QByteArray& size) {
    return "[Main]\r\nLoad/Save=" + loadSave + "\r\nHideInTray=" + tray + "\r\nFontTags=" + tags +
           "\r\nPlaySound=" + sound + "\r\nFontFace=" + face + "\r\nFontSize=" + size + "\r\n";
}

} // namespace

class TestStartupShutdown : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithNoFiles() {
        TestWindow w;
        w.window->Form_Load();
        for (const char* box : {"Check1", "Check2", "Check3", "Check6"})
            QCOMPARE(w.get<QCheckBox>(box)->checkState(), Qt::Unchecked);
        QVERIFY(!w.get<QGroupBox>("Frame1")->isEnabled());
        QCOMPARE(w.get<QLabel>("Label1(0)")->text(), QStringLiteral("Random Messages: 0"));
        QCOMPARE(w.get<QComboBox>("Combo1")->currentIndex(), 0);
        QVERIFY(w.get<QComboBox>("Combo1")->count() > 0);
        QCOMPARE(w.get<QComboBox>("Combo2")->currentText(), QStringLiteral("1"));
        QVERIFY(w.fakes.sound.files.isEmpty());
        QVERIFY(!QFile::exists(w.path("Config.ini")));

        w.window->close();
        QCOMPARE(ReadBytes(w.path("Config.ini")), settings("0", "0", "0", "0", "0", "0"));
        QVERIFY(!QFile::exists(w.path("RandomMsgs.lst")));
    }

    void fontListHoldsFamilyNamesOnce() {
        TestWindow w;
        w.window->Form_Load();
        auto* fonts = w.get<QComboBox>("Combo1");
        QStringList names;
        for (int i = 0; i < fonts->count(); ++i)
            names << fonts->itemText(i);
        QCOMPARE(names.removeDuplicates(), 0);
        for (const QString& name : names)
            QVERIFY2(!name.endsWith(u']'), qPrintable(name));
    }

    void listLoadedAndSavedOnlyWithLoadSave_data() {
        QTest::addColumn<QByteArray>("loadSave");
        QTest::addColumn<bool>("listFile");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QByteArray>("fileAfterClose");
        const QByteArray file = "first\r\nsecond, with comma\r\n";
        QTest::newRow("on, file present")
            << QByteArray("1") << true << QStringList{"first", "second, with comma"}
            << file + "added\r\n";
        QTest::newRow("on, no file")
            << QByteArray("1") << false << QStringList{} << QByteArray("added\r\n");
        QTest::newRow("off, file present") << QByteArray("0") << true << QStringList{} << file;
        QTest::newRow("greyed counts as off") << QByteArray("2") << true << QStringList{} << file;
    }
    void listLoadedAndSavedOnlyWithLoadSave() {
        QFETCH(QByteArray, loadSave);
        QFETCH(bool, listFile);
        QFETCH(QStringList, loaded);
        QFETCH(QByteArray, fileAfterClose);
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), "[Main]\r\nLoad/Save=" + loadSave + "\r\n"));
        if (listFile)
            QVERIFY(WriteBytes(w.path("RandomMsgs.lst"), "first\r\nsecond, with comma\r\n"));
        w.window->Form_Load();
        QCOMPARE(w.entries(), loaded);
        QCOMPARE(w.get<QLabel>("Label1(0)")->text(),
                 QStringLiteral("Random Messages: %1").arg(loaded.size()));
        w.get<QListWidget>("lstMessages")->addItem("added");
        w.window->close();
        QCOMPARE(ReadBytes(w.path("RandomMsgs.lst")), fileAfterClose);
    }

    void fileLongerThanTheListIsNotCutDownAtClose() {
        TestWindow w;
        QByteArray lines;
        for (int i = 0; i < 40000; ++i)
            lines += QByteArray::number(i) + "\r\n";
        QVERIFY(WriteBytes(w.path("Config.ini"), "[Main]\r\nLoad/Save=1\r\n"));
        QVERIFY(WriteBytes(w.path("RandomMsgs.lst"), lines));
        w.window->Form_Load();
        QCOMPARE(w.entries().size(), 32767);
        w.window->close();
        QCOMPARE(ReadBytes(w.path("RandomMsgs.lst")), lines);
    }

    void clearingThenClosingLeavesAnEmptyFile() {
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), "[Main]\r\nLoad/Save=1\r\n"));
        QVERIFY(WriteBytes(w.path("RandomMsgs.lst"), "a\r\nb\r\n"));
        w.window->Form_Load();
        w.window->cmdClearMsgs_Click();
        w.window->close();
        QCOMPARE(ReadBytes(w.path("RandomMsgs.lst")), QByteArray());
    }

    void untickingLoadSaveKeepsTheOldFile() {
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), "[Main]\r\nLoad/Save=1\r\n"));
        QVERIFY(WriteBytes(w.path("RandomMsgs.lst"), "a\r\n"));
        w.window->Form_Load();
        w.get<QListWidget>("lstMessages")->addItem("lost");
        w.get<QCheckBox>("Check1")->click();
        QCOMPARE(ReadBytes(w.path("Config.ini")), QByteArray("[Main]\r\nLoad/Save=0\r\n"));
        w.window->close();
        QCOMPARE(ReadBytes(w.path("RandomMsgs.lst")), QByteArray("a\r\n"));
    }

    void optionsAreRestored_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("atClose");
        QTest::newRow("1") << QByteArray("1") << int(Qt::Checked) << QByteArray("1");
        QTest::newRow("0") << QByteArray("0") << int(Qt::Unchecked) << QByteArray("0");
        QTest::newRow("2 is greyed")
            << QByteArray("2") << int(Qt::PartiallyChecked) << QByteArray("2");
        QTest::newRow("word") << QByteArray("yes") << int(Qt::Unchecked) << QByteArray("0");
        QTest::newRow("empty") << QByteArray("") << int(Qt::Unchecked) << QByteArray("0");
        QTest::newRow("3 is refused") << QByteArray("3") << int(Qt::Unchecked) << QByteArray("0");
        QTest::newRow("blanks around, kept")
            << QByteArray(" 1 ") << int(Qt::Checked) << QByteArray(" 1 ");
    }
    void optionsAreRestored() {
        QFETCH(QByteArray, stored);
        QFETCH(int, state);
        QFETCH(QByteArray, atClose);
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), settings("0", stored, "0", stored, "7", "3")));
        w.window->Form_Load();
        QCOMPARE(int(w.get<QCheckBox>("Check2")->checkState()), state);
        QCOMPARE(int(w.get<QCheckBox>("Check6")->checkState()), state);
        QCOMPARE(w.fakes.sound.files.size(), stored.trimmed() == "1" ? 1 : 0);
        // The stored font choices are not read back: start-up picks the first of each.
        QCOMPARE(w.get<QComboBox>("Combo1")->currentIndex(), 0);
        QCOMPARE(w.get<QComboBox>("Combo2")->currentIndex(), 0);
        w.window->close();
        QCOMPARE(ReadBytes(w.path("Config.ini")), settings("0", atClose, "0", atClose, "0", "0"));
    }

    void fontTagsOptionEnablesTheFontFrame_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("1") << QByteArray("[Main]\r\nFontTags=1\r\n") << true;
        QTest::newRow("2") << QByteArray("[Main]\r\nFontTags=2\r\n") << true;
        QTest::newRow("0") << QByteArray("[Main]\r\nFontTags=0\r\n") << false;
        QTest::newRow("missing") << QByteArray("[Main]\r\n") << false;
    }
    void fontTagsOptionEnablesTheFontFrame() {
        QFETCH(QByteArray, content);
        QFETCH(bool, enabled);
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), content));
        w.window->Form_Load();
        QCOMPARE(w.get<QGroupBox>("Frame1")->isEnabled(), enabled);
        w.get<QCheckBox>("Check3")->setCheckState(enabled ? Qt::Unchecked : Qt::Checked);
        QCOMPARE(w.get<QGroupBox>("Frame1")->isEnabled(), !enabled);
    }

    void storedOptionIsWrittenBackUnchanged() {
        TestWindow w;
        const QByteArray content = "; mine\r\n[main]\r\nload/save = 1\r\n[Other]\r\nx=y\r\n";
        QVERIFY(WriteBytes(w.path("Config.ini"), content));
        w.window->Form_Load();
        QVERIFY(w.get<QCheckBox>("Check1")->isChecked());
        QCOMPARE(ReadBytes(w.path("Config.ini")), content);
    }

    void startupSoundPlaysFromTheProgramFolder() {
        TestWindow w;
        QVERIFY(WriteBytes(w.path("Config.ini"), "[Main]\r\nPlaySound=1\r\n"));
        w.fakes.sound.fileCanPlay = false;
        w.window->Form_Load();
        QCOMPARE(w.fakes.sound.files, QStringList{w.path("Intro.wav")});
        QCOMPARE(w.fakes.sound.events, QStringList{"bell"});
    }

    void closingStoresOnlyOnce() {
        TestWindow w;
        w.window->Form_Load();
        w.window->close();
        QFile::remove(w.path("Config.ini"));
        w.window->Unload();
        QVERIFY(!QFile::exists(w.path("Config.ini")));
    }

    void quittingByAnyPathStoresOnce_data() {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("application quits") << false;
        QTest::newRow("SIGHUP") << true;
    }
    void quittingByAnyPathStoresOnce() {
        QFETCH(bool, bySignal);
        TestWindow w;
        Desktop::ShutdownSignals watcher;
        StoreOnEveryWayOut(*w.window, watcher);
        w.window->Form_Load();
        QTimer::singleShot(0, [&] {
            if (bySignal)
                ::raise(SIGHUP);
            else
                QCoreApplication::quit();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(ReadBytes(w.path("Config.ini")), settings("0", "0", "0", "0", "0", "0"));
        QFile::remove(w.path("Config.ini"));
        w.window->close();
        QVERIFY(!QFile::exists(w.path("Config.ini")));
    }

    // A kill stores what closing stores: the real program, on the offscreen platform.
    void sigtermSavesLikeAClose() {
        const QString program = QStringLiteral(PELLORY_BINARY);
        QTemporaryDir dir;
        const QString copy = dir.filePath("pellory");
        QVERIFY(QFile::copy(program, copy));
        // "1.0" reads as on and is written back as "1", which tells that start-up got there.
        QVERIFY(WriteBytes(dir.filePath("Config.ini"), "[Main]\r\nLoad/Save=1.0\r\n"));
        QVERIFY(WriteBytes(dir.filePath("RandomMsgs.lst"), "one\r\ntwo\r\n"));
        // Settings are replaced by renaming a new file over the old one: a new inode.
        const auto inode = [&] {
            struct stat info = {};
            return ::stat(QFile::encodeName(dir.filePath("Config.ini")).constData(), &info) == 0
                       ? info.st_ino
                       : 0;
        };
        const auto before = inode();

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(copy, {});
        QVERIFY(process.waitForStarted(5000));
        // Start-up writes "Load/Save" back once it has read it; by then signals are caught.
        QTRY_VERIFY_WITH_TIMEOUT(inode() != before, 15000);
        QTest::qWait(300);
        process.terminate();
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(ReadBytes(dir.filePath("Config.ini")), settings("1", "0", "0", "0", "0", "0"));
        QCOMPARE(ReadBytes(dir.filePath("RandomMsgs.lst")), QByteArray("one\r\ntwo\r\n"));
    }
};

QTEST_MAIN(TestStartupShutdown)
#include "tst_StartupShutdown.moc"
