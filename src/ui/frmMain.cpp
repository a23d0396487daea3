#include "frmMain.h"

#include "Appearance.h"
#include "AwayText.h"
#include "Countdown.h"
#include "Dialogs.h"
#include "Ini.h"
#include "LinkLabel.h"
#include "ListWidgetMessages.h"
#include "MessageLimits.h"
#include "MessageListFile.h"
#include "ProgramDir.h"
#include "RandomPick.h"
#include "SoundPlayer.h"
#include "TabControl.h"
#include "TrayIcon.h"
#include "UrlOpener.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

const QString kTitle = QStringLiteral("Pellory");
const QString kSection = QStringLiteral("Main");
const QString kCountPrefix = QStringLiteral("Random Messages: ");
const QString kIntervalTip = QStringLiteral("Randomize Interval (Seconds)");

// Check box states as stored: 0 off, 1 on, 2 greyed.
int optionValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// A list row as tall as a line of text with its leading, so descenders don't touch the next
// row: the font's own height leaves none.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2);
    }
};

Qt::CheckState stateForOption(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

} // namespace

const QString frmMain::kHomePage = QStringLiteral("http://zandrik.net");
const QString frmMain::kAuthorPage = QStringLiteral("http://zandrik.net/pellory");

frmMain::frmMain(WindowServices services, QString programDir, QWidget* parent)
    : QWidget(parent), services_(services), programDir_(std::move(programDir)) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    pixelsPerTwip_ = (screen ? screen->logicalDotsPerInchX() : 96.0) / 1440.0;
    buildWindow();
    services_.tray.setOnLeftClick([this] { restoreFromTray(); });
}

frmMain::~frmMain() {
    services_.tray.setOnLeftClick({});
}

int frmMain::tw(int twips) const {
    return qRound(twips * pixelsPerTwip_);
}

template <typename W>
W* frmMain::place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return widget;
}

void frmMain::buildWindow() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Pellory 100 - Zandrik"));
    setWindowIcon(Appearance::WindowIcon());
    setFont(Appearance::WindowFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(tw(5490), tw(3015));

    SSTab1 = place(new TabControl(tw(2775 - 2370), this), "SSTab1", 120, 120, 5295, 2775);
    buildRandomizationPage(SSTab1->addPage(QStringLiteral("Away Randomization")));
    buildCountdownPage(SSTab1->addPage(QStringLiteral("Away Count Down")));
    buildConfigPage(SSTab1->addPage(QStringLiteral("Config")));
    buildAboutPage(SSTab1->addPage(QStringLiteral("About")));
    SSTab1->setCurrentIndex(0);
    buildTimers();
    setTabOrder();
    centreOnScreen();
}

void frmMain::buildRandomizationPage(QWidget* page) {
    Label1_0 = place(new QLabel(kCountPrefix + u'0', page), "Label1(0)", 120, 120, 1530, 195);
    Label1_0->adjustSize();
    lstMessages = place(new QListWidget(page), "lstMessages", 120, 360, 2895, 2010);
    lstMessages->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMessages->setUniformItemSizes(true);
    lstMessages->setItemDelegate(new RowDelegate(lstMessages));

    auto button = [&](const char* name, const QString& caption, int left, int top, int width) {
        return place(new QPushButton(caption, page), name, left, top, width, 375);
    };
    cmdAddMsg = button("cmdAddMsg", QStringLiteral("Add Message"), 3120, 360, 1935);
    cmdRmvMsg = button("cmdRmvMsg", QStringLiteral("Remove Selected"), 3120, 720, 1935);
    cmdClearMsgs = button("cmdClearMsgs", QStringLiteral("Clear All"), 3120, 1080, 1935);
    cmdStart = button("cmdStart", QStringLiteral("Start"), 3120, 1560, 975);
    cmdStop = button("cmdStop", QStringLiteral("Stop"), 4080, 1560, 975);
    cmdRmvMsg->setEnabled(false);
    cmdStop->setEnabled(false);

    auto option = [&](const char* name, const QString& caption, int left) {
        auto* radio = place(new QRadioButton(caption, page), name, left, 2040, 495, 255);
        radio->setToolTip(kIntervalTip);
        return radio;
    };
    op1 = option("op1", QStringLiteral("5"), 3240);
    op2 = option("op2", QStringLiteral("10"), 3840);
    op3 = option("op3", QStringLiteral("20"), 4560);
    op2->setChecked(true);

    connect(cmdAddMsg, &QPushButton::clicked, this, &frmMain::cmdAddMsg_Click);
    connect(cmdRmvMsg, &QPushButton::clicked, this, &frmMain::cmdRmvMsg_Click);
    connect(cmdClearMsgs, &QPushButton::clicked, this, &frmMain::cmdClearMsgs_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmMain::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMain::cmdStop_Click);
}

void frmMain::buildCountdownPage(QWidget* page) {
    auto textBox = [&](const char* name, const QString& text, int top, int height,
                       const QString& tip) {
        auto* box = place(new QPlainTextEdit(text, page), name, 120, top, 4695, height);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setToolTip(tip);
        return box;
    };
    Text2 = textBox("Text2", QStringLiteral("I will be back in %m minutes.\n"), 120, 1095,
                    QStringLiteral("The message you want for the countdown, %m represents the "
                                   "minute."));
    Text3 = place(new QLineEdit(QStringLiteral("2"), page), "Text3", 120, 1320, 495, 285);
    Text3->setToolTip(QStringLiteral("Minutes you will be away"));
    Label3 = place(new QLabel(QStringLiteral("<-- Minutes"), page), "Label3", 720, 1440, 840, 195);
    Label3->adjustSize();
    Command6 =
        place(new QPushButton(QStringLiteral("Enable"), page), "Command6", 2040, 1320, 975, 375);
    Command7 =
        place(new QPushButton(QStringLiteral("Disable"), page), "Command7", 3120, 1320, 1095, 375);
    Command7->setEnabled(false);
    Text6 = textBox("Text6", QStringLiteral("I should have been back by now!\n"), 1800, 495,
                    QStringLiteral("Message that will show if your not back by specified time."));

    connect(Command6, &QPushButton::clicked, this, &frmMain::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmMain::Command7_Click);
}

void frmMain::buildConfigPage(QWidget* page) {
    auto checkBox = [&](const char* name, const QString& caption, int left, int top, int width) {
        return place(new QCheckBox(caption, page), name, left, top, width, 255);
    };
    Check1 = checkBox("Check1", QStringLiteral("Auto Save/Load Messages"), 120, 240, 2295);
    Check2 = checkBox("Check2", QStringLiteral("Hide in System Tray"), 2520, 240, 1815);
    Check3 = checkBox("Check3", QStringLiteral("Enable Font Tags"), 120, 720, 1695);
    Check6 = checkBox("Check6", QStringLiteral("Play Sound at Startup"), 2520, 720, 1935);

    Frame1 = place(new QGroupBox(page), "Frame1", 120, 1080, 5055, 1095);
    Label10 = place(new QLabel(QStringLiteral("Font Type"), Frame1), "Label10", 120, 240, 735, 195);
    Label10->adjustSize();
    Combo1 = place(new QComboBox(Frame1), "Combo1", 120, 480, 2295, 315);
    Label11 =
        place(new QLabel(QStringLiteral("Font Size"), Frame1), "Label11", 2520, 240, 660, 195);
    Label11->adjustSize();
    Combo2 = place(new QComboBox(Frame1), "Combo2", 2520, 480, 2295, 315);
    for (int size = 1; size <= 9; ++size)
        Combo2->addItem(QString::number(size));
    Combo2->setCurrentIndex(-1);

    connect(Check1, &QCheckBox::stateChanged, this, &frmMain::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &frmMain::Check2_Click);
    connect(Check3, &QCheckBox::stateChanged, this, &frmMain::Check3_Click);
    connect(Check6, &QCheckBox::stateChanged, this, &frmMain::Check6_Click);
}

void frmMain::buildAboutPage(QWidget* page) {
    auto* title =
        place(new QLabel(QStringLiteral("Pellory 100"), page), "lblTitle", 120, 180, 2280, 255);
    QFont titleFont = font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* rule = place(new QFrame(page), "Line1", 120, 480, 2280, 15);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Plain);
    rule->setFixedHeight(1);

    Label6 = place(new QLabel(page), "Label6", 120, 960, 4515, 795);
    Label6->setWordWrap(true);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The font's own line height leaves no leading between the paragraph's lines.
    Label6->setTextFormat(Qt::RichText);
    Label6->setText(QStringLiteral(
        "<div style=\"line-height:118%\">The away message randomizers I tried kept only about "
        "five messages. I wanted as many as I like, so I wrote Pellory: it keeps any number of "
        "them.</div>"));
    Image1 = place(new QLabel(page), "Image1", 4560, 1800, 480, 480);
    Image1->setPixmap(Appearance::IconPixmap());
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label7 = place(new LinkLabel(kHomePage, page), "Label7", 120, 2040, 0, 195);
    Label7->adjustSize();
    Label9 = place(new QLabel(QStringLiteral("|"), page), "Label9", 1800, 2040, 60, 195);
    Label9->adjustSize();
    Label8 = place(new LinkLabel(kAuthorPage, page), "Label8", 1980, 2040, 0, 195);
    Label8->adjustSize();
    connect(Label7, &LinkLabel::clicked, this, &frmMain::Label7_Click);
    connect(Label8, &LinkLabel::clicked, this, &frmMain::Label8_Click);
}

void frmMain::buildTimers() {
    auto timer = [&](const char* name, int period, Qt::TimerType type) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(period);
        t->setTimerType(type);
        return t;
    };
    tmrM = timer("tmrM", 10000, Qt::PreciseTimer);
    Timer = timer("Timer", 60000, Qt::PreciseTimer);
    CheckMess = timer("CheckMess", 100, Qt::CoarseTimer);
    connect(tmrM, &QTimer::timeout, this, &frmMain::tmrM_Timer);
    connect(Timer, &QTimer::timeout, this, &frmMain::Timer_Timer);
    connect(CheckMess, &QTimer::timeout, this, &frmMain::CheckMess_Timer);
    CheckMess->start();
}

void frmMain::setTabOrder() {
    const QList<QWidget*> order = {SSTab1->tabBar(),
                                   lstMessages,
                                   cmdAddMsg,
                                   cmdRmvMsg,
                                   cmdClearMsgs,
                                   cmdStart,
                                   cmdStop,
                                   Text2,
                                   Command6,
                                   Text3,
                                   Command7,
                                   Text6,
                                   Check1,
                                   Check2,
                                   Check3,
                                   Combo1,
                                   Combo2,
                                   Check6,
                                   op1,
                                   op2,
                                   op3};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

// ---- The message list ----

int frmMain::selectedPosition() const {
    const QModelIndexList rows = lstMessages->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString frmMain::currentText() const {
    const int row = selectedPosition();
    return row < 0 ? QString() : lstMessages->item(row)->text();
}

void frmMain::updateCountLabel() {
    Label1_0->setText(kCountPrefix + QString::number(lstMessages->count()));
    Label1_0->adjustSize();
}

void frmMain::cmdAddMsg_Click() {
    const QString prompt = QStringLiteral("Enter Away Message (Use HTML tags if you want)");
    while (lstMessages->count() < Engine::MaxMessages) {
        const QString answer = services_.dialogs.askText(this, prompt, kTitle);
        if (answer.isEmpty())
            return;
        lstMessages->addItem(answer);
        updateCountLabel();
    }
}

void frmMain::cmdRmvMsg_Click() {
    const int row = selectedPosition();
    if (row >= 0)
        delete lstMessages->takeItem(row);
    updateCountLabel();
}

void frmMain::cmdClearMsgs_Click() {
    lstMessages->clear();
    updateCountLabel();
}

void frmMain::CheckMess_Timer() {
    cmdRmvMsg->setEnabled(!currentText().isEmpty());
}

// ---- Sending ----

void frmMain::sendAwayText(const QString& text) {
    const QString composed = Engine::ComposeAwayText(text, optionValue(Check3), [this] {
        return Engine::FontChoice{Combo1->currentText(), Combo2->currentText()};
    });
    Misc::SetAwayMessage(composed, services_.opener);
}

// ---- The rotation ----

void frmMain::cmdStart_Click() {
    if (lstMessages->count() == 0) {
        services_.dialogs.inform(this, QStringLiteral("No Messages!"), kTitle);
        return;
    }
    tmrM->setInterval(op1->isChecked() ? 5000 : op3->isChecked() ? 20000 : 10000);
    tmrM->start();
    RandomMessage();
    setRotationRunning(true);
}

void frmMain::cmdStop_Click() {
    tmrM->stop();
    setRotationRunning(false);
}

void frmMain::setRotationRunning(bool running) {
    cmdStart->setEnabled(!running);
    cmdStop->setEnabled(running);
    for (QRadioButton* option : {op1, op2, op3})
        option->setEnabled(!running);
}

void frmMain::tmrM_Timer() {
    RandomMessage();
}

void frmMain::RandomMessage() {
    const int index = Engine::PickIndex(lstMessages->count(), services_.random.next());
    if (index >= 0) {
        lstMessages->setCurrentRow(index);
        lstMessages->scrollToItem(lstMessages->item(index));
    }
    sendAwayText(currentText());
}

// ---- The countdown ----

void frmMain::Command6_Click() {
    CountdownMessage = Engine::WithCrLf(Text2->toPlainText());
    if (const auto minutes = Engine::ToInt16(Text3->text()))
        MinutesLeft = *minutes;
    CountdownMessage = Engine::SubstituteMinutes(CountdownMessage, Text3->text());
    Timer->start();
    sendAwayText(CountdownMessage);
    setCountdownRunning(true);
}

void frmMain::Command7_Click() {
    Timer->stop();
    setCountdownRunning(false);
}

void frmMain::Timer_Timer() {
    const Engine::CountdownStep step = Engine::CountdownTick(MinutesLeft);
    MinutesLeft = step.minutesLeft;
    if (step.expired) {
        NotBack();
        return;
    }
    CountdownMessage = Engine::SubstituteMinutes(Engine::WithCrLf(Text2->toPlainText()),
                                                 QString::number(MinutesLeft));
    sendAwayText(CountdownMessage);
}

void frmMain::NotBack() {
    Timer->stop();
    setCountdownRunning(false);
    sendAwayText(Engine::WithCrLf(Text6->toPlainText()));
}

void frmMain::setCountdownRunning(bool running) {
    Command6->setEnabled(!running);
    Command7->setEnabled(running);
    Text2->setEnabled(!running);
    Text3->setEnabled(!running);
}

// ---- Tray and links ----

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize() {
    if (optionValue(Check2) == 0)
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
        if (isMinimized() && services_.tray.shown())
            hide();
    });
    services_.tray.show(windowIcon(), kTitle);
}

void frmMain::restoreFromTray() {
    showNormal();
    raise();
    activateWindow();
    services_.tray.remove();
}

void frmMain::Label7_Click() {
    Misc::OpenWebPage(Label7->text(), services_.opener);
}
void frmMain::Label8_Click() {
    Misc::OpenWebPage(Label8->text(), services_.opener);
}

// ---- Start-up and shutdown ----

QString frmMain::SettingsFilePath() const {
    return Storage::SettingsFilePathIn(programDir_);
}

void frmMain::Form_Load() {
    SettingsPath = SettingsFilePath();
    Misc::FillFontList(Combo1);
    restoreOption(Check1, QStringLiteral("Load/Save"));
    restoreOption(Check2, QStringLiteral("HideInTray"));
    restoreOption(Check3, QStringLiteral("FontTags"));
    restoreOption(Check6, QStringLiteral("PlaySound"));

    const QString listPath = Storage::MessageListPathIn(programDir_);
    if (Misc::FileExists(listPath) && optionValue(Check1) == 1) {
        ListWidgetMessages list(*lstMessages);
        listFileLoadedWhole_ = Misc::LoadMessageList(listPath, list);
        updateCountLabel();
    }
    if (optionValue(Check6) == 1)
        Misc::PlayStartupSound(Storage::StartupSoundPathIn(programDir_), services_.sound);
    Frame1->setEnabled(optionValue(Check3) != 0);
    if (Combo1->count() > 0)
        Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
}

void frmMain::restoreOption(QCheckBox* box, const QString& key) {
    const auto value = Engine::ToInt16(Ini::ReadSetting(kSection, key, SettingsPath));
    // A box holds 0, 1 or the greyed 2; anything else leaves it as designed.
    if (value && *value >= 0 && *value <= 2)
        box->setCheckState(stateForOption(*value));
}

void frmMain::writeOption(const QString& key, QCheckBox* box) {
    // Once the user leaves the greyed state, clicks only tick and untick.
    if (box->checkState() != Qt::PartiallyChecked)
        box->setTristate(false);
    Ini::WriteSetting(kSection, key, QString::number(optionValue(box)), SettingsPath);
}

void frmMain::Check1_Click() {
    writeOption(QStringLiteral("Load/Save"), Check1);
}
void frmMain::Check2_Click() {
    writeOption(QStringLiteral("HideInTray"), Check2);
}
void frmMain::Check6_Click() {
    writeOption(QStringLiteral("PlaySound"), Check6);
}

void frmMain::Check3_Click() {
    if (optionValue(Check3) == 0) {
        writeOption(QStringLiteral("FontTags"), Check3);
        Frame1->setEnabled(false);
    } else {
        Frame1->setEnabled(true);
        writeOption(QStringLiteral("FontTags"), Check3);
    }
}

void frmMain::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Form_Unload();
}

void frmMain::Form_Unload() {
    const std::pair<const char*, int> keys[] = {
        {"Load/Save", optionValue(Check1)},   {"HideInTray", optionValue(Check2)},
        {"FontTags", optionValue(Check3)},    {"PlaySound", optionValue(Check6)},
        {"FontFace", Combo1->currentIndex()}, {"FontSize", Combo2->currentIndex()}};
    for (const auto& [key, value] : keys)
        Ini::WriteSetting(kSection, QLatin1String(key), QString::number(value), SettingsPath);
    // A file the list couldn't take in whole (a read error, more lines than the list holds)
    // keeps what it has rather than being cut down to what was loaded.
    if (optionValue(Check1) == 1 && listFileLoadedWhole_) {
        const ListWidgetMessages list(*lstMessages);
        Misc::SaveMessageList(Storage::MessageListPathIn(programDir_), list);
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

namespace Misc {

void FillFontList(QComboBox* list) {
    // A family offered by several foundries comes as "Family [Foundry]"; the font tag wants
    // the family name alone, once.
    QStringList names;
    for (QString family : QFontDatabase::families()) {
        const qsizetype foundry = family.indexOf(QLatin1String(" ["));
        if (foundry > 0 && family.endsWith(u']'))
            family.truncate(foundry);
        if (!names.contains(family))
            names << family;
    }
    list->addItems(names);
}

} // namespace Misc
