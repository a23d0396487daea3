// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace ui {

class LinkLabel;
class TabControl;

// The window's controls with their captions, places and initial states; MainWindow gives
// them their behaviour. Places are in twips, as designed, converted at the screen's
// logical resolution. Each control's object name is its field's name.
struct MainWindowUi {
    void setupUi(QWidget* window);
    QCheckBox* optionBox(storage::Option option) const;

    TabControl* tabs = nullptr;

    // Away Randomization
    QLabel* messageCountLabel = nullptr;
    QListWidget* messageList = nullptr;
    QPushButton* addMessageButton = nullptr;
    QPushButton* removeSelectedButton = nullptr;
    QPushButton* clearAllButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* stopButton = nullptr;
    QRadioButton* interval5Option = nullptr;
    QRadioButton* interval10Option = nullptr;
    QRadioButton* interval20Option = nullptr;
    std::array<QRadioButton*, 3> intervalOptions() const {
        return {interval5Option, interval10Option, interval20Option};
    }

    // Away Count Down
    QPlainTextEdit* countdownMessageEdit = nullptr;
    QLineEdit* minutesEdit = nullptr;
    QPushButton* enableCountdownButton = nullptr;
    QPushButton* disableCountdownButton = nullptr;
    QPlainTextEdit* notBackMessageEdit = nullptr;

    // Config
    QCheckBox* autoSaveBox = nullptr;
    QCheckBox* hideInTrayBox = nullptr;
    QCheckBox* fontTagsBox = nullptr;
    QCheckBox* playSoundBox = nullptr;
    QGroupBox* fontFrame = nullptr;
    QComboBox* fontFaceList = nullptr;
    QComboBox* fontSizeList = nullptr;

    // About
    LinkLabel* homePageLink = nullptr;
    LinkLabel* authorPageLink = nullptr;

private:
    void setUpRandomizationPage(QWidget* page);
    void setUpCountdownPage(QWidget* page);
    void setUpConfigPage(QWidget* page);
    void setUpAboutPage(QWidget* page);
    void setTabOrder();

    double pixelsPerTwip_ = 96.0 / 1440.0;
    template <typename W>
    W* place(W* widget, const char* name, int left, int top, int width, int height) const;
};

} // namespace ui
