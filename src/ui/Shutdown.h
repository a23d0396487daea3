#pragma once

class frmMain;
namespace Desktop {
class ShutdownSignals;
}

// Closing the window, the desktop session ending, the application quitting by any path and
// a SIGTERM, SIGINT or SIGHUP all store the settings and the list, once. A signal also ends
// the program.
void StoreOnEveryWayOut(frmMain& window, Desktop::ShutdownSignals& watcher);
