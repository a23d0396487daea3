// SPDX-License-Identifier: MIT
#include "PurpleClient.h"

namespace bridge {

namespace {

const QString kService = QStringLiteral("im.pidgin.purple.PurpleService");
const QString kObject = QStringLiteral("/im/pidgin/purple/PurpleObject");
const QString kInterface = QStringLiteral("im.pidgin.purple.PurpleInterface");

} // namespace

PurpleClient::PurpleClient(const SessionBus& bus, QDeadlineTimer deadline)
    : peer_(bus, kService, QStringLiteral("the libpurple client (Pidgin, Finch)"), deadline) {}

Delivery PurpleClient::setAway(const MessengerText& text) {
    const std::optional<bool> running = peer_.running();
    if (running == false)
        return {};
    const QString error = running ? activate(text.markup()) : peer_.error();
    return error.isEmpty() ? Delivery{1, {}} : Delivery{0, {error}};
}

QString PurpleClient::activate(const QString& markup) {
    const std::optional<int> away =
        callForInt(QStringLiteral("PurplePrimitiveGetTypeFromId"), {QStringLiteral("away")});
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
    // A client that crashed while it took the status in may have answered first: only one
    // that still answers, with that status current, has it.
    const std::optional<int> current =
        callForInt(QStringLiteral("PurpleSavedstatusGetCurrent"), {});
    if (!current)
        return error_;
    return current == status
               ? QString()
               : QStringLiteral("the libpurple client (Pidgin, Finch) did not keep the "
                                "away status");
}

std::optional<int> PurpleClient::callForInt(const QString& method, const QVariantList& arguments) {
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

bool PurpleClient::call(const QString& method, const QVariantList& arguments) {
    const bool done = peer_.call(kObject, kInterface, method, arguments).has_value();
    if (!done)
        error_ = peer_.error();
    return done;
}

} // namespace bridge
