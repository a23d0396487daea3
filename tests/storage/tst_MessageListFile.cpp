#include "MessageLimits.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <optional>

#include <signal.h>
#include <sys/resource.h>

namespace {

QByteArray NumberedLines(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QByteArray::number(i) + "\r\n";
    return bytes;
}

// Makes writes past `bytes` fail with EFBIG, as on a full disk, instead of killing us.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

class KeyCounter : public QWindow {
public:
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++presses; }
};

enum class Fault { ReadOnlyFolder, ReadOnlyFile, WriteFailsPartWay, EmptyPath };

} // namespace

class MessageListFileTest : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString path() const { return dir_->filePath(QStringLiteral("RandomMsgs.lst")); }

private slots:
    void init() { QVERIFY(dir_.emplace().isValid()); }
    void cleanup() {
        Chmod(dir_->path(), 0755);
        dir_.reset();
    }

    void saveThenLoad_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty list") << QStringList() << QByteArray();
        QTest::newRow("comma and quoted HTML")
            << QStringList{"a", "Hi, you", R"(<font color="red">x</font>)"}
            << QByteArray("a\r\nHi, you\r\n<font color=\"red\">x</font>\r\n");
        QTest::newRow("blanks kept") << QStringList{"  a\t ", ""} << QByteArray("  a\t \r\n\r\n");
        QTest::newRow("accents as UTF-8")
            << QStringList{u"café €"_qs} << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\r\n");
    }
    void saveThenLoad() {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, bytes);
        StringListMessages list;
        list.entries = entries;
        Misc::SaveMessageList(path(), list);
        QCOMPARE(ReadBytes(path()), bytes);
        Misc::LoadMessageList(path(), list); // appends after what the list holds
        QCOMPARE(list.entries, entries + entries);
    }

    void load_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("no CR LF at the end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("letter, CR LF, CR LF") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("LF ends, lone CR kept")
            << QByteArray("a\rb\nc\r") << QStringList{"a\rb", "c\r"};
        QTest::newRow("only the file's mark dropped")
            << QByteArray("\xEF\xBB\xBF\n\xEF\xBB\xBF") << QStringList{"", u"\uFEFF"_qs};
        QTest::newRow("Windows-1252, mixed with UTF-8")
            << QByteArray("caf\xE9 \x80 \x93q\x94\r\n\xC3\xA9\r\n\x81\x9D\r\n\xC3")
            << QStringList{u"café € “q”"_qs, u"é"_qs, u"\u0081\u009D"_qs, u"Ã"_qs};
    }
    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QVERIFY(WriteBytes(path(), bytes));
        StringListMessages list;
        Misc::LoadMessageList(path(), list);
        QCOMPARE(list.entries, entries);
    }

    void loadStopsAtLimit_data() {
        QTest::addColumn<int>("already");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("whole");
        QTest::newRow("empty list") << 0 << 40000 << false;
        QTest::newRow("list holding 10") << 10 << 40000 << false;
        QTest::newRow("full list") << Engine::MaxMessages << 40000 << false;
        QTest::newRow("file fills the list exactly") << 10 << Engine::MaxMessages - 10 << true;
        QTest::newRow("one line too many") << 10 << Engine::MaxMessages - 9 << false;
    }
    void loadStopsAtLimit() {
        QFETCH(int, already);
        QFETCH(int, lines);
        QFETCH(bool, whole);
        QVERIFY(WriteBytes(path(), NumberedLines(lines)));
        StringListMessages list;
        list.entries.fill(QStringLiteral("old"), already);
        QCOMPARE(Misc::LoadMessageList(path(), list), whole);
        QCOMPARE(list.count(), Engine::MaxMessages);
        QCOMPARE(list.entries.last(), already < Engine::MaxMessages
                                          ? QString::number(Engine::MaxMessages - already - 1)
                                          : QStringLiteral("old"));
    }

    void loadRefusesNonFiles_data() {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("folder") << false;
        QTest::newRow("FIFO, without blocking") << true;
    }
    void loadRefusesNonFiles() {
        QFETCH(bool, fifo);
        QVERIFY(fifo ? ::mkfifo(QFile::encodeName(path()).constData(), 0600) == 0
                     : QDir().mkdir(path()));
        StringListMessages list;
        Misc::LoadMessageList(path(), list);
        QCOMPARE(list.count(), 0);
    }

    void failedSaveKeepsOldFile_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("read-only folder") << Fault::ReadOnlyFolder;
        QTest::newRow("read-only file") << Fault::ReadOnlyFile;
        QTest::newRow("write fails part-way") << Fault::WriteFailsPartWay;
        QTest::newRow("empty path") << Fault::EmptyPath;
    }
    void failedSaveKeepsOldFile() {
        QFETCH(Fault, fault);
        QVERIFY(WriteBytes(path(), "old\r\n"));
        StringListMessages list;
        list.entries.fill(QString(100, u'x'), 1000);
        std::optional<FileSizeLimit> limit;
        if (fault == Fault::ReadOnlyFolder || fault == Fault::ReadOnlyFile)
            QVERIFY(Chmod(fault == Fault::ReadOnlyFile ? path() : dir_->path(), 0555));
        if (fault == Fault::WriteFailsPartWay)
            limit.emplace(4096);
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir_->path()); // where a careless save of "" would land
        Misc::SaveMessageList(fault == Fault::EmptyPath ? QString() : path(), list);
        limit.reset();
        QDir::setCurrent(cwd);
        QCOMPARE(ReadBytes(path()), QByteArray("old\r\n"));
        QCOMPARE(
            QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"RandomMsgs.lst"}); // no temporary file left behind
    }

    void fileExists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("regular file") << "file" << true;
        QTest::newRow("link to a file") << "link" << true;
        QTest::newRow("folder named like the list") << "RandomMsgs.lst" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("empty path") << QString() << false;
    }
    void fileExists() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QVERIFY(WriteBytes(dir_->filePath(QStringLiteral("file")), "x"));
        QVERIFY(QFile::link(QStringLiteral("file"), dir_->filePath(QStringLiteral("link"))));
        QVERIFY(QDir().mkdir(path()));
        QCOMPARE(Misc::FileExists(name.isEmpty() ? name : dir_->filePath(name)), exists);
    }

    void loadRunsTimersButNotInput() {
        QVERIFY(WriteBytes(path(), NumberedLines(40000)));
        StringListMessages list;
        QList<int> countsSeenByTimer;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            countsSeenByTimer.append(list.count());
            if (list.count() < Engine::MaxMessages) // a handler may add, within the limit
                list.entries.append(QStringLiteral("added by a timer"));
        });
        timer.start(0);
        KeyCounter window;
        window.show();
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            &window, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);

        Misc::LoadMessageList(path(), list);
        QVERIFY(!countsSeenByTimer.isEmpty());
        QVERIFY(countsSeenByTimer.first() < list.count());
        QCOMPARE(list.count(), Engine::MaxMessages);
        QCOMPARE(window.presses, 0);
        QTRY_COMPARE(window.presses, 1); // held back, not lost
    }
};

QTEST_MAIN(MessageListFileTest)
#include "tst_MessageListFile.moc"
