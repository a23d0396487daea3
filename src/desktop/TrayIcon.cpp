#include "TrayIcon.h"

#include <QSystemTrayIcon>

namespace desktop {

SystemTrayIcon::SystemTrayIcon() = default;
SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::show(const QIcon& icon, const QString& toolTip) {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger)
                                 leftClicked();
                         });
    }
    icon_->setIcon(icon);
    icon_->setToolTip(toolTip);
    icon_->show();
}

void SystemTrayIcon::remove() {
    if (icon_)
        icon_->hide();
}

bool SystemTrayIcon::shown() const {
    return icon_ && icon_->isVisible();
}

} // namespace desktop
