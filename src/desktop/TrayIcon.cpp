// SPDX-License-Identifier: MIT
#include "TrayIcon.h"

#include <QCoreApplication>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>

namespace desktop {

SystemTrayIcon::SystemTrayIcon(std::function<std::optional<bool>()> bridgeHandlesLinks,
                               std::function<void()> back)
    : bridgeHandlesLinks_(std::move(bridgeHandlesLinks)), back_(std::move(back)) {}

void startBridgeBack() {
    QString bridge = QStandardPaths::findExecutable(QStringLiteral("pellory-aim-bridge"),
                                                    {QCoreApplication::applicationDirPath()});
    if (bridge.isEmpty())
        bridge = QStandardPaths::findExecutable(QStringLiteral("pellory-aim-bridge"));
    if (!bridge.isEmpty())
        QProcess::startDetached(bridge, {QStringLiteral("--back")});
}
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
        if (bridgeHandlesLinks_() == true)
            menu_->addAction(QStringLiteral("I'm Back"), back_);
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
