#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace desktop {

// An icon in the desktop's notification area that reports left clicks.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual bool available() const = 0;
    virtual void show(const QIcon& icon, const QString& toolTip) = 0;
    virtual void remove() = 0;
    virtual bool shown() const = 0;

    void setOnLeftClick(std::function<void()> handler) { onLeftClick_ = std::move(handler); }

protected:
    void leftClicked() const {
        if (onLeftClick_)
            onLeftClick_();
    }

private:
    std::function<void()> onLeftClick_;
};

// QSystemTrayIcon, made only when first shown so that a program that never goes to the
// tray never pays for it.
class SystemTrayIcon final : public TrayIcon {
public:
    SystemTrayIcon();
    ~SystemTrayIcon() override;
    bool available() const override;
    void show(const QIcon& icon, const QString& toolTip) override;
    void remove() override;
    bool shown() const override;

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace desktop
