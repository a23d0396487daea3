// SPDX-License-Identifier: MIT
#pragma once

#include "Transports.h"

#include <QDBusConnection>
#include <QDeadlineTimer>

#include <mutex>

namespace bridge {

// The session bus, connected by the first messenger that needs it: connecting to a bus that
// never answers hangs, and must hold up only the messengers that use it.
class SessionBus final : public Bus {
public:
    explicit SessionBus(QDeadlineTimer deadline) : deadline_(deadline) {}
    bool connected() override;
    QString failure() override;
    BusReply call(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments) override;

private:
    QDBusConnection connection();

    QDeadlineTimer deadline_;
    std::once_flag connected_;
    std::optional<QDBusConnection> bus_;
};

// /proc, as this user may see it.
class ProcFs final : public ProcessTable {
public:
    std::vector<Process> processes() override;
    std::optional<std::pair<dev_t, ino_t>> identify(const QString& path) override;
    QString writeFifo(const HeldFifo& fifo, const QByteArray& line) override;
};

class NetworkHttp final : public Http {
public:
    explicit NetworkHttp(QDeadlineTimer deadline) : deadline_(deadline) {}
    HttpReply send(const HttpRequest& request) override;

private:
    QDeadlineTimer deadline_;
};

} // namespace bridge
