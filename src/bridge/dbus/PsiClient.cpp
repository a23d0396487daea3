// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <memory>

namespace bridge {

namespace {

const QString kService = QStringLiteral("org.psi-im.Psi");

// Every running Psi or Psi+ profile. Each owns a bus name of its own, org.psi-im.Psi.PROFILE
// (the first also the plain name), and its setStatus changes every account of it that
// follows global actions. The text goes as typed.
class PsiClient final : public Messenger {
public:
    explicit PsiClient(Bus& bus) : bus_(bus) {}

    Delivery set(const Away& away) override {
        Delivery delivery;
        for (const QString& service : profiles(delivery)) {
            DBusPeer peer(bus_, service, QStringLiteral("Psi"));
            const QString error =
                peer.run(QStringLiteral("/Main"), QStringLiteral("org.psi_im.Psi.Main"),
                         QStringLiteral("setStatus"),
                         {away ? QStringLiteral("away") : QStringLiteral("online"),
                          away ? away->plain() : QString()});
            error.isEmpty() ? void(++delivery.taken) : void(delivery.failures << error);
        }
        return delivery;
    }

    Readiness check() override {
        Delivery failures;
        const QStringList running = profiles(failures);
        if (!failures.failures.isEmpty())
            return {false, failures.failures.constFirst()};
        return running.isEmpty()
                   ? Readiness{false, QStringLiteral("not running")}
                   : Readiness{true, QStringLiteral("running; takes messages (%1 profiles)")
                                         .arg(running.size())};
    }

private:
    // The bus names of the running profiles; the plain name alone for a Psi that has none.
    QStringList profiles(Delivery& delivery) {
        if (!bus_.connected())
            return {};
        const BusReply names = bus_.call(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"), {});
        if (!names.value) {
            delivery.failures << QStringLiteral(
                "Psi: the D-Bus session bus did not list its names");
            return {};
        }
        const QStringList all = names.value->toStringList();
        QStringList found, owners;
        for (const QString& name : all) {
            if (!name.startsWith(kService + u'.'))
                continue;
            // A profile may own more than one such name: each process is asked once.
            const BusReply owner = bus_.call(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"), {name});
            const QString process = owner.value ? owner.value->toString() : name;
            if (!owners.contains(process))
                found << name, owners << process;
        }
        if (found.isEmpty() && all.contains(kService))
            found << kService;
        return found;
    }

    Bus& bus_;
};

} // namespace

std::unique_ptr<Messenger> makePsiClient(Transports& transports) {
    return std::make_unique<PsiClient>(transports.bus);
}

} // namespace bridge
