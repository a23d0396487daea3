// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <memory>

namespace bridge {

namespace {

// A running nheko whose setting expose_dbus_api is on: the plain text becomes the status
// message of its Matrix account.
class NhekoClient final : public DBusMessenger {
public:
    explicit NhekoClient(Bus& bus)
        : DBusMessenger(bus, QStringLiteral("im.nheko.Nheko"), QStringLiteral("nheko")) {}

private:
    QString deliver(const MessengerText& text) override {
        const bool done = peer_
                              .call(QStringLiteral("/"), QStringLiteral("im.nheko.Nheko"),
                                    QStringLiteral("setStatusMessage"), {text.plain()})
                              .has_value();
        return done ? QString() : peer_.error();
    }
};

} // namespace

std::unique_ptr<Messenger> makeNhekoClient(Transports& transports) {
    return std::make_unique<NhekoClient>(transports.bus);
}

} // namespace bridge
