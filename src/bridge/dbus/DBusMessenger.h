// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"
#include "Transports.h"

#include <functional>
#include <memory>
#include <optional>

namespace bridge {

// One service on the session bus, each failed call told in one line that names the client.
class DBusPeer {
public:
    // who names the client in messages, e.g. "HexChat".
    DBusPeer(Bus& bus, const QString& service, const QString& who);

    // Whether the service runs now; nothing when the bus could not tell (see error()).
    std::optional<bool> running();

    // The call's first result (invalid when it has none), or nothing when it failed.
    std::optional<QVariant> call(const QString& path, const QString& interface,
                                 const QString& method, const QVariantList& arguments);

    // A call whose result does not matter: why it failed, or empty.
    QString run(const QString& path, const QString& interface, const QString& method,
                const QVariantList& arguments) {
        return call(path, interface, method, arguments) ? QString() : error();
    }

    // Why the last call failed: one line.
    const QString& error() const { return error_; }
    // The D-Bus name of the last call's error, such as org.freedesktop.DBus.Error.UnknownObject.
    const QString& errorName() const { return errorName_; }

private:
    std::optional<QVariant> send(const QString& service, const QString& path,
                                 const QString& interface, const QString& method,
                                 const QVariantList& arguments);

    Bus& bus_;
    QString service_;
    QString who_;
    QString error_;
    QString errorName_;
};

// A messenger reached over the session bus. A client that is not running neither took the
// text nor failed; when the bus cannot tell, that is its one failure.
class DBusMessenger : public Messenger {
public:
    DBusMessenger(Bus& bus, const QString& service, const QString& who)
        : peer_(bus, service, who) {}
    Delivery set(const Away& away) final;
    Readiness check() final;

protected:
    // Sets the away text or the user back on the running client: why it failed, or empty.
    virtual QString deliver(const Away& away) = 0;
    // Why the running client would not take a message, or empty.
    virtual QString whyNotReady() { return {}; }

    DBusPeer peer_;
};

// A D-Bus messenger whose delivery is one function: why it failed, or empty.
using Deliver = std::function<QString(DBusPeer& peer, const Away& away)>;
// What a running client offers when it would take messages: an object with a method, as
// its introspection data shows, and what to switch on when it lacks it.
struct Offer {
    QString path;
    QString method;
    QString otherwise;
};
std::unique_ptr<Messenger> makeDBusMessenger(Bus& bus, const QString& service, const QString& who,
                                             Deliver deliver, std::optional<Offer> offer = {});

} // namespace bridge
