#include "Shutdown.h"

#include "ShutdownSignals.h"
#include "frmMain.h"

#include <QGuiApplication>
#include <QSessionManager>

void StoreOnEveryWayOut(frmMain& window, Desktop::ShutdownSignals& watcher) {
    QObject::connect(&watcher, &Desktop::ShutdownSignals::received, &window, [&window] {
        window.Unload();
        QCoreApplication::quit();
    });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.Unload(); });
    QObject::connect(qGuiApp, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.Unload(); });
}
