#include "Appearance.h"
#include "Dialogs.h"
#include "ProgramDir.h"
#include "RandomPick.h"
#include "ShutdownSignals.h"
#include "SoundPlayer.h"
#include "TrayIcon.h"
#include "UrlOpener.h"
#include "frmMain.h"

#include <QApplication>
#include <QSessionManager>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("pellory"));
    app.setDesktopFileName(QStringLiteral("pellory"));
    app.setFont(Appearance::WindowFont());

    const QString programDir = Storage::ResolveProgramDir(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));

    QtDialogs dialogs;
    Desktop::XdgOpener opener;
    Desktop::SystemTrayIcon tray;
    Desktop::CanberraPlayer sound;
    Engine::ClockSeededRandom random;
    frmMain window({dialogs, opener, tray, sound, random}, programDir);

    // Logging out, quitting by any other path, or a kill stores the same as closing. The
    // signals are caught before start-up, so a kill at any moment after it finds them caught.
    Desktop::ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &Desktop::ShutdownSignals::received, &app, [&] {
        window.Unload();
        QCoreApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&](QSessionManager&) { window.Unload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&] { window.Unload(); });

    // Loading the list lets events run; a signal then must wait, or a half-loaded list
    // would be saved over the whole one.
    shutdownSignals.setHeld(true);
    window.Form_Load();
    shutdownSignals.setHeld(false);
    window.show();
    return QApplication::exec();
}
