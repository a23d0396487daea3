// SPDX-License-Identifier: MIT
#include "MainWindowLayout.h"

#include "Appearance.h"
#include "LinkLabel.h"
#include "TabControl.h"

#include <QCheckBox>
#include <QComboBox>
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

namespace ui {
namespace {

const QString kHomePage = QStringLiteral("http://zandrik.net");
const QString kAuthorPage = QStringLiteral("http://zandrik.net/pellory");

// At most this much of a message shows in the list: laying out a text of megabytes would
// hold the window for seconds at every repaint. The message itself stays whole.
constexpr qsizetype kShownCharacters = 300;

// A list row as tall as a line of text with its leading, so descenders don't touch the next
// row: the font's own height leaves none.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.size() > kShownCharacters)
            option->text = option->text.left(kShownCharacters) + QChar(0x2026);
    }
};

} // namespace

template <typename W>
W* MainWindowUi::place(W* widget, const char* name, int left, int top, int width,
                       int height) const {
    const auto px = [this](int twips) { return qRound(twips * pixelsPerTwip_); };
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

void MainWindowUi::setupUi(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        pixelsPerTwip_ = screen->logicalDotsPerInchX() / 1440.0;
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setWindowTitle(QStringLiteral("Pellory 100 - Zandrik"));
    window->setWindowIcon(drawnIcon());
    window->setFont(windowFont());
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    window->setFixedSize(qRound(5490 * pixelsPerTwip_), qRound(3015 * pixelsPerTwip_));

    const int tabRowHeight = qRound((2775 - 2370) * pixelsPerTwip_);
    tabs = place(new TabControl(tabRowHeight, window), "tabs", 120, 120, 5295, 2775);
    setUpRandomizationPage(tabs->addPage(QStringLiteral("Away Randomization")));
    setUpCountdownPage(tabs->addPage(QStringLiteral("Away Count Down")));
    setUpConfigPage(tabs->addPage(QStringLiteral("Config")));
    setUpAboutPage(tabs->addPage(QStringLiteral("About")));
    tabs->setCurrentIndex(0);
    setTabOrder();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QCheckBox* MainWindowUi::optionBox(storage::Option option) const {
    switch (option) {
    case storage::Option::AutoSave:
        return autoSaveBox;
    case storage::Option::HideInTray:
        return hideInTrayBox;
    case storage::Option::FontTags:
        return fontTagsBox;
    case storage::Option::PlaySound:
        return playSoundBox;
    }
    return nullptr;
}

void MainWindowUi::setUpRandomizationPage(QWidget* page) {
    messageCountLabel = place(new QLabel(QStringLiteral("Random Messages: 0"), page),
                              "messageCountLabel", 120, 120, 1530, 195);
    messageCountLabel->adjustSize();
    messageList = place(new QListWidget(page), "messageList", 120, 360, 2895, 2010);
    messageList->setSelectionMode(QAbstractItemView::SingleSelection);
    messageList->setUniformItemSizes(true);
    messageList->setItemDelegate(new RowDelegate(messageList));
    messageList->setAccessibleName(QStringLiteral("Away messages"));

    const auto button = [&](const char* name, const QString& caption, int left, int top,
                            int width) {
        return place(new QPushButton(caption, page), name, left, top, width, 375);
    };
    addMessageButton = button("addMessageButton", QStringLiteral("Add Message"), 3120, 360, 1935);
    removeSelectedButton =
        button("removeSelectedButton", QStringLiteral("Remove Selected"), 3120, 720, 1935);
    clearAllButton = button("clearAllButton", QStringLiteral("Clear All"), 3120, 1080, 1935);
    startButton = button("startButton", QStringLiteral("Start"), 3120, 1560, 975);
    stopButton = button("stopButton", QStringLiteral("Stop"), 4080, 1560, 975);
    removeSelectedButton->setEnabled(false);
    stopButton->setEnabled(false);

    const auto option = [&](const char* name, const QString& caption, int left) {
        auto* radio = place(new QRadioButton(caption, page), name, left, 2040, 495, 255);
        radio->setToolTip(QStringLiteral("Randomize Interval (Seconds)"));
        radio->setAccessibleName(QStringLiteral("Interval: %1 seconds").arg(caption));
        return radio;
    };
    interval5Option = option("interval5Option", QStringLiteral("5"), 3240);
    interval10Option = option("interval10Option", QStringLiteral("10"), 3840);
    interval20Option = option("interval20Option", QStringLiteral("20"), 4560);
    interval10Option->setChecked(true);
}

void MainWindowUi::setUpCountdownPage(QWidget* page) {
    const auto textBox = [&](const char* name, const QString& text, int top, int height,
                             const QString& tip, const QString& accessibleName) {
        auto* box = place(new QPlainTextEdit(text, page), name, 120, top, 4695, height);
        box->setAccessibleName(accessibleName);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true); // a tab in an away message would go out as one
        box->setToolTip(tip);
        return box;
    };
    countdownMessageEdit = textBox(
        "countdownMessageEdit", QStringLiteral("I will be back in %m minutes.\n"), 120, 1095,
        QStringLiteral("The message you want for the countdown, %m represents the minute."),
        QStringLiteral("Countdown message"));
    minutesEdit =
        place(new QLineEdit(QStringLiteral("2"), page), "minutesEdit", 120, 1320, 495, 285);
    minutesEdit->setToolTip(QStringLiteral("Minutes you will be away"));
    minutesEdit->setAccessibleName(QStringLiteral("Minutes away"));
    auto* minutesLabel =
        place(new QLabel(QStringLiteral("<-- Minutes"), page), "minutesLabel", 720, 1440, 840, 195);
    minutesLabel->adjustSize();
    enableCountdownButton = place(new QPushButton(QStringLiteral("Enable"), page),
                                  "enableCountdownButton", 2040, 1320, 975, 375);
    disableCountdownButton = place(new QPushButton(QStringLiteral("Disable"), page),
                                   "disableCountdownButton", 3120, 1320, 1095, 375);
    disableCountdownButton->setEnabled(false);
    notBackMessageEdit =
        textBox("notBackMessageEdit", QStringLiteral("I should have been back by now!\n"), 1800,
                495, QStringLiteral("Message that will show if your not back by specified time."),
                QStringLiteral("Message when not back in time"));
}

void MainWindowUi::setUpConfigPage(QWidget* page) {
    const auto checkBox = [&](const char* name, const QString& caption, int left, int top,
                              int width) {
        return place(new QCheckBox(caption, page), name, left, top, width, 255);
    };
    autoSaveBox =
        checkBox("autoSaveBox", QStringLiteral("Auto Save/Load Messages"), 120, 240, 2295);
    hideInTrayBox =
        checkBox("hideInTrayBox", QStringLiteral("Hide in System Tray"), 2520, 240, 1815);
    fontTagsBox = checkBox("fontTagsBox", QStringLiteral("Enable Font Tags"), 120, 720, 1695);
    playSoundBox =
        checkBox("playSoundBox", QStringLiteral("Play Sound at Startup"), 2520, 720, 1935);

    fontFrame = place(new QGroupBox(page), "fontFrame", 120, 1080, 5055, 1095);
    place(new QLabel(QStringLiteral("Font Type"), fontFrame), "fontFaceLabel", 120, 240, 735, 195)
        ->adjustSize();
    fontFaceList = place(new QComboBox(fontFrame), "fontFaceList", 120, 480, 2295, 315);
    fontFaceList->setAccessibleName(QStringLiteral("Font type"));
    place(new QLabel(QStringLiteral("Font Size"), fontFrame), "fontSizeLabel", 2520, 240, 660, 195)
        ->adjustSize();
    fontSizeList = place(new QComboBox(fontFrame), "fontSizeList", 2520, 480, 2295, 315);
    fontSizeList->setAccessibleName(QStringLiteral("Font size"));
    for (int size = 1; size <= 9; ++size)
        fontSizeList->addItem(QString::number(size));
    fontSizeList->setCurrentIndex(-1);
}

void MainWindowUi::setUpAboutPage(QWidget* page) {
    auto* title =
        place(new QLabel(QStringLiteral("Pellory 100"), page), "aboutTitle", 120, 180, 2280, 255);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* rule = place(new QFrame(page), "aboutRule", 120, 480, 2280, 15);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Plain);
    rule->setFixedHeight(1);

    auto* paragraph = place(new QLabel(page), "aboutText", 120, 960, 4515, 795);
    paragraph->setWordWrap(true);
    paragraph->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The font's own line height leaves no leading between the paragraph's lines.
    paragraph->setTextFormat(Qt::RichText);
    paragraph->setText(QStringLiteral(
        "<div style=\"line-height:118%\">The away message randomizers I tried kept only about "
        "five messages. I wanted as many as I like, so I wrote Pellory: it keeps any number of "
        "them.</div>"));
    auto* icon = place(new QLabel(page), "aboutIcon", 4560, 1800, 480, 480);
    icon->setPixmap(iconPixmap());
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    homePageLink = place(new LinkLabel(kHomePage, page), "homePageLink", 120, 2040, 0, 195);
    homePageLink->adjustSize();
    place(new QLabel(QStringLiteral("|"), page), "linkSeparator", 1800, 2040, 60, 195)
        ->adjustSize();
    authorPageLink = place(new LinkLabel(kAuthorPage, page), "authorPageLink", 1980, 2040, 0, 195);
    authorPageLink->adjustSize();
}

void MainWindowUi::setTabOrder() {
    const QList<QWidget*> order = {tabs->tabBar(),
                                   messageList,
                                   addMessageButton,
                                   removeSelectedButton,
                                   clearAllButton,
                                   startButton,
                                   stopButton,
                                   countdownMessageEdit,
                                   enableCountdownButton,
                                   minutesEdit,
                                   disableCountdownButton,
                                   notBackMessageEdit,
                                   autoSaveBox,
                                   hideInTrayBox,
                                   fontTagsBox,
                                   fontFaceList,
                                   fontSizeList,
                                   playSoundBox,
                                   interval5Option,
                                   interval10Option,
                                   interval20Option};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace ui
