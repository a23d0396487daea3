// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <memory>

namespace bridge {

namespace {

const QString kObject = QStringLiteral("/im/pidgin/purple/PurpleObject");
const QString kInterface = QStringLiteral("im.pidgin.purple.PurpleInterface");
const QString kWho = QStringLiteral("the libpurple client (Pidgin, Finch)");

// A running libpurple client (Pidgin, Finch). libpurple strips the markup itself where a
// protocol (IRC) shows it as typed, so it gets the markup. The text becomes the current
// away message (or an available status without one, to come back), reusing the transient status
// that already holds it so that repeated messages do not pile up saved statuses.
class PurpleClient final : public DBusMessenger {
public:
    explicit PurpleClient(Bus& bus)
        : DBusMessenger(bus, QStringLiteral("im.pidgin.purple.PurpleService"), kWho) {}

private:
    QString deliver(const Away& wanted) override {
        const QString primitive = wanted ? QStringLiteral("away") : QStringLiteral("available");
        const QString markup = wanted ? wanted->markup() : QString();
        const std::optional<int> away =
            callForInt(QStringLiteral("PurplePrimitiveGetTypeFromId"), {primitive});
        if (!away)
            return error_;
        std::optional<int> status = callForInt(
            QStringLiteral("PurpleSavedstatusFindTransientByTypeAndMessage"), {*away, markup});
        if (status == 0) {
            status = callForInt(QStringLiteral("PurpleSavedstatusNew"), {QString(), *away});
            if (status && !call(QStringLiteral("PurpleSavedstatusSetMessage"), {*status, markup}))
                return error_;
        }
        if (!status || !call(QStringLiteral("PurpleSavedstatusActivate"), {*status}))
            return error_;
        // A client that crashed while it took the status in may have answered first: only
        // one that still answers, with that status current, has it.
        const std::optional<int> current =
            callForInt(QStringLiteral("PurpleSavedstatusGetCurrent"), {});
        if (!current)
            return error_;
        return current == status
                   ? QString()
                   : kWho + QStringLiteral(" did not keep the %1 status").arg(primitive);
    }

    std::optional<int> callForInt(const QString& method, const QVariantList& arguments) {
        const std::optional<QVariant> result = peer_.call(kObject, kInterface, method, arguments);
        if (!result) {
            error_ = peer_.error();
            return std::nullopt;
        }
        if (result->metaType() != QMetaType::fromType<int>()) {
            error_ = QStringLiteral("unexpected reply to %1 from the libpurple client").arg(method);
            return std::nullopt;
        }
        return result->toInt();
    }

    bool call(const QString& method, const QVariantList& arguments) {
        const bool done = peer_.call(kObject, kInterface, method, arguments).has_value();
        if (!done)
            error_ = peer_.error();
        return done;
    }

    QString error_;
};

} // namespace

std::unique_ptr<Messenger> makePurpleClient(Transports& transports) {
    return std::make_unique<PurpleClient>(transports.bus);
}

} // namespace bridge
