// SPDX-License-Identifier: MIT
#pragma once

#include "Transports.h"

#include <QMap>

#include <mutex>

// Scripted answers for the messengers, from any thread. What was sent is kept in `sent`:
// one line per bus call ("method argument argument"), FIFO write and HTTP request.
struct FakeTransports final : bridge::Bus, bridge::ProcessTable, bridge::Http {
    bool busUp = true;
    // Per service (for NameHasOwner) or method: the replies in turn, the last one repeated.
    QMap<QString, QList<bridge::BusReply>> replies;
    std::vector<bridge::Process> running;
    QMap<QString, std::pair<dev_t, ino_t>> files;
    QString fifoError;
    bridge::HttpReply httpReply;
    QStringList sent;
    std::mutex mutex;

    static bridge::BusReply error(const QString& name) { return {std::nullopt, name, "boom"}; }

    bool connected() override { return busUp; }
    QString failure() override { return busUp ? QString() : "no D-Bus session bus: down"; }
    bridge::BusReply call(const QString&, const QString&, const QString&, const QString& method,
                          const QVariantList& arguments) override {
        const std::lock_guard lock(mutex);
        const bool asksOwner = method == "NameHasOwner";
        const QString key = asksOwner ? arguments.value(0).toString() : method;
        if (!asksOwner) {
            QStringList line{method};
            for (const QVariant& argument : arguments)
                line << argument.toString();
            sent << line.join(' ');
        }
        QList<bridge::BusReply>& script = replies[key];
        if (script.isEmpty() && (asksOwner || method == "ListNames")) // nobody else on the bus
            return {asksOwner ? QVariant(false) : QVariant(QStringList()), {}, {}};
        if (script.isEmpty() && method == "GetNameOwner") // each name its own process
            return {":1." + arguments.value(0).toString(), {}, {}};
        if (script.isEmpty())
            return error("org.freedesktop.DBus.Error.UnknownMethod");
        return script.size() > 1 ? script.takeFirst() : script.first();
    }
    std::vector<bridge::Process> processes() override { return running; }
    std::optional<std::pair<dev_t, ino_t>> identify(const QString& path) override {
        return files.contains(path) ? std::optional(files[path]) : std::nullopt;
    }
    QString writeFifo(const bridge::HeldFifo& fifo, const QByteArray& line) override {
        const std::lock_guard lock(mutex);
        sent << QString::fromUtf8(fifo.path + ' ' + line);
        return fifoError;
    }
    bridge::HttpReply send(const bridge::HttpRequest& request) override {
        const std::lock_guard lock(mutex);
        sent << QString::fromUtf8(request.method + ' ' + request.url.toEncoded() + ' ' +
                                  request.body);
        return httpReply;
    }
};
