// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace ui {

// The window's dialogs: the prompt for a new message, the "No Messages!" box, and the
// notices of what went wrong.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The typed text on OK; the empty string on Cancel or close.
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // An information box with one OK button; returns when it is dismissed.
    virtual void inform(QWidget* parent, const QString& text, const QString& title) = 0;
    // Tells of a failed save at the end of a run: true to try again, false to close
    // without saving.
    virtual bool askRetry(QWidget* parent, const QString& text) = 0;
    // A warning that doesn't wait for an answer, so that rotations and countdowns go on.
    virtual void tell(QWidget* parent, const QString& text) = 0;
};

class QtDialogs final : public Dialogs {
public:
    QString askText(QWidget* parent, const QString& prompt, const QString& title) override;
    void inform(QWidget* parent, const QString& text, const QString& title) override;
    bool askRetry(QWidget* parent, const QString& text) override;
    void tell(QWidget* parent, const QString& text) override;
};

} // namespace ui
