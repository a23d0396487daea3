#include "PurpleClient.h"

#include <QDBusError>
#include <QDBusMessage>

namespace bridge {

namespace {

const QString kService = QStringLiteral("im.pidgin.purple.PurpleService");
const QString kObject = QStringLiteral("/im/pidgin/purple/PurpleObject");
const QString kInterface = QStringLiteral("im.pidgin.purple.PurpleInterface");

QString describeError(const QString& name, const QString& message) {
    if (name == QDBusError::errorString(QDBusError::ServiceUnknown) ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return QStringLiteral("no libpurple client (Pidgin, Finch) on the D-Bus session bus");
    if (name == QDBusError::errorString(QDBusError::NoReply) ||
        name == QDBusError::errorString(QDBusError::Timeout))
        return QStringLiteral("the libpurple client did not answer in time");
    return QStringLiteral("D-Bus error %1: %2").arg(name, message.simplified());
}

} // namespace

PurpleClient::PurpleClient(const QDBusConnection& bus, QDeadlineTimer deadline)
    : bus_(bus), deadline_(deadline) {}

QString PurpleClient::setAwayMessage(const QString& text) {
    if (!bus_.isConnected())
        return QStringLiteral("no D-Bus session bus: ") + bus_.lastError().message().simplified();
    const std::optional<int> away =
        callForInt(QStringLiteral("PurplePrimitiveGetTypeFromId"), {QStringLiteral("away")});
    if (!away)
        return error_;
    std::optional<int> status =
        callForInt(QStringLiteral("PurpleSavedstatusFindTransientByTypeAndMessage"), {*away, text});
    if (status == 0) {
        status = callForInt(QStringLiteral("PurpleSavedstatusNew"), {QString(), *away});
        if (status && !call(QStringLiteral("PurpleSavedstatusSetMessage"), {*status, text}))
            return error_;
    }
    if (!status || !call(QStringLiteral("PurpleSavedstatusActivate"), {*status}))
        return error_;
    return QString();
}

std::optional<int> PurpleClient::callForInt(const QString& method, const QVariantList& arguments) {
    QVariant result;
    if (!call(method, arguments, &result))
        return std::nullopt;
    if (result.metaType() != QMetaType::fromType<int>()) {
        error_ = QStringLiteral("unexpected reply to %1 from the libpurple client").arg(method);
        return std::nullopt;
    }
    return result.toInt();
}

bool PurpleClient::call(const QString& method, const QVariantList& arguments, QVariant* result) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kObject, kInterface, method);
    call.setArguments(arguments);
    // Starting a client through the bus could open windows and outlast the deadline.
    call.setAutoStartService(false);
    const int remaining = int(qMax<qint64>(1, deadline_.remainingTime()));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, remaining);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        error_ = describeError(reply.errorName(), reply.errorMessage());
        return false;
    }
    if (result)
        *result = reply.arguments().value(0);
    return true;
}

} // namespace bridge
