// SPDX-License-Identifier: MIT
// The main window's list and sending figures, each against a baseline measured in the same run.
//
// The window is shown (run it on an X display, or with QT_QPA_PLATFORM=offscreen for a
// quick look), its list holds 32,767 entries, and each timed operation includes the events
// it leaves behind (the list's layout and the repaint), so a figure is what the user waits.
//
//   add     "Add Message" answering one message, list 32,766 -> 32,767
//           baseline: QListWidget::addItem on a plain list of the same size and settings
//   remove  "Remove Selected" with the middle entry selected, 32,767 -> 32,766
//           baseline: deleting QListWidget::takeItem of the same row on the plain list
//   clear   "Clear All", 32,767 -> 0; baseline: QListWidget::clear on the plain list
//   send    an away message through the real xdg-open opener, in this process with its
//           full list; baseline: /bin/true started the same way (desktop::spawn)
//
// Prints one line per figure: "<name> <median ms> <baseline median ms> <runs>".

#include "AimHandler.h"
#include "Appearance.h"
#include "AwayText.h"
#include "MessageLimits.h"
#include "TestWindow.h"
#include "UrlOpener.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <sys/wait.h>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "bench_ui: %s\n", what);
    std::exit(1);
}

// Runs what the last operation left for the event loop: posted events (layout, update
// requests), due zero-time timers, then the paint they caused.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void idleFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// Waits until every program this process started has ended (xdg-open runs a good many
// commands), so that the next send doesn't share the machine with the last one's work.
void waitForChildren() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        // The baseline's /bin/true has nobody else to collect it; the opener's own child is
        // collected by the opener or here, whichever looks first.
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        bool any = false;
        const QStringList tasks =
            QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& task : tasks) {
            QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
            if (children.open(QIODevice::ReadOnly) && !children.readAll().trimmed().isEmpty())
                any = true;
        }
        if (!any)
            return;
        idleFor(5);
    }
    fail("a started program is still running after 10 s");
}

double elapsedMs(const std::function<void()>& operation, bool thenSettle) {
    QElapsedTimer timer;
    timer.start();
    operation();
    if (thenSettle)
        settle();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

QStringList makeEntries(int count) {
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries << QStringLiteral("Away message %1: back in a few minutes, <b>really</b>").arg(i);
    return entries;
}

// Brings the list to exactly `count` entries taken from `entries`, untimed.
void fillTo(QListWidget& list, const QStringList& entries, int count) {
    while (list.count() > count)
        delete list.takeItem(list.count() - 1);
    if (list.count() < count)
        list.addItems(entries.mid(list.count(), count - list.count()));
    settle();
}

struct Pair {
    std::vector<double> figure;
    std::vector<double> baseline;
};

void report(const char* name, const Pair& pair) {
    std::printf("%s %.4f %.4f %zu\n", name, median(pair.figure), median(pair.baseline),
                pair.figure.size());
    std::fflush(stdout);
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        fail("cannot write a file for the xdg-open set-up");
}

// A private set of XDG folders in which aim: URLs go to a handler that only notes them in
// `log`, so that the commands reach a handler (and never a real messenger or browser) and
// the bench can tell that every timed send arrived.
void isolateDesktop(const QString& home, const QString& log) {
    const QString handler = home + "/note-command.sh";
    writeFile(handler, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
    QFile::setPermissions(handler, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(home + "/.local/share/applications/pellory-bench-note.desktop",
              "[Desktop Entry]\nType=Application\nName=Note\nExec=" + handler.toUtf8() +
                  " %u\nMimeType=x-scheme-handler/aim;\nNoDisplay=true\n");
    writeFile(home + "/.config/mimeapps.list",
              "[Default Applications]\nx-scheme-handler/aim=pellory-bench-note.desktop\n");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("BROWSER", "/bin/true");
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setFont(ui::windowFont());
    int runs = 21;
    int sends = 100;
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--runs")); at > 0 && at + 1 < args.size())
        runs = args.at(at + 1).toInt();
    if (const qsizetype at = args.indexOf(QStringLiteral("--sends"));
        at > 0 && at + 1 < args.size())
        sends = args.at(at + 1).toInt();
    if (runs < 1 || sends < 1)
        fail("usage: pellory_bench_ui [--runs N] [--sends N]");

    QTemporaryDir programDir;
    QTemporaryDir desktopHome;
    if (!programDir.isValid() || !desktopHome.isValid())
        fail("no temporary folder");

    constexpr int full = engine::kMaxMessages;
    const QStringList entries = makeEntries(full);

    TestWindow test;
    ui::MainWindow& window = *test.window;
    window.startUp();
    window.show();
    auto* list = test.get<QListWidget>("messageList");

    // The baseline: a plain list with the window list's geometry and settings, alone in a
    // window of the main window's size.
    QWidget plainWindow;
    plainWindow.setFixedSize(window.size());
    QListWidget plain(&plainWindow);
    plain.setGeometry(QRect(list->mapTo(&window, QPoint(0, 0)), list->size()));
    plain.setSelectionMode(QAbstractItemView::SingleSelection);
    plain.setUniformItemSizes(true);
    plainWindow.show();
    idleFor(300);

    const QString added = QStringLiteral("Back in five minutes");
    const int row = full / 2;
    Pair add, remove, clear;
    for (int run = 0; run < runs; ++run) {
        // Adding the last entry the list can take.
        fillTo(*list, entries, full - 1);
        fillTo(plain, entries, full - 1);
        test.dialogs.answers = {added};
        add.figure.push_back(elapsedMs([&] { test.click("addMessageButton"); }, true));
        add.baseline.push_back(elapsedMs([&] { plain.addItem(added); }, true));
        if (list->count() != full || list->item(full - 1)->text() != added || plain.count() != full)
            fail("adding did not end with the new entry last in a full list");

        // Removing the selected middle entry.
        fillTo(*list, entries, full);
        fillTo(plain, entries, full);
        list->setCurrentRow(row);
        plain.setCurrentRow(row);
        settle();
        remove.figure.push_back(elapsedMs([&] { test.click("removeSelectedButton"); }, true));
        remove.baseline.push_back(elapsedMs([&] { delete plain.takeItem(row); }, true));
        if (list->count() != full - 1 || list->item(row)->text() != entries.at(row + 1) ||
            plain.count() != full - 1)
            fail("removing did not take out exactly the selected entry");
        list->insertItem(row, entries.at(row));
        plain.insertItem(row, entries.at(row));

        // Clearing the full list.
        fillTo(*list, entries, full);
        fillTo(plain, entries, full);
        clear.figure.push_back(elapsedMs([&] { test.click("clearAllButton"); }, true));
        clear.baseline.push_back(elapsedMs([&] { plain.clear(); }, true));
        if (list->count() != 0 || plain.count() != 0)
            fail("clearing left entries behind");
    }
    report("add", add);
    report("remove", remove);
    report("clear", clear);

    // Sending, with the full list in the window as it would be in use.
    fillTo(*list, entries, full);
    const QString log = desktopHome.filePath(QStringLiteral("commands.log"));
    isolateDesktop(desktopHome.path(), log);
    const QString away = QStringLiteral("Out for lunch, back at 1");
    desktop::XdgOpener opener(desktop::aimHandlerRegistered);
    Pair send;
    for (int i = 0; i < sends; ++i) {
        send.figure.push_back(elapsedMs([&] { opener.open(engine::awayCommand(away)); }, false));
        waitForChildren();
        idleFor(250); // until the opener has seen its xdg-open end: it runs one at a time

        send.baseline.push_back(elapsedMs(
            [&] {
                if (!desktop::spawn(QStringLiteral("/bin/true"), {}))
                    fail("cannot start /bin/true");
            },
            false));
        waitForChildren();
        idleFor(10);
    }
    QFile noted(log);
    const QByteArray expected = engine::awayCommand(away).toUtf8() + '\n';
    if (!noted.open(QIODevice::ReadOnly) || noted.readAll() != expected.repeated(sends))
        fail("not every send reached the aim: handler");
    report("send", send);
    return 0;
}
