// SPDX-License-Identifier: MIT
#include "DBusPeer.h"

#include <QDBusError>
#include <QDBusMessage>

namespace bridge {

QDBusConnection SessionBus::connection() {
    std::call_once(connected_, [this] { bus_ = QDBusConnection::sessionBus(); });
    return *bus_;
}

QString SessionBus::failure() {
    if (!bus_ || bus_->isConnected())
        return {};
    return QStringLiteral("no D-Bus session bus: ") + bus_->lastError().message().simplified();
}

DBusPeer::DBusPeer(SessionBus& bus, const QString& service, const QString& who,
                   QDeadlineTimer deadline)
    : bus_(bus), service_(service), who_(who), deadline_(deadline) {}

std::optional<bool> DBusPeer::running() {
    if (!bus_.connection().isConnected())
        return false; // told once for all of them: SessionBus::failure()
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << service_;
    const std::optional<QVariant> owned = send(ask);
    if (owned && owned->metaType() != QMetaType::fromType<bool>()) {
        error_ = QStringLiteral("unexpected reply from the D-Bus session bus");
        return std::nullopt;
    }
    return owned ? std::optional<bool>(owned->toBool()) : std::nullopt;
}

std::optional<QVariant> DBusPeer::call(const QString& path, const QString& interface,
                                       const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service_, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    std::optional<QVariant> result = send(message);
    if (!result) {
        // A client that crashed or quit while it carried the call out has not taken the
        // text, whatever the bus said.
        const QString why = error_;
        error_ = running() == false ? QStringLiteral("%1 quit or crashed during the call").arg(who_)
                                    : why;
    }
    return result;
}

std::optional<QVariant> DBusPeer::send(QDBusMessage message) {
    const int remaining = int(qMax<qint64>(1, deadline_.remainingTime()));
    const QDBusMessage reply = bus_.connection().call(message, QDBus::Block, remaining);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply.arguments().value(0);
    const QString name = errorName_ = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::NoReply) ||
        name == QDBusError::errorString(QDBusError::Timeout))
        error_ = QStringLiteral("%1 did not answer in time").arg(who_);
    else if (name == QDBusError::errorString(QDBusError::ServiceUnknown))
        error_ = QStringLiteral("%1 left the D-Bus session bus").arg(who_);
    else
        error_ = QStringLiteral("%1: D-Bus error %2: %3")
                     .arg(who_, name, reply.errorMessage().simplified());
    return std::nullopt;
}

} // namespace bridge
