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

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("pellory"));
    app.setDesktopFileName(QStringLiteral("pellory"));
    app.setFont(ui::windowFont());

    const QString programDir = storage::resolveProgramDir(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    desktop::SingleInstance instance(programDir);
    if (!instance.claim())
        return 0; // the copy already running on this folder shows its window instead

    ui::QtDialogs dialogs;
    desktop::XdgOpener opener(desktop::aimHandlerRegistered);
    desktop::SystemTrayIcon tray;
    desktop::CanberraPlayer sound;
    engine::ClockSeededRandom random;
    ui::MainWindow window({dialogs, opener, tray, sound, random}, programDir);

    // Signals are caught before start-up, so a kill at any moment after it finds them caught.
    desktop::ShutdownSignals shutdownSignals;
    window.shutDownOnEveryWayOut(shutdownSignals);
    QObject::connect(&instance, &desktop::SingleInstance::showRequested, &window,
                     &ui::MainWindow::bringToFront);

    // Loading the list lets timers run; a signal then must wait, or a half-loaded list
    // would be saved over the whole one.
    shutdownSignals.setHeld(true);
    window.startUp();
    shutdownSignals.setHeld(false);
    window.show();
    const int status = QApplication::exec();
    return window.savedAtExit() ? status : 1;
}
