#include "Appearance.h"
#include "Dialogs.h"
#include "ProgramDir.h"
#include "RandomPick.h"
#include "Shutdown.h"
#include "ShutdownSignals.h"
#include "SoundPlayer.h"
#include "TrayIcon.h"
#include "UrlOpener.h"
#include "frmMain.h"

#include <QApplication>
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

    // Signals are caught before start-up, so a kill at any moment after it finds them caught.
    Desktop::ShutdownSignals shutdownSignals;
    StoreOnEveryWayOut(window, shutdownSignals);

    // Loading the list lets events run; a signal then must wait, or a half-loaded list
    // would be saved over the whole one.
    shutdownSignals.setHeld(true);
    window.Form_Load();
    shutdownSignals.setHeld(false);
    window.show();
    return QApplication::exec();
}
