// SPDX-License-Identifier: MIT
#include "TrayIcon.h"

#include <QMenu>
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
                                 restoreChosen();
                         });
        menu_ = std::make_unique<QMenu>();
        menu_->addAction(QStringLiteral("Restore"), [this] { restoreChosen(); });
        menu_->addAction(QStringLiteral("Quit"), [this] { quitChosen(); });
        icon_->setContextMenu(menu_.get());
    }
    icon_->setIcon(icon);
    icon_->setToolTip(toolTip);
    icon_->show();
}

void SystemTrayIcon::setToolTip(const QString& toolTip) {
    if (icon_)
        icon_->setToolTip(toolTip);
}

void SystemTrayIcon::remove() {
    if (icon_)
        icon_->hide();
}

bool SystemTrayIcon::shown() const {
    return icon_ && icon_->isVisible();
}

} // namespace desktop
