#include "AwayText.h"
#include "UrlOpener.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Hands commands to the real xdg-open, which finds a recording handler registered for aim:
// in a private set of XDG folders, on a private X display.
class TestRealOpener : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QProcess xvfb;
    QString log;

    void writeFile(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Waits until the handler has recorded `count` arguments, or 20 s have passed.
    QList<QByteArray> recorded(int count) {
        QElapsedTimer timer;
        timer.start();
        QList<QByteArray> entries;
        while (timer.elapsed() < 20000) {
            QFile file(log);
            if (file.open(QIODevice::ReadOnly)) {
                entries = file.readAll().split('\0');
                entries.removeLast(); // after the last terminator
                if (entries.size() >= count)
                    break;
            }
            QTest::qWait(50);
        }
        return entries;
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        xvfb.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        QVERIFY2(xvfb.waitForStarted(5000), "Xvfb is needed for xdg-open to find the handler");
        QVERIFY(xvfb.waitForReadyRead(10000));
        const QByteArray display = xvfb.readLine().trimmed();
        QVERIFY(!display.isEmpty());

        const QString home = root.filePath("home");
        log = root.filePath("commands.log");
        const QString handler = root.filePath("record.sh");
        writeFile(handler, "#!/bin/sh\nprintf '%s\\0' \"$1\" >> '" + log.toUtf8() + "'\n");
        QFile::setPermissions(handler, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(home + "/.local/share/applications/aimrec.desktop",
                  "[Desktop Entry]\nType=Application\nName=AIM recorder\nExec=" + handler.toUtf8() +
                      " %u\nMimeType=x-scheme-handler/aim;\nNoDisplay=true\n");
        writeFile(home + "/.config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/aim=aimrec.desktop\n");

        qputenv("HOME", home.toUtf8());
        qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
        qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
        qputenv("DISPLAY", ":" + display);
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(QDir::setCurrent(root.path()));
    }

    void cleanupTestCase() {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

    void commandArrivesByteForByteAndRunsNothing() {
        const QString text = QStringLiteral(
            "Say \"hi\" <b>now</b> $(touch pwned) `touch pwned2`; | C++ 100%&up#1 é\r\n");
        const QString command = Engine::AwayCommand(text);
        Desktop::XdgOpener opener;
        Misc::SetAwayMessage(text, opener);

        const QList<QByteArray> entries = recorded(1);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first(), command.toUtf8());
        QVERIFY(entries.first().contains("$(touch+pwned)"));
        QTest::qWait(200);
        QVERIFY(!QFile::exists(root.filePath("pwned")));
        QVERIFY(!QFile::exists(root.filePath("pwned2")));
    }

    void optionLikeTextIsNoOption() {
        Desktop::XdgOpener opener;
        opener.open("--help");
        opener.open("aim:goaway?message=-e");
        const QList<QByteArray> entries = recorded(2);
        // xdg-open takes "--help" itself; the command after it still arrives alone and whole.
        QVERIFY(entries.contains("aim:goaway?message=-e"));
    }
};

QTEST_GUILESS_MAIN(TestRealOpener)
#include "tst_RealOpener.moc"
