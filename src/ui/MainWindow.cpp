// SPDX-License-Identifier: MIT
#include "MainWindow.h"

#include "Appearance.h"
#include "AwayText.h"
#include "Dialogs.h"
#include "FileAccess.h"
#include "LinkLabel.h"
#include "MessageLimits.h"
#include "MessageListFile.h"
#include "ShutdownSignals.h"
#include "SoundPlayer.h"
#include "TabControl.h"
#include "TrayIcon.h"
#include "UrlOpener.h"

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>

#include <cstdio>

namespace ui {

using storage::Option;
using storage::OptionState;

namespace {

const QString kTitle = QStringLiteral("Pellory");

Qt::CheckState checkStateFor(OptionState state) {
    switch (state) {
    case OptionState::On:
        return Qt::Checked;
    case OptionState::Greyed:
        return Qt::PartiallyChecked;
    case OptionState::Off:
        break;
    }
    return Qt::Unchecked;
}

OptionState optionStateOf(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return OptionState::On;
    case Qt::PartiallyChecked:
        return OptionState::Greyed;
    case Qt::Unchecked:
        break;
    }
    return OptionState::Off;
}

// One line that names the file and says why it could not be saved.
QString saveFailure(const QString& path, const QString& why) {
    return QStringLiteral("Could not save %1: %2.").arg(path, why);
}

QTimer* preciseTimer(QObject* parent, const char* name, std::chrono::milliseconds interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(interval);
    return timer;
}

} // namespace

MainWindow::MainWindow(WindowServices services, const QString& programDir, QWidget* parent)
    : QWidget(parent), services_(services), files_(programDir), settings_(files_.settings),
      rotation_(services.random) {
    ui_.setupUi(this);
    rotationTimer_ = preciseTimer(this, "rotationTimer", rotation_.interval());
    countdownTimer_ = preciseTimer(this, "countdownTimer", std::chrono::minutes(1));
    autoSaveTimer_ = preciseTimer(this, "autoSaveTimer", std::chrono::seconds(1));
    autoSaveTimer_->setSingleShot(true);
    connect(autoSaveTimer_, &QTimer::timeout, this,
            [this] { tellOnce(files_.messageList, saveMessageList()); });
    // A notification area can go away while the window hides in it: then the window comes
    // back, or it could never be reached again.
    trayCheckTimer_ = preciseTimer(this, "trayCheckTimer", std::chrono::seconds(3));
    connect(trayCheckTimer_, &QTimer::timeout, this, [this] {
        if (!services_.tray.available())
            bringToFront();
    });
    connectControls();
    services_.tray.setOnRestore([this] { bringToFront(); });
    services_.tray.setOnQuit([this] {
        close(); // the window is hidden, so closing it alone would not end the program
        QCoreApplication::quit();
    });
    services_.opener.setOnProblem(
        [this](const QString& message) { services_.dialogs.tell(this, message); });
}

MainWindow::~MainWindow() {
    services_.tray.setOnRestore({});
    services_.tray.setOnQuit({});
    // The list tells of its rows going as the controls are destroyed, after this part of
    // the window is gone.
    ui_.messageList->model()->disconnect(this);
    ui_.messageList->selectionModel()->disconnect(this);
}

void MainWindow::connectControls() {
    connect(ui_.addMessageButton, &QPushButton::clicked, this, &MainWindow::onAddMessage);
    connect(ui_.removeSelectedButton, &QPushButton::clicked, this, &MainWindow::onRemoveSelected);
    connect(
        new QShortcut(QKeySequence::Delete, ui_.messageList, nullptr, nullptr, Qt::WidgetShortcut),
        &QShortcut::activated, this, &MainWindow::onRemoveSelected);
    connect(ui_.clearAllButton, &QPushButton::clicked, this, &MainWindow::onClearAll);
    connect(ui_.startButton, &QPushButton::clicked, this, &MainWindow::onStartRotation);
    connect(ui_.stopButton, &QPushButton::clicked, this, &MainWindow::onStopRotation);
    connect(rotationTimer_, &QTimer::timeout, this, &MainWindow::onRotationTick);
    connect(ui_.enableCountdownButton, &QPushButton::clicked, this, &MainWindow::onEnableCountdown);
    connect(ui_.disableCountdownButton, &QPushButton::clicked, this,
            &MainWindow::onDisableCountdown);
    connect(countdownTimer_, &QTimer::timeout, this, &MainWindow::onCountdownTick);
    for (const Option option : storage::kOptions)
        connect(ui_.optionBox(option), &QCheckBox::stateChanged, this,
                [this, option] { onOptionChanged(option); });
    for (LinkLabel* link : {ui_.homePageLink, ui_.authorPageLink})
        connect(link, &LinkLabel::clicked, this,
                [this, link] { services_.opener.open(link->text()); });

    for (QRadioButton* option : ui_.intervalOptions())
        option->installEventFilter(this);

    // "Remove Selected" follows the selected entry's text wherever it changes.
    QAbstractItemModel* model = ui_.messageList->model();
    connect(ui_.messageList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateRemoveButton);
    connect(model, &QAbstractItemModel::dataChanged, this, &MainWindow::updateRemoveButton);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateRemoveButton);
    connect(model, &QAbstractItemModel::modelReset, this, &MainWindow::updateRemoveButton);
}

// ---- The message list ----

int MainWindow::selectedRow() const {
    const QModelIndexList rows = ui_.messageList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString MainWindow::selectedText() const {
    const int row = selectedRow();
    return row < 0 ? QString() : ui_.messageList->item(row)->text();
}

void MainWindow::updateCountLabel() {
    ui_.messageCountLabel->setText(QStringLiteral("Random Messages: ") +
                                   QString::number(ui_.messageList->count()));
    ui_.messageCountLabel->adjustSize();
}

void MainWindow::onAddMessage() {
    const QString prompt = QStringLiteral("Enter Away Message (Use HTML tags if you want)");
    while (ui_.messageList->count() < engine::kMaxMessages) {
        // The prompt is a one-line box: a pasted text keeps no more than its first line.
        const QString answer = services_.dialogs.askText(this, prompt, kTitle)
                                   .section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
        if (answer.isEmpty())
            return;
        ui_.messageList->addItem(answer);
        onListChanged();
    }
}

void MainWindow::onRemoveSelected() {
    // The button greys out with nothing selected; the focus would go on to Clear All, and
    // a second key press there would empty the list.
    if (focusWidget() == ui_.removeSelectedButton)
        ui_.messageList->setFocus(Qt::OtherFocusReason);
    const int row = selectedRow();
    if (row >= 0)
        delete ui_.messageList->takeItem(row);
    // The list would select the next entry, and a second click would remove that one too.
    ui_.messageList->selectionModel()->clear();
    onListChanged();
}

void MainWindow::onClearAll() {
    ui_.messageList->clear();
    onListChanged();
}

void MainWindow::onListChanged() {
    updateCountLabel();
    listChanged_ = true;
    // One save shortly after a burst of changes keeps them safe from a crash or a lost
    // display, without a write for every message the prompt takes.
    if (optionState(Option::AutoSave) == OptionState::On)
        autoSaveTimer_->start();
}

void MainWindow::updateRemoveButton() {
    ui_.removeSelectedButton->setEnabled(!selectedText().isEmpty());
}

// ---- Sending: the rotation and the countdown ----

void MainWindow::sendAwayText(const QString& text) {
    const bool fontTags = optionState(Option::FontTags) == OptionState::On;
    const QString composed = engine::composeAwayText(text, fontTags, [this] {
        return engine::FontChoice{ui_.fontFaceList->currentText(), ui_.fontSizeList->currentText()};
    });
    services_.opener.open(engine::awayCommand(composed));
    lastSent_ = text;
    updateTrayTip();
}

// "Pellory", then the minutes left while the countdown runs, or else the last message sent.
void MainWindow::updateTrayTip() {
    constexpr qsizetype kTipLength = 100;
    QString tip = kTitle;
    if (countdown_.running())
        tip += QStringLiteral("\n%1 minutes left").arg(countdown_.minutesLeft());
    else if (const QString sent = lastSent_.simplified(); !sent.isEmpty())
        tip += u'\n' + (sent.size() > kTipLength ? sent.left(kTipLength) + QChar(0x2026) : sent);
    services_.tray.setToolTip(tip);
}

void MainWindow::onStartRotation() {
    if (ui_.messageList->count() == 0) {
        services_.dialogs.inform(this, QStringLiteral("No Messages!"), kTitle);
        return;
    }
    using std::chrono::seconds;
    rotation_.start(ui_.interval5Option->isChecked()    ? seconds(5)
                    : ui_.interval20Option->isChecked() ? seconds(20)
                                                        : seconds(10));
    rotationTimer_->start(rotation_.interval());
    onRotationTick();
    setRotationRunning(true);
}

void MainWindow::onStopRotation() {
    rotation_.stop();
    rotationTimer_->stop();
    setRotationRunning(false);
}

void MainWindow::onRotationTick() {
    const int row = rotation_.tick(ui_.messageList->count());
    if (row >= 0) {
        ui_.messageList->setCurrentRow(row);
        ui_.messageList->scrollToItem(ui_.messageList->item(row));
    }
    sendAwayText(selectedText());
}

// The button that greys out after its own action hands the focus to the one that undoes it,
// rather than to whatever control comes next.
void MainWindow::swapButtons(QPushButton* off, QPushButton* on) {
    on->setEnabled(true);
    if (focusWidget() == off)
        on->setFocus(Qt::OtherFocusReason);
    off->setEnabled(false);
}

void MainWindow::setRotationRunning(bool running) {
    running ? swapButtons(ui_.startButton, ui_.stopButton)
            : swapButtons(ui_.stopButton, ui_.startButton);
    for (QRadioButton* option : ui_.intervalOptions())
        option->setEnabled(!running);
}

void MainWindow::onEnableCountdown() {
    const QString first =
        countdown_.start(ui_.countdownMessageEdit->toPlainText(), ui_.minutesEdit->text());
    countdownTimer_->start();
    sendAwayText(first);
    setCountdownRunning(true);
}

void MainWindow::onDisableCountdown() {
    countdown_.stop();
    countdownTimer_->stop();
    setCountdownRunning(false);
}

void MainWindow::onCountdownTick() {
    const engine::Countdown::Step step = countdown_.tick(ui_.countdownMessageEdit->toPlainText(),
                                                         ui_.notBackMessageEdit->toPlainText());
    if (step.finished) {
        countdownTimer_->stop();
        setCountdownRunning(false);
    }
    sendAwayText(step.text);
}

void MainWindow::setCountdownRunning(bool running) {
    running ? swapButtons(ui_.enableCountdownButton, ui_.disableCountdownButton)
            : swapButtons(ui_.disableCountdownButton, ui_.enableCountdownButton);
    ui_.countdownMessageEdit->setEnabled(!running);
    ui_.minutesEdit->setEnabled(!running);
}

// The interval options are one stop for Tab, and it lands on the option that is chosen.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* option = qobject_cast<QRadioButton*>(watched);
    const auto* focus =
        event->type() == QEvent::FocusIn ? static_cast<QFocusEvent*>(event) : nullptr;
    if (option && focus && !option->isChecked() &&
        (focus->reason() == Qt::TabFocusReason || focus->reason() == Qt::BacktabFocusReason)) {
        for (QRadioButton* chosen : ui_.intervalOptions())
            if (chosen->isChecked())
                chosen->setFocus(focus->reason());
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Placement ----

// The window was centred before the window manager framed it; once the frame is known, the
// frame is what gets centred.
void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    const QRect frame = frameGeometry();
    if (frameCentred_ || frame.size() == size() || !screen())
        return;
    frameCentred_ = true;
    move(screen()->availableGeometry().center() - frame.center() + frame.topLeft());
}

// ---- The notification area ----

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        hideInTrayIfMinimised();
}

void MainWindow::hideInTrayIfMinimised() {
    if (optionState(Option::HideInTray) == OptionState::Off)
        return;
    if (!isMinimized()) {
        services_.tray.remove();
        return;
    }
    // Without a notification area there would be no way back: stay in the taskbar.
    if (!services_.tray.available())
        return;
    // Hiding waits for the event loop so that the window manager has seen the minimise; by
    // then the window may be back, or the icon gone, and then it must stay.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized() && services_.tray.shown()) {
            hide();
            trayCheckTimer_->start();
        }
    });
    services_.tray.show(windowIcon(), kTitle);
    updateTrayTip();
}

void MainWindow::bringToFront() {
    trayCheckTimer_->stop();
    showNormal();
    raise();
    activateWindow();
    services_.tray.remove();
}

// ---- Options, start-up and shutdown ----

OptionState MainWindow::optionState(Option option) const {
    return optionStateOf(ui_.optionBox(option));
}

void MainWindow::restoreOption(Option option) {
    // A box keeps its unticked design state when the stored value is missing or unusable.
    if (const std::optional<OptionState> state = settings_.option(option))
        ui_.optionBox(option)->setCheckState(checkStateFor(*state));
}

void MainWindow::onOptionChanged(Option option) {
    QCheckBox* box = ui_.optionBox(option);
    // Once the user leaves the greyed state, clicks only tick and untick.
    if (box->checkState() != Qt::PartiallyChecked)
        box->setTristate(false);
    if (option == Option::FontTags)
        ui_.fontFrame->setEnabled(optionState(option) != OptionState::Off);
    // Saving from now on must not replace a file whose messages were never loaded.
    if (started_ && option == Option::AutoSave && optionState(option) == OptionState::On &&
        !listFileKnown_ && storage::isRegularFile(files_.messageList))
        loadMessageList();
    tellOnce(settings_.path(), settings_.storeOption(option, optionState(option)));
}

void MainWindow::tellOnce(const QString& path, const QString& why) {
    if (why.isEmpty() || toldFiles_.contains(path))
        return;
    toldFiles_.insert(path);
    services_.dialogs.tell(this, saveFailure(path, why));
}

void MainWindow::startUp() {
    for (const QString& file : {files_.settings, files_.messageList})
        storage::removeUnfinishedSaves(file);
    ui_.fontFaceList->addItems(fontFamilies());
    for (const Option option : storage::kOptions)
        restoreOption(option);
    if (optionState(Option::AutoSave) == OptionState::On &&
        storage::isRegularFile(files_.messageList))
        loadMessageList();
    if (optionState(Option::PlaySound) == OptionState::On)
        desktop::playStartupSound(files_.startupSound, services_.sound);
    ui_.fontFrame->setEnabled(optionState(Option::FontTags) != OptionState::Off);
    if (ui_.fontFaceList->count() > 0)
        ui_.fontFaceList->setCurrentIndex(0);
    ui_.fontSizeList->setCurrentIndex(0);
    started_ = true;
}

void MainWindow::loadMessageList() {
    // Timers keep running while a long list loads; the user's input waits until it is in.
    const auto runTimers = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // A signal meanwhile would save a list that lacks the file's lines: it waits for the
    // load, and so does a save that comes another way.
    const bool signalsWereHeld = !shutdownSignals_ || shutdownSignals_->held();
    if (shutdownSignals_)
        shutdownSignals_->setHeld(true);
    loading_ = true;
    const bool hadEntries = ui_.messageList->count() > 0;
    storage::LoadedList loaded = storage::loadMessageList(
        files_.messageList, engine::kMaxMessages - ui_.messageList->count(), runTimers);
    // A file that couldn't be read to its end is never replaced; the lines the list had no
    // room for go back into the file after the list's own.
    listFileReadable_ = loaded.complete;
    listRest_ = std::move(loaded.rest);
    listFileKnown_ = true;
    listChanged_ = listChanged_ || hadEntries;
    ui_.messageList->addItems(loaded.entries);
    updateCountLabel();
    loading_ = false;
    if (shutdownSignals_)
        shutdownSignals_->setHeld(signalsWereHeld);
    if (closeAfterLoad_)
        QTimer::singleShot(0, this, &QWidget::close);
    // Input held back while loading would otherwise wait for the next event to wake the loop.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

QString MainWindow::saveMessageList() {
    if (optionState(Option::AutoSave) != OptionState::On || !listFileReadable_ || loading_)
        return {};
    // An unchanged list leaves the file as it is; a missing file is made from the list.
    if (!listChanged_ && QFileInfo::exists(files_.messageList))
        return {};
    QStringList entries;
    for (int row = 0; row < ui_.messageList->count(); ++row)
        entries << ui_.messageList->item(row)->text();
    const QString error = storage::saveMessageList(files_.messageList, entries, listRest_);
    if (error.isEmpty()) {
        listChanged_ = false;
        listFileKnown_ = true;
    }
    return error;
}

QStringList MainWindow::storeEverything() {
    storage::OptionStates options;
    for (const Option option : storage::kOptions)
        options[static_cast<size_t>(option)] = optionState(option);
    QStringList failures;
    const QString settings = settings_.storeAll(options, ui_.fontFaceList->currentIndex(),
                                                ui_.fontSizeList->currentIndex());
    if (!settings.isEmpty())
        failures << saveFailure(settings_.path(), settings);
    if (const QString list = saveMessageList(); !list.isEmpty())
        failures << saveFailure(files_.messageList, list);
    return failures;
}

void MainWindow::shutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    // Nobody may be there to answer a question: the one line goes to standard error.
    const QStringList failures = storeEverything();
    if (!failures.isEmpty())
        std::fprintf(stderr, "pellory: %s\n", qPrintable(failures.join(QLatin1Char(' '))));
    savedAtExit_ = failures.isEmpty();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Half a list must not be saved over the file: the close waits for the load.
    if (loading_) {
        closeAfterLoad_ = true;
        event->ignore();
        return;
    }
    // The window closes in any case; the user decides whether the files are tried again.
    if (!shutDown_) {
        shutDown_ = true;
        QStringList failures = storeEverything();
        while (!failures.isEmpty() &&
               services_.dialogs.askRetry(this, failures.join(QLatin1Char('\n'))))
            failures = storeEverything();
    }
    event->accept();
}

void MainWindow::shutDownOnEveryWayOut(desktop::ShutdownSignals& watcher) {
    shutdownSignals_ = &watcher;
    connect(&watcher, &QObject::destroyed, this, [this] { shutdownSignals_ = nullptr; });
    connect(&watcher, &desktop::ShutdownSignals::received, this, [this, &watcher] {
        // A second signal during the save must not end the program half-way.
        watcher.ignoreFurther();
        shutDown(); // the exit status tells whether it all could be saved: savedAtExit()
        QCoreApplication::quit();
    });
    // The session may save without ending the program (a checkpoint, a cancelled logout),
    // so this save leaves the one at the end to come.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { (void)storeEverything(); });
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] { shutDown(); });
}

} // namespace ui
