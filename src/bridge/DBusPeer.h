// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QString>
#include <QVariant>

#include <mutex>
#include <optional>

namespace bridge {

// The session bus, connected by the first messenger that needs it: connecting to a bus that
// never answers hangs, and must hold up only the messengers that use it.
class SessionBus {
public:
    QDBusConnection connection();
    // Why there is no bus, once a connection was tried and failed; empty otherwise.
    QString failure();

private:
    std::once_flag connected_;
    std::optional<QDBusConnection> bus_;
};

// One service on the session bus, called with every call ending by one shared deadline, so
// that a frozen client costs no more than the time left until then. Never starts the
// service: the bus would start a new HexChat, with its window, for a call to its name.
class DBusPeer {
public:
    // who names the client in messages, e.g. "HexChat".
    DBusPeer(SessionBus& bus, const QString& service, const QString& who, QDeadlineTimer deadline);

    // Whether the service runs now; nothing when the bus could not tell (see error()).
    std::optional<bool> running();

    // The call's first result (invalid when it has none), or nothing when it failed.
    std::optional<QVariant> call(const QString& path, const QString& interface,
                                 const QString& method, const QVariantList& arguments);

    // Why the last call failed: one line.
    const QString& error() const { return error_; }
    // The D-Bus name of the last call's error, such as org.freedesktop.DBus.Error.UnknownObject.
    const QString& errorName() const { return errorName_; }

private:
    std::optional<QVariant> send(QDBusMessage message);

    SessionBus& bus_;
    QString service_;
    QString who_;
    QDeadlineTimer deadline_;
    QString error_;
    QString errorName_;
};

} // namespace bridge
