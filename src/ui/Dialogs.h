#pragma once

#include <QString>

class QWidget;

namespace ui {

// The two modal notices the window shows: the prompt for a new message and the
// "No Messages!" box.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The typed text on OK; the empty string on Cancel or close.
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // An information box with one OK button; returns when it is dismissed.
    virtual void inform(QWidget* parent, const QString& text, const QString& title) = 0;
};

class QtDialogs final : public Dialogs {
public:
    QString askText(QWidget* parent, const QString& prompt, const QString& title) override;
    void inform(QWidget* parent, const QString& text, const QString& title) override;
};

} // namespace ui
