#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class Dialogs;
class LinkLabel;
class TabControl;

namespace Desktop {
class SoundPlayer;
class TrayIcon;
class UrlOpener;
} // namespace Desktop
namespace Engine {
class UnitRandom;
}

// What the window reaches outside itself: the modal notices, the desktop and chance.
struct WindowServices {
    Dialogs& dialogs;
    Desktop::UrlOpener& opener;
    Desktop::TrayIcon& tray;
    Desktop::SoundPlayer& sound;
    Engine::UnitRandom& random;
};

class frmMain final : public QWidget {
    Q_OBJECT

public:
    frmMain(WindowServices services, QString programDir, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: settings, font list, options, message list, sound. Runs once, before showing.
    void Form_Load();
    // Stores the settings and, when automatic saving is on, the list. Runs at most once,
    // whichever way the program ends.
    void Unload();

    void RandomMessage();
    void NotBack();

    static const QString kHomePage;
    static const QString kAuthorPage;

public slots:
    void cmdAddMsg_Click();
    void cmdRmvMsg_Click();
    void cmdClearMsgs_Click();
    void CheckMess_Timer();
    void cmdStart_Click();
    void cmdStop_Click();
    void tmrM_Timer();
    void Command6_Click();
    void Command7_Click();
    void Timer_Timer();
    void Form_Resize();
    void Label7_Click();
    void Label8_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check6_Click();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildRandomizationPage(QWidget* page);
    void buildCountdownPage(QWidget* page);
    void buildConfigPage(QWidget* page);
    void buildAboutPage(QWidget* page);
    void buildTimers();
    void setTabOrder();
    void centreOnScreen();
    int tw(int twips) const;
    template <typename W>
    W* place(W* widget, const char* name, int left, int top, int width, int height);

    void Form_Unload();
    QString SettingsFilePath() const;
    void restoreOption(QCheckBox* box, const QString& key);
    void writeOption(const QString& key, QCheckBox* box);
    void updateCountLabel();
    int selectedPosition() const;
    QString currentText() const;
    void sendAwayText(const QString& text);
    void setRotationRunning(bool running);
    void setCountdownRunning(bool running);
    void restoreFromTray();

    WindowServices services_;
    QString programDir_;
    QString SettingsPath;
    QString CountdownMessage;
    qint16 MinutesLeft = 0;
    bool unloaded_ = false;
    bool listFileLoadedWhole_ = true;
    double pixelsPerTwip_;

    TabControl* SSTab1 = nullptr;
    QLabel* Label1_0 = nullptr;
    QListWidget* lstMessages = nullptr;
    QPushButton* cmdAddMsg = nullptr;
    QPushButton* cmdRmvMsg = nullptr;
    QPushButton* cmdClearMsgs = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QRadioButton* op1 = nullptr;
    QRadioButton* op2 = nullptr;
    QRadioButton* op3 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check6 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label11 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Image1 = nullptr;
    LinkLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    LinkLabel* Label8 = nullptr;
    QTimer* tmrM = nullptr;
    QTimer* CheckMess = nullptr;
    QTimer* Timer = nullptr;
};

namespace Misc {
// Appends every font family the system offers, in the order it gives them.
void FillFontList(QComboBox* list);
} // namespace Misc
