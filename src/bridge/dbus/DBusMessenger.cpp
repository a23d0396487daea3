// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <QDBusError>
#include <QRegularExpression>

namespace bridge {

DBusPeer::DBusPeer(Bus& bus, const QString& service, const QString& who)
    : bus_(bus), service_(service), who_(who) {}

std::optional<bool> DBusPeer::running() {
    if (!bus_.connected())
        return false; // told once for all of them: Bus::failure()
    const std::optional<QVariant> owned =
        send(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {service_});
    if (owned && owned->metaType() != QMetaType::fromType<bool>()) {
        error_ = QStringLiteral("unexpected reply from the D-Bus session bus");
        return std::nullopt;
    }
    return owned ? std::optional<bool>(owned->toBool()) : std::nullopt;
}

std::optional<QVariant> DBusPeer::call(const QString& path, const QString& interface,
                                       const QString& method, const QVariantList& arguments) {
    std::optional<QVariant> result = send(service_, path, interface, method, arguments);
    if (!result) {
        // A client that crashed or quit while it carried the call out has not taken the
        // text, whatever the bus said.
        const QString why = error_;
        error_ = running() == false ? QStringLiteral("%1 quit or crashed during the call").arg(who_)
                                    : why;
    }
    return result;
}

std::optional<QVariant> DBusPeer::send(const QString& service, const QString& path,
                                       const QString& interface, const QString& method,
                                       const QVariantList& arguments) {
    const BusReply reply = bus_.call(service, path, interface, method, arguments);
    if (reply.value)
        return reply.value;
    const QString& name = errorName_ = reply.errorName;
    if (name == QDBusError::errorString(QDBusError::NoReply) ||
        name == QDBusError::errorString(QDBusError::Timeout))
        error_ = QStringLiteral("%1 did not answer in time").arg(who_);
    else if (name == QDBusError::errorString(QDBusError::ServiceUnknown))
        error_ = QStringLiteral("%1 left the D-Bus session bus").arg(who_);
    else
        error_ = QStringLiteral("%1: D-Bus error %2: %3")
                     .arg(who_, name, reply.errorMessage.simplified());
    return std::nullopt;
}

Delivery DBusMessenger::set(const Away& away) {
    const std::optional<bool> running = peer_.running();
    if (running == false)
        return {};
    const QString error = running ? deliver(away) : peer_.error();
    return error.isEmpty() ? Delivery{1, {}} : Delivery{0, {error}};
}

Readiness DBusMessenger::check() {
    const std::optional<bool> running = peer_.running();
    if (!running)
        return {false, peer_.error()};
    if (!*running)
        return {false, QStringLiteral("not running")};
    const QString why = whyNotReady();
    return why.isEmpty() ? Readiness{true, QStringLiteral("running; takes messages")}
                         : Readiness{false, QStringLiteral("running, but ") + why};
}

namespace {

class FunctionMessenger final : public DBusMessenger {
public:
    FunctionMessenger(Bus& bus, const QString& service, const QString& who, Deliver deliver,
                      std::optional<Offer> offer)
        : DBusMessenger(bus, service, who), deliver_(std::move(deliver)), offer_(std::move(offer)) {
    }

private:
    QString deliver(const Away& away) override { return deliver_(peer_, away); }
    QString whyNotReady() override {
        if (!offer_)
            return {};
        const std::optional<QVariant> xml =
            peer_.call(offer_->path, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                       QStringLiteral("Introspect"), {});
        // Either quote: Gajim's data uses single ones.
        const QRegularExpression method(QStringLiteral("name=[\"']%1[\"']").arg(offer_->method));
        return xml && xml->toString().contains(method) ? QString() : offer_->otherwise;
    }

    Deliver deliver_;
    std::optional<Offer> offer_;
};

} // namespace

std::unique_ptr<Messenger> makeDBusMessenger(Bus& bus, const QString& service, const QString& who,
                                             Deliver deliver, std::optional<Offer> offer) {
    return std::make_unique<FunctionMessenger>(bus, service, who, std::move(deliver),
                                               std::move(offer));
}

} // namespace bridge
