#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QString>
#include <QVariant>

#include <optional>

namespace bridge {

// A running libpurple client (Pidgin, Finch) reached over D-Bus. Every call shares one
// deadline, so a frozen client costs no more than the time left until then.
class PurpleClient {
public:
    PurpleClient(const QDBusConnection& bus, QDeadlineTimer deadline);

    // Makes text the current away message, reusing the transient status that already holds
    // it so that repeated messages do not pile up saved statuses. Returns why it failed, or
    // an empty string.
    QString setAwayMessage(const QString& text);

private:
    std::optional<int> callForInt(const QString& method, const QVariantList& arguments);
    bool call(const QString& method, const QVariantList& arguments, QVariant* result = nullptr);

    QDBusConnection bus_;
    QDeadlineTimer deadline_;
    QString error_;
};

} // namespace bridge
