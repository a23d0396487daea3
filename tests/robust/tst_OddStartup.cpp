#include "Fakes.h"
#include "Ini.h"
#include "TestFiles.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Settings = "; kept\r\n[Main]\r\nLoad/Save=1\r\nHideInTray=0\r\nFontTags=0\r\n"
                            "PlaySound=0\r\n[Other]\r\nkeep=me\r\n";
const QByteArray List = "first\r\nsecond\r\n";
const QStringList Options = {"Load/Save", "HideInTray", "FontTags", "PlaySound"};
constexpr uid_t Nobody = 65534;

// The folders and files a start-up meets; each path is in a test folder, never in /dev.
enum class Odd {
    ProgramDirUnreadable,
    SettingsUnreadable,
    SettingsFolder,
    SettingsFifo,
    ListUnreadable,
    ListWriteOnly,
    ListFifo,
    ListDanglingLink,
    ListFolder,
};

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// What a path is, without following a link: enough to tell that nothing replaced it.
QString Describe(const QString& path) {
    struct stat status {};
    if (::lstat(Native(path).constData(), &status) != 0)
        return QStringLiteral("missing");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("FIFO");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("folder holding ") +
               QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u',');
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("link to ") + QFile::symLinkTarget(path);
    return QStringLiteral("file of %1 bytes, mode %2")
        .arg(status.st_size)
        .arg(status.st_mode & 07777, 0, 8);
}

// Runs as nobody for as long as it lives, for real (access() asks the real user) and in
// effect, keeping root as the saved user to come back to: root reads everything.
class AsUser {
public:
    explicit AsUser(bool lower) : lowered_(lower && ::setresuid(Nobody, Nobody, 0) == 0) {}
    ~AsUser() { restore(); }
    void restore() {
        if (lowered_ && ::setresuid(0, 0, 0) == 0)
            lowered_ = false;
    }
    bool lowered() const { return lowered_; }

private:
    bool lowered_;
};

// `original` is still there, line by line and in order, within `now`.
bool LinesKept(const QByteArray& original, const QByteArray& now) {
    qsizetype from = 0;
    for (const QByteArray& line : original.split('\n')) {
        from = now.indexOf(line, from);
        if (from < 0)
            return false;
        from += line.size();
    }
    return true;
}

} // namespace

// Starts the window on a program folder where something is not what it should be: it must
// open at once with defaults, and closing must not destroy anything that could be read.
class OddStartupTest : public QObject {
    Q_OBJECT

    static QString SettingsIn(const QString& dir) { return dir + QStringLiteral("/Config.ini"); }
    static QString ListIn(const QString& dir) { return dir + QStringLiteral("/RandomMsgs.lst"); }

    // Lays out the program folder; true when the reading user is nobody.
    static bool Prepare(Odd odd, const QString& dir) {
        const QString settings = SettingsIn(dir);
        const QString list = ListIn(dir);
        bool nobody = false;
        [&] {
            QVERIFY(QDir().mkdir(dir));
            switch (odd) {
            case Odd::SettingsFolder:
                QVERIFY(QDir().mkdir(settings));
                QVERIFY(WriteBytes(settings + QStringLiteral("/inside"), "x"));
                break;
            case Odd::SettingsFifo:
                QCOMPARE(::mkfifo(Native(settings).constData(), 0644), 0);
                break;
            default:
                QVERIFY(WriteBytes(settings, Settings));
            }
            switch (odd) {
            case Odd::ListFifo:
                QCOMPARE(::mkfifo(Native(list).constData(), 0644), 0);
                break;
            case Odd::ListDanglingLink:
                QVERIFY(QFile::link(QStringLiteral("gone/RandomMsgs.lst"), list));
                break;
            case Odd::ListFolder:
                QVERIFY(QDir().mkdir(list));
                break;
            default:
                QVERIFY(WriteBytes(list, List));
            }
            switch (odd) {
            case Odd::ProgramDirUnreadable:
                QCOMPARE(::chmod(Native(dir).constData(), 0), 0);
                nobody = true;
                break;
            case Odd::SettingsUnreadable:
            case Odd::ListUnreadable:
            case Odd::ListWriteOnly: {
                // The user owns the folder and both files and may write them, but can't
                // read the one without permissions or with only the write permission.
                for (const QString& path : {dir, settings, list})
                    QCOMPARE(::chown(Native(path).constData(), Nobody, Nobody), 0);
                const QString hidden = odd == Odd::SettingsUnreadable ? settings : list;
                const mode_t mode = odd == Odd::ListWriteOnly ? 0200 : 0;
                QCOMPARE(::chmod(Native(hidden).constData(), mode), 0);
                nobody = true;
                break;
            }
            default:
                break;
            }
        }();
        return nobody;
    }

private slots:
    void initTestCase() {
        if (::geteuid() != 0)
            QSKIP("needs root, to read as another user and to chown");
    }

    void opensPromptlyAndKeepsData_data() {
        QTest::addColumn<Odd>("odd");
        QTest::addColumn<bool>("settingsRead");
        QTest::addColumn<int>("entries");
        QTest::newRow("program folder mode 000, read as nobody")
            << Odd::ProgramDirUnreadable << false << 0;
        QTest::newRow("Config.ini mode 000, read as nobody")
            << Odd::SettingsUnreadable << false << 0;
        QTest::newRow("Config.ini is a folder") << Odd::SettingsFolder << false << 0;
        QTest::newRow("Config.ini is a FIFO") << Odd::SettingsFifo << false << 0;
        QTest::newRow("RandomMsgs.lst mode 000, read as nobody")
            << Odd::ListUnreadable << true << 0;
        QTest::newRow("RandomMsgs.lst mode 200, read as nobody") << Odd::ListWriteOnly << true << 0;
        QTest::newRow("RandomMsgs.lst is a FIFO") << Odd::ListFifo << true << 0;
        QTest::newRow("RandomMsgs.lst is a dangling link") << Odd::ListDanglingLink << true << 0;
        QTest::newRow("RandomMsgs.lst is a folder") << Odd::ListFolder << true << 0;
    }
    void opensPromptlyAndKeepsData() {
        QFETCH(Odd, odd);
        QFETCH(bool, settingsRead);
        QFETCH(int, entries);
        QTemporaryDir base;
        QVERIFY(base.isValid());
        QCOMPARE(::chmod(Native(base.path()).constData(), 0755), 0); // nobody may enter
        const QString dir = base.filePath(QStringLiteral("program"));
        const bool nobody = Prepare(odd, dir);
        if (QTest::currentTestFailed())
            return;
        const QString settingsBefore = Describe(SettingsIn(dir));
        const QString listBefore = Describe(ListIn(dir));

        FakeServices fakes;
        qint64 loadMs = 0;
        {
            AsUser user(nobody);
            QCOMPARE(user.lowered(), nobody);
            frmMain window(fakes.services(), dir);
            QElapsedTimer clock;
            clock.start();
            window.Form_Load();
            loadMs = clock.elapsed();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked(),
                     settingsRead);
            QCOMPARE(window.findChild<QListWidget*>(QStringLiteral("lstMessages"))->count(),
                     entries);
            window.close();
        }
        QVERIFY2(loadMs < 2000, qPrintable(QString::number(loadMs)));
        QCOMPARE(::chmod(Native(dir).constData(), 0755), 0);

        // Settings: a file keeps every line and every option as it was; anything else
        // stays what it was.
        if (settingsBefore.startsWith(QStringLiteral("file")) && settingsRead) {
            QVERIFY(LinesKept(Settings, ReadBytes(SettingsIn(dir))));
            for (const QString& key : Options)
                QCOMPARE(Ini::ReadSetting(QStringLiteral("Main"), key, SettingsIn(dir)),
                         Ini::ValueIn(Settings, QStringLiteral("Main"), key));
        } else {
            QCOMPARE(Describe(SettingsIn(dir)), settingsBefore);
            if (settingsBefore.startsWith(QStringLiteral("file")))
                QCOMPARE(ReadBytes(SettingsIn(dir)), Settings);
        }
        // The list: untouched, whatever it is.
        QCOMPARE(Describe(ListIn(dir)), listBefore);
        if (listBefore.startsWith(QStringLiteral("file")))
            QCOMPARE(ReadBytes(ListIn(dir)), List);
        qInfo("Form_Load took %lld ms", loadMs);
    }

    // The real program, copied into a test folder so that it keeps its files there, ended
    // with SIGTERM as a logout ends it: it stores its settings only once start-up is over,
    // so a prompt, clean end shows that start-up did not hang.
    void realProgramStartsAndEnds_data() {
        QTest::addColumn<bool>("asNobody");
        QTest::newRow("RandomMsgs.lst is a FIFO") << false;
        // nobody can't write beside the program, so it keeps its files in
        // $XDG_CONFIG_HOME/pellory, which here has mode 000.
        QTest::newRow("program folder mode 000, run as nobody") << true;
    }
    void realProgramStartsAndEnds() {
        QFETCH(bool, asNobody);
        QTemporaryDir base;
        QVERIFY(base.isValid());
        QCOMPARE(::chmod(Native(base.path()).constData(), 0755), 0);
        const QString programFolder = base.filePath(QStringLiteral("bin"));
        const QString program = programFolder + QStringLiteral("/pellory");
        QVERIFY(QDir().mkdir(programFolder));
        QVERIFY(QFile::copy(QStringLiteral(PELLORY_PATH), program));
        const QString configHome = base.filePath(QStringLiteral("config"));
        const QString dir = asNobody ? configHome + QStringLiteral("/pellory") : programFolder;
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(WriteBytes(SettingsIn(dir), Settings));
        if (asNobody) {
            QVERIFY(WriteBytes(ListIn(dir), List));
            QCOMPARE(::chmod(Native(dir).constData(), 0), 0);
        } else {
            QCOMPARE(::mkfifo(Native(ListIn(dir)).constData(), 0644), 0);
        }

        QProcess pellory;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        environment.insert(QStringLiteral("HOME"), base.path());
        pellory.setProcessEnvironment(environment);
        pellory.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (asNobody)
            pellory.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), program});
        else
            pellory.start(program);
        QVERIFY(pellory.waitForStarted(5000));
        QTest::qWait(2000);
        QCOMPARE(pellory.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(pellory.processId()), SIGTERM), 0);
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(pellory.waitForFinished(5000), "the program did not end on SIGTERM");
        QCOMPARE(pellory.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pellory.exitCode(), 0);
        qInfo("ended %lld ms after SIGTERM", clock.elapsed());

        QCOMPARE(::chmod(Native(dir).constData(), 0755), 0);
        const QByteArray settings = ReadBytes(SettingsIn(dir));
        QVERIFY(LinesKept(Settings, settings));
        if (asNobody) {
            QCOMPARE(settings, Settings); // nothing could be written
            QCOMPARE(ReadBytes(ListIn(dir)), List);
        } else {
            QVERIFY(settings.contains("FontFace=")); // stored on the way out
            QCOMPARE(Describe(ListIn(dir)), QStringLiteral("FIFO"));
        }
    }
};

QTEST_MAIN(OddStartupTest)
#include "tst_OddStartup.moc"
