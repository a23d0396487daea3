#include "AwayText.h"
#include "Fakes.h"
#include "UrlOpener.h"
#include "frmMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

// Linux takes at most 128 KiB, terminator included, for one argument of a program.
constexpr qsizetype LongestArgument = 128 * 1024 - 1;

// Messages that a shell, an option parser or a text renderer could take for more than text
// go out through the real opener: the xdg-open found on PATH is a stand-in that records
// how many arguments it got and each one's bytes.
class HostileTextTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString log_;
    QString marker_;

    // Each call of the stand-in: its argument count, then its arguments.
    QList<QByteArrayList> calls() const {
        QFile file(log_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArrayList fields = file.readAll().split('\0');
        fields.removeLast(); // after the last terminator
        QList<QByteArrayList> calls;
        for (qsizetype i = 0; i < fields.size();) {
            const qsizetype count = fields[i].toLongLong();
            calls.append(fields.mid(i + 1, count));
            i += 1 + count;
        }
        return calls;
    }

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        log_ = root_.filePath(QStringLiteral("calls.log"));
        marker_ = root_.filePath(QStringLiteral("ran"));
        const QString bin = root_.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkdir(bin));
        QFile standIn(bin + QStringLiteral("/xdg-open"));
        QVERIFY(standIn.open(QIODevice::WriteOnly));
        standIn.write("#!/bin/sh\n{ printf '%s\\0' \"$#\"; for a in \"$@\"; do printf '%s\\0' "
                      "\"$a\"; done; } >> '" +
                      QFile::encodeName(log_) + "'\n");
        standIn.close();
        QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
    }

    void cleanup() { QFile::remove(log_); }

    void sentAsOneArgument_data() {
        const QString run = QStringLiteral("touch${IFS}") + marker_;
        QTest::addColumn<QString>("text");
        QTest::newRow("command substitution") << QStringLiteral("$(%1)").arg(run);
        QTest::newRow("backticks") << QStringLiteral("`%1`").arg(run);
        QTest::newRow("; | & and newline") << QStringLiteral("a;%1|%1&%1&&%1||%1\n%1\r\n").arg(run);
        QTest::newRow("quotes") << QStringLiteral("'\"'\"$(%1)\"'\\' \"it's\"").arg(run);
        QTest::newRow("--help") << QStringLiteral("--help");
        QTest::newRow("-e") << QStringLiteral("-e");
        QTest::newRow("100,000 characters") << QStringLiteral("gone $(x) ").repeated(10000);
        QTest::newRow("100,000 two-byte characters, over the argument limit")
            << QString(100000, QChar(0x00E9));
        QString binary;
        for (int round = 0; round < 4; ++round)
            for (char16_t c = 1; c < 256; ++c)
                binary += QChar(c);
        QTest::newRow("binary without NUL") << binary;
        QTest::newRow("right-to-left marks")
            << QStringLiteral("\u200F\u202Eexe.txt\u202C\u200E \u061C\u2067abc\u2069");
    }
    void sentAsOneArgument() {
        QFETCH(QString, text);
        FakeServices fakes;
        Desktop::XdgOpener opener;
        QTemporaryDir programDir;
        frmMain window({fakes.dialogs, opener, fakes.tray, fakes.sound, fakes.random},
                       programDir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        fakes.dialogs.answers = {text};
        window.cmdAddMsg_Click();
        QCOMPARE(window.findChild<QListWidget*>(QStringLiteral("lstMessages"))->count(), 1);

        bool timerRan = false;
        QTimer::singleShot(0, this, [&] { timerRan = true; });
        QElapsedTimer clock;
        clock.start();
        window.findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        const qint64 handlerMs = clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(timerRan, 2000);
        const qint64 timerMs = clock.elapsed();
        window.cmdStop_Click();

        const QByteArray command = Engine::AwayCommand(text).toUtf8();
        const bool fits = command.size() <= LongestArgument;
        const QByteArrayList last{"aim:goaway?message=last"};
        QList<QByteArrayList> expected{last};
        if (fits)
            expected.prepend({command});
        // A last, short command, started after the first one had started or failed; the
        // stand-ins may finish in either order.
        opener.open(QString::fromUtf8(last.first()));
        QTRY_VERIFY_WITH_TIMEOUT(calls().contains(last) && calls().size() >= expected.size(),
                                 10000);
        if (!fits)
            QTest::qWait(300); // time for a stray call to show
        QList<QByteArrayList> got = calls();
        std::sort(got.begin(), got.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(got, expected);
        QVERIFY(!QFile::exists(marker_));
        qInfo("%lld bytes, %s; click handled in %lld ms, a 0 ms timer ran after %lld ms",
              qlonglong(command.size()), fits ? "delivered" : "not delivered", handlerMs, timerMs);
        QVERIFY2(handlerMs < 1000, qPrintable(QString::number(handlerMs)));
        window.close();
    }
};

QTEST_MAIN(HostileTextTest)
#include "tst_HostileText.moc"
