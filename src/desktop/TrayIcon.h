// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>

#include "AimHandler.h"

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace desktop {

// An icon in the desktop's notification area. A left click, or Restore in its menu, asks
// for the window; Quit in its menu asks to end the program.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual bool available() const = 0;
    virtual void show(const QIcon& icon, const QString& toolTip) = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    virtual void remove() = 0;
    virtual bool shown() const = 0;

    void setOnRestore(std::function<void()> handler) { onRestore_ = std::move(handler); }
    void setOnQuit(std::function<void()> handler) { onQuit_ = std::move(handler); }

protected:
    void restoreChosen() const {
        if (onRestore_)
            onRestore_();
    }
    void quitChosen() const {
        if (onQuit_)
            onQuit_();
    }

private:
    std::function<void()> onRestore_;
    std::function<void()> onQuit_;
};

// Starts pellory-aim-bridge --back without waiting: the bridge beside this program, or
// else the one on PATH. It tells any failure itself.
void startBridgeBack();

// QSystemTrayIcon, made only when first shown so that a program that never goes to the
// tray never pays for it. Its menu offers "I'm Back" between Restore and Quit while
// pellory-aim-bridge is the program that receives aim: links, and that item runs
// `back` (pellory-aim-bridge --back); both are asked when the icon is first shown.
class SystemTrayIcon final : public TrayIcon {
public:
    SystemTrayIcon(std::function<std::optional<bool>()> bridgeHandlesLinks = aimHandledByBridge,
                   std::function<void()> back = startBridgeBack);
    ~SystemTrayIcon() override;
    bool available() const override;
    void show(const QIcon& icon, const QString& toolTip) override;
    void setToolTip(const QString& toolTip) override;
    void remove() override;
    bool shown() const override;

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QMenu> menu_;
    std::function<std::optional<bool>()> bridgeHandlesLinks_;
    std::function<void()> back_;

public:
    const QMenu* menu() const { return menu_.get(); } // for the tests
};


} // namespace desktop
