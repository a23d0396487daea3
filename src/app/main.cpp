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
    window.Form_Load();
    window.show();

    // Logging out, quitting by any other path, or a kill stores the same as closing.
    Desktop::ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &Desktop::ShutdownSignals::received, &app, [&] {
        window.Unload();
        QCoreApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&](QSessionManager&) { window.Unload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&] { window.Unload(); });
    return QApplication::exec();
}
