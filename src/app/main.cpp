// SPDX-License-Identifier: MIT
#include "AimHandler.h"
#include "Appearance.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "ProgramDir.h"
#include "Rotation.h"
#include "ShutdownSignals.h"
#include "SingleInstance.h"
#include "SoundPlayer.h"
#include "TrayIcon.h"
#include "UrlOpener.h"
#include "WindowSystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

namespace {

// --help, --version and a wrong option are answered before the window system is reached,
// so that they work without a display. The exit status when the program ends here.
std::optional<int> answerCommandLine(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("pellory"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLORY_VERSION));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Sets your instant messenger's away message: a random one of your list every 5, 10 or "
        "20 seconds, or a countdown until you are back. See pellory(1)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version."));
    parser.addOptions({help, version});
    // Qt's own options for the window system are the application object's to take.
    for (const char* qtOption : {"platform", "display"}) {
        QCommandLineOption option(QLatin1String(qtOption), QString(), QStringLiteral("name"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.positionalArguments().isEmpty()
                                  ? parser.errorText()
                                  : QStringLiteral("Unexpected argument '%1'.")
                                        .arg(parser.positionalArguments().constFirst());
        std::fprintf(stderr, "pellory: %s\nTry 'pellory --help' for more information.\n",
                     qPrintable(error));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText().replace(QLatin1String("<executable_name>"),
                                                        QLatin1String("pellory"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("pellory %s\n", PELLORY_VERSION);
        return 0;
    }
    return std::nullopt;
}

// Runs a job once the widget has painted for the first time, so that it doesn't hold up
// the first picture of the window.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWidget& widget, std::function<void()> job)
        : QObject(&widget), job_(std::move(job)) {
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && job_) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, std::exchange(job_, nullptr));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> job_;
};

// Empty when this is the one copy on the program folder; otherwise the exit status.
std::optional<int> keepToOneCopy(desktop::SingleInstance& instance, const QString& programDir,
                                 desktop::ShutdownSignals& shutdownSignals) {
    QString why;
    switch (instance.claim()) {
    case desktop::SingleInstance::Claim::First:
        return std::nullopt;
    case desktop::SingleInstance::Claim::HandedOver:
        return 0; // the copy already running on this folder shows its window instead
    case desktop::SingleInstance::Claim::NotAnswering:
        why = QStringLiteral("Pellory already runs on %1 but did not answer.").arg(programDir);
        break;
    case desktop::SingleInstance::Claim::NoLock:
        // Two copies on one folder would lose each other's changes: better not to start.
        why = QStringLiteral("Pellory cannot make sure that it runs only once on %1, so it "
                             "does not start (%2).")
                  .arg(programDir, instance.problem());
        break;
    }
    std::fprintf(stderr, "pellory: %s\n", qPrintable(why));
    // Nothing is loaded, so nothing can be lost: a session that ends takes the box with it.
    shutdownSignals.endProgramOnSignals();
    QMessageBox::critical(nullptr, QStringLiteral("Pellory"), why);
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    auto displayFailureInOneLine = std::make_optional<DisplayFailureInOneLine>();
    QApplication app(argc, argv);
    displayFailureInOneLine.reset();
    app.setDesktopFileName(QStringLiteral("pellory"));
    app.setFont(ui::windowFont());
    // Caught from the start, and held until the list is in: a signal that comes meanwhile
    // waits, rather than ending the program with nothing saved, or with a half-loaded list
    // saved over the whole one.
    desktop::ShutdownSignals shutdownSignals;
    shutdownSignals.setHeld(true);

    const QString programDir = storage::resolveProgramDir(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
        {QStringLiteral(PELLORY_INSTALLED_BINDIR), QStringLiteral(PELLORY_LAUNCHER_FROM_BINDIR)});
    desktop::SingleInstance instance(
        programDir, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    if (const std::optional<int> status = keepToOneCopy(instance, programDir, shutdownSignals))
        return *status;

    ui::QtDialogs dialogs;
    desktop::XdgOpener opener(desktop::aimHandlerRegistered);
    desktop::SystemTrayIcon tray;
    desktop::CanberraPlayer sound;
    engine::ClockSeededRandom random;
    ui::MainWindow window({dialogs, opener, tray, sound, random}, programDir);
    const StoreWhenDisplayLost storeWhenDisplayLost(window);

    window.shutDownOnEveryWayOut(shutdownSignals);
    QObject::connect(&instance, &desktop::SingleInstance::showRequested, &window,
                     &ui::MainWindow::bringToFront);

    window.startUp();
    shutdownSignals.setHeld(false);
    window.show();
    // The theme's icon takes a few milliseconds to look up: the drawn one stands in until the
    // window has been painted once.
    new AfterFirstPaint(window, [&window] { window.setWindowIcon(ui::themeIcon()); });
    const int status = QApplication::exec();
    return window.savedAtExit() ? status : 1;
}
