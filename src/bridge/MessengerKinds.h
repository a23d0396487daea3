// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"
#include "Transports.h"

#include <QList>

#include <atomic>
#include <memory>

namespace bridge {

// One kind of messenger the bridge knows. --help lists them from here, and the install
// test checks that the README, the man page and the launcher name each one.
struct MessengerKind {
    QString id;
    QString name;      // as the user knows it
    QString reachedBy; // how the bridge reaches it
    QString setUp;     // what the user switches on, as one sentence
    std::unique_ptr<Messenger> (*make)(Transports& transports);
};

// Every kind, in the order their failures are told.
const QList<MessengerKind>& messengerKinds();

// Sets the away text, or the user back, on every kind side by side; each returns by the
// deadline. The failure lines include the bus's own, and one line when nothing runs at all.
// anyTaken turns true as soon as one client has taken it.
Delivery setEverywhere(const Away& away, Transports& transports, std::atomic<bool>& anyTaken);

// What --check prints: one line per kind, "NAME: STATE", and how many would take a message.
struct Readout {
    int ready = 0;
    QStringList lines;
};
// Looks at every kind side by side without changing any status.
Readout checkEverywhere(Transports& transports);

} // namespace bridge
