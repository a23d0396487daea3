// SPDX-License-Identifier: MIT
#pragma once

#include "matrix/MatrixApi.h"

#include <QByteArrayList>
#include <QString>
#include <QVariant>

#include <optional>
#include <sys/types.h>
#include <vector>

namespace bridge {

// What a call on the session bus came to.
struct BusReply {
    std::optional<QVariant> value; // the first result (invalid when none); nothing on failure
    QString errorName;             // such as org.freedesktop.DBus.Error.NoReply
    QString errorMessage;
};

// The session bus as the messengers use it. Every call ends by the run's deadline, and no
// call starts a service: the bus would start a new HexChat, with its window, for a call to
// its name.
class Bus {
public:
    virtual ~Bus() = default;
    // False when there is no session bus; why is failure(), told once for all messengers.
    virtual bool connected() = 0;
    virtual QString failure() = 0;
    virtual BusReply call(const QString& service, const QString& path, const QString& interface,
                          const QString& method, const QVariantList& arguments) = 0;
};

// A FIFO a process holds open for reading, under a name.
struct HeldFifo {
    QByteArray path;
    dev_t device = 0;
    ino_t inode = 0;
};

// One running process, as the FIFO clients need to know it.
struct Process {
    long pid = 0;
    uint owner = 0;           // its user id
    QString executable;       // the target of /proc/PID/exe
    QByteArrayList arguments; // its command line
    std::vector<HeldFifo> fifosRead;
};

// The processes this user can see, and the FIFOs they read.
class ProcessTable {
public:
    virtual ~ProcessTable() = default;
    virtual std::vector<Process> processes() = 0;
    // The device and inode of the file at a path, following links; nothing when none.
    virtual std::optional<std::pair<dev_t, ino_t>> identify(const QString& path) = 0;
    // Writes the line in one piece, without waiting, if the file at the FIFO's path is still
    // that FIFO and this user's: why it could not, or empty.
    virtual QString writeFifo(const HeldFifo& fifo, const QByteArray& line) = 0;
};

// HTTPS to a homeserver, each call ending by the run's deadline.
class Http {
public:
    virtual ~Http() = default;
    virtual HttpReply send(const HttpRequest& request) = 0;
};

// Everything outside the bridge that a messenger reaches through.
struct Transports {
    Bus& bus;
    ProcessTable& processes;
    Http& http;
};

} // namespace bridge
