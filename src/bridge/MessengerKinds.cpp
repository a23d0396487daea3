// SPDX-License-Identifier: MIT
#include "MessengerKinds.h"

#include "fifo/FifoClient.h"

#include <future>
#include <vector>

namespace bridge {

// Each in the file of its own kind.
std::unique_ptr<Messenger> makePurpleClient(Transports& transports);
std::unique_ptr<Messenger> makeHexchatClient(Transports& transports);
std::unique_ptr<Messenger> makeGajimClient(Transports& transports);
std::unique_ptr<Messenger> makeNhekoClient(Transports& transports);
std::unique_ptr<Messenger> makeKonversationClient(Transports& transports);
std::unique_ptr<Messenger> makePsiClient(Transports& transports);
std::unique_ptr<Messenger> makeMatrixPresence(Transports& transports);

namespace {

std::unique_ptr<Messenger> makeWeeChat(Transports& transports) {
    return makeFifoMessenger(kWeeChat, transports);
}

std::unique_ptr<Messenger> makeMcabber(Transports& transports) {
    return makeFifoMessenger(kMcabber, transports);
}

} // namespace

const QList<MessengerKind>& messengerKinds() {
    // clang-format off
    static const QList<MessengerKind> kinds{
        {"weechat", "WeeChat", "the FIFO of its fifo plugin", "Nothing: the fifo plugin is loaded by default.", makeWeeChat},
        {"mcabber", "mcabber", "the FIFO of its fifo module", "Add `module load fifo` and `set fifo_name = PATH` to its mcabberrc.", makeMcabber},
        {"purple", "Pidgin or Finch", "libpurple's D-Bus interface", "Nothing: Debian's libpurple has it built in.", makePurpleClient},
        {"hexchat", "HexChat", "its D-Bus remote interface", "Nothing: its D-Bus plugin is always loaded.", makeHexchatClient},
        {"gajim", "Gajim", "its D-Bus remote control", "Switch its setting remote_control on (Preferences, Advanced, Advanced Configuration Editor).", makeGajimClient},
        {"konversation", "Konversation", "its D-Bus interface", "Nothing: it is always on.", makeKonversationClient},
        {"psi", "Psi", "its D-Bus interface, every profile", "Nothing: it is always on; accounts set to ignore global actions keep their status.", makePsiClient},
        {"nheko", "nheko", "its D-Bus interface", "Set expose_dbus_api=true under [user] in nheko.conf.", makeNhekoClient},
        {"matrix", "Matrix", "the account's presence on its homeserver", "Log in once with pellory-aim-bridge --matrix-login.", makeMatrixPresence},
    };
    // clang-format on
    return kinds;
}

Delivery setEverywhere(const Away& away, Transports& transports, std::atomic<bool>& anyTaken) {
    std::vector<std::unique_ptr<Messenger>> messengers;
    QStringList names;
    for (const MessengerKind& kind : messengerKinds()) {
        messengers.push_back(kind.make(transports));
        names << kind.name;
    }
    std::vector<std::future<Delivery>> running;
    for (const auto& messenger : messengers)
        running.push_back(std::async(std::launch::async, [&messenger, &away, &anyTaken] {
            Delivery delivery = messenger->set(away);
            if (delivery.taken > 0)
                anyTaken = true;
            return delivery;
        }));
    Delivery delivery;
    for (std::future<Delivery>& each : running)
        delivery += each.get();
    if (const QString failure = transports.bus.failure(); !failure.isEmpty())
        delivery.failures += failure;
    if (delivery.taken == 0 && delivery.failures.isEmpty())
        delivery.failures +=
            QStringLiteral("no messenger is running (%1)").arg(names.join(QStringLiteral(", ")));
    return delivery;
}

Readout checkEverywhere(Transports& transports) {
    std::vector<std::future<Readiness>> running;
    for (const MessengerKind& kind : messengerKinds())
        running.push_back(std::async(
            std::launch::async, [&kind, &transports] { return kind.make(transports)->check(); }));
    Readout readout;
    for (qsizetype i = 0; i < messengerKinds().size(); ++i) {
        const Readiness readiness = running[size_t(i)].get();
        readout.ready += readiness.takes ? 1 : 0;
        readout.lines += messengerKinds()[i].name + QStringLiteral(": ") + readiness.state;
    }
    return readout;
}

} // namespace bridge
