// SPDX-License-Identifier: MIT
#include "fifo/FifoClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <unistd.h>

namespace bridge {

namespace {

std::optional<HeldFifo> weechatFifo(const Process& process, ProcessTable&) {
    for (const HeldFifo& fifo : process.fifosRead)
        if (isWeechatFifoName(QFile::decodeName(fifo.path.mid(fifo.path.lastIndexOf('/') + 1))))
            return fifo;
    return std::nullopt;
}

QByteArray readConfig(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(256 * 1024) : QByteArray();
}

// mcabber's configuration as mcabber looks for it: named with -f, else in the config folder,
// else in the home folder.
QString mcabberFifoPath(const Process& process) {
    const QString home = QDir::homePath();
    QStringList configs;
    if (const qsizetype at = process.arguments.indexOf("-f");
        at >= 0 && at + 1 < process.arguments.size())
        configs << QFile::decodeName(process.arguments[at + 1]);
    else
        configs << QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) +
                       QStringLiteral("/mcabber/mcabberrc")
                << home + QStringLiteral("/.mcabber/mcabberrc")
                << home + QStringLiteral("/.mcabberrc");
    for (const QString& config : configs) {
        if (!QFileInfo::exists(config))
            continue;
        QString fifo = mcabberFifoSetting(readConfig(config), home);
        if (!fifo.isEmpty() && QDir::isRelativePath(fifo)) // relative to where mcabber runs
            fifo = QStringLiteral("/proc/%1/cwd/").arg(process.pid) + fifo;
        return fifo;
    }
    return {};
}

std::optional<HeldFifo> mcabberFifo(const Process& process, ProcessTable& table) {
    const QString path = mcabberFifoPath(process);
    const auto configured = path.isEmpty() ? std::nullopt : table.identify(path);
    for (const HeldFifo& fifo : process.fifosRead)
        if (configured && fifo.device == configured->first && fifo.inode == configured->second)
            return fifo;
    return std::nullopt;
}

class FifoMessenger final : public Messenger {
public:
    FifoMessenger(const FifoClient& client, ProcessTable& table) : client_(client), table_(table) {}

    Delivery set(const Away& away) override {
        Delivery delivery;
        QSet<std::pair<dev_t, ino_t>> reached; // a client's forked children hold its FIFO too
        for (const Process& process : table_.processes()) {
            // Another user's process could be made to run what it is sent.
            if (process.owner != ::geteuid() || !runs(client_, process.executable))
                continue;
            const QString who =
                QStringLiteral("%1 (process %2)").arg(client_.name).arg(process.pid);
            const std::optional<HeldFifo> fifo = client_.ownFifo(process, table_);
            if (!fifo) {
                delivery.failures +=
                    QStringLiteral("%1 has no FIFO of its own open (%2)").arg(who, client_.setUp);
                continue;
            }
            if (reached.contains({fifo->device, fifo->inode}))
                continue;
            reached.insert({fifo->device, fifo->inode});
            const QByteArray line =
                away ? client_.awayCommand + away->plain().toUtf8() : client_.backCommand;
            const QString error = table_.writeFifo(*fifo, line + '\n');
            if (error.isEmpty())
                ++delivery.taken;
            else
                delivery.failures += QStringLiteral("%1's FIFO %2: %3")
                                         .arg(who, QFile::decodeName(fifo->path), error);
        }
        return delivery;
    }

    Readiness check() override {
        bool running = false;
        for (const Process& process : table_.processes()) {
            if (process.owner != ::geteuid() || !runs(client_, process.executable))
                continue;
            if (client_.ownFifo(process, table_))
                return {true, QStringLiteral("running; takes messages")};
            running = true;
        }
        return running
                   ? Readiness{false, QStringLiteral("running, but without a FIFO of its own: ") +
                                          client_.setUp}
                   : Readiness{false, QStringLiteral("not running")};
    }

private:
    const FifoClient& client_;
    ProcessTable& table_;
};

} // namespace

const FifoClient kWeeChat{{QStringLiteral("weechat"), QStringLiteral("weechat-headless")},
                          QStringLiteral("WeeChat"),
                          "*/away -all ",
                          "*/away -all",
                          QStringLiteral("its fifo plugin, on by default: /fifo enable"),
                          weechatFifo};
const FifoClient kMcabber{{QStringLiteral("mcabber")},
                          QStringLiteral("mcabber"),
                          "/status away ",
                          "/status online -", // "-" clears the message, else it stays
                          QStringLiteral("`module load fifo` and `set fifo_name` in its mcabberrc"),
                          mcabberFifo};

bool runs(const FifoClient& client, QString executable) {
    if (executable.endsWith(QLatin1String(" (deleted)")))
        executable.chop(10);
    return client.executables.contains(executable.section(u'/', -1));
}

bool isWeechatFifoName(QStringView fileName) {
    static const QRegularExpression form(QStringLiteral("^weechat_fifo(_[0-9]+)?$"));
    return form.match(fileName).hasMatch();
}

QString mcabberFifoSetting(const QByteArray& config, const QString& home) {
    static const QRegularExpression setting(
        QStringLiteral("^\\s*set\\s+fifo_name\\s*=\\s*(.*?)\\s*$"));
    QString path;
    for (const QByteArray& line : config.split('\n')) {
        const QRegularExpressionMatch match = setting.match(QString::fromUtf8(line));
        if (match.hasMatch())
            path = match.captured(1);
    }
    if (path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, home);
    return path;
}

std::unique_ptr<Messenger> makeFifoMessenger(const FifoClient& client, Transports& transports) {
    return std::make_unique<FifoMessenger>(client, transports.processes);
}

} // namespace bridge
