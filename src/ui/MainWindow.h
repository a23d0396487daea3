// SPDX-License-Identifier: MIT
#pragma once

#include "Countdown.h"
#include "MainWindowLayout.h"
#include "ProgramDir.h"
#include "Rotation.h"
#include "Settings.h"

#include <QSet>
#include <QString>
#include <QWidget>

class QPushButton;
class QTimer;

namespace desktop {
class ShutdownSignals;
class SoundPlayer;
class TrayIcon;
class UrlOpener;
} // namespace desktop

namespace ui {

class Dialogs;

// What the window reaches outside itself: the modal notices, the desktop and chance.
struct WindowServices {
    Dialogs& dialogs;
    desktop::UrlOpener& opener;
    desktop::TrayIcon& tray;
    desktop::SoundPlayer& sound;
    engine::UnitRandom& random;
};

// The one window: the message list with its rotation, the countdown, the options and the
// files they are kept in.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    MainWindow(WindowServices services, const QString& programDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Fonts, options, the message list and the start-up sound. Runs once, before showing.
    void startUp();
    // Stores the settings and, when automatic saving is on, the list. Runs at most once,
    // whichever way the program ends; a failure goes to standard error.
    void shutDown();
    // False when the program ended by a signal or with the session and could not save.
    bool savedAtExit() const { return savedAtExit_; }
    // Closing the window, the desktop session ending, the application quitting by any path
    // and a SIGTERM, SIGINT or SIGHUP all shut down, once. A signal also ends the program.
    void shutDownOnEveryWayOut(desktop::ShutdownSignals& watcher);
    // Shows the window in front, from the notification area too.
    void bringToFront();

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();

    void onAddMessage();
    void onRemoveSelected();
    void onClearAll();
    void onListChanged();
    void updateRemoveButton();
    void updateCountLabel();
    int selectedRow() const;
    QString selectedText() const;

    void sendAwayText(const QString& text);
    void updateTrayTip();
    void onStartRotation();
    void onStopRotation();
    void onRotationTick();
    void swapButtons(QPushButton* off, QPushButton* on);
    void setRotationRunning(bool running);
    void onEnableCountdown();
    void onDisableCountdown();
    void onCountdownTick();
    void setCountdownRunning(bool running);

    void hideInTrayIfMinimised();

    storage::OptionState optionState(storage::Option option) const;
    void restoreOption(storage::Option option);
    void onOptionChanged(storage::Option option);
    void loadMessageList();
    QString saveMessageList();
    // Everything that goes into the files; each failure as a line naming the file.
    QStringList storeEverything();
    // A failed save that doesn't end the run is told once per file.
    void tellOnce(const QString& path, const QString& why);

    MainWindowUi ui_;
    WindowServices services_;
    storage::ProgramFiles files_;
    storage::Settings settings_;
    engine::Rotation rotation_;
    engine::Countdown countdown_;
    QTimer* rotationTimer_ = nullptr;
    QTimer* countdownTimer_ = nullptr;
    QTimer* autoSaveTimer_ = nullptr;
    QTimer* trayCheckTimer_ = nullptr;
    QSet<QString> toldFiles_;
    QString lastSent_;
    bool savedAtExit_ = true;
    QByteArray listRest_;          // the file's lines past the list's room, kept for the file
    bool listFileReadable_ = true; // false after a load that couldn't read the file to its end
    bool listFileKnown_ = false;   // the file's lines were loaded, or the list was saved there
    bool listChanged_ = false;     // since it was loaded or saved
    desktop::ShutdownSignals* shutdownSignals_ = nullptr; // held while a list loads
    bool loading_ = false;
    bool closeAfterLoad_ = false;
    bool frameCentred_ = false;
    bool started_ = false;
    bool shutDown_ = false;
};

} // namespace ui
