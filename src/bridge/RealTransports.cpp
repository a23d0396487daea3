// SPDX-License-Identifier: MIT
#include "RealTransports.h"

#include "matrix/MatrixHttp.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bridge {

// ---- The session bus ----

QDBusConnection SessionBus::connection() {
    std::call_once(connected_, [this] { bus_ = QDBusConnection::sessionBus(); });
    return *bus_;
}

bool SessionBus::connected() {
    return connection().isConnected();
}

QString SessionBus::failure() {
    if (!bus_ || bus_->isConnected())
        return {};
    return QStringLiteral("no D-Bus session bus: ") + bus_->lastError().message().simplified();
}

BusReply SessionBus::call(const QString& service, const QString& path, const QString& interface,
                          const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    const int remaining = int(qMax<qint64>(1, deadline_.remainingTime()));
    const QDBusMessage reply = connection().call(message, QDBus::Block, remaining);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {reply.arguments().value(0), {}, {}};
    return {std::nullopt, reply.errorName(), reply.errorMessage()};
}

// ---- /proc ----

namespace {

bool mine(const struct stat& status) {
    return status.st_uid == ::geteuid();
}

QByteArray linkTarget(const QByteArray& link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    return length > 0 ? QByteArray(target, length) : QByteArray();
}

QByteArray readSmallFile(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
}

// The entries of a folder that are numbers (processes in /proc, descriptors in fd), in order.
std::vector<long> numberedEntries(const QByteArray& folder) {
    std::vector<long> numbers;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.constData()), ::closedir);
    while (const dirent* entry = dir ? ::readdir(dir.get()) : nullptr) {
        char* end = nullptr;
        const long number = std::strtol(entry->d_name, &end, 10);
        if (*entry->d_name >= '0' && *entry->d_name <= '9' && *end == '\0')
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// Whether the process opened the descriptor for reading, as a client opens its own FIFO.
bool openForReading(const QByteArray& process, long fd) {
    const QByteArray info = readSmallFile(process + "/fdinfo/" + QByteArray::number(qlonglong(fd)));
    for (const QByteArray& line : info.split('\n')) {
        bool octal = false;
        const int flags = line.startsWith("flags:") ? line.mid(6).trimmed().toInt(&octal, 8) : 0;
        if (octal)
            return (flags & O_ACCMODE) != O_WRONLY;
    }
    return false;
}

// The FIFOs under a name that the process holds open for reading; pipes are passed over.
std::vector<HeldFifo> fifosRead(const QByteArray& process) {
    std::vector<HeldFifo> fifos;
    for (const long fd : numberedEntries(process + "/fd")) {
        const QByteArray link = process + "/fd/" + QByteArray::number(qlonglong(fd));
        struct stat status {};
        const QByteArray path = linkTarget(link);
        if (::stat(link.constData(), &status) == 0 && S_ISFIFO(status.st_mode) &&
            path.startsWith('/') && openForReading(process, fd))
            fifos.push_back({path, status.st_dev, status.st_ino});
    }
    return fifos;
}

} // namespace

std::vector<Process> ProcFs::processes() {
    std::vector<Process> all;
    for (const long pid : numberedEntries("/proc")) {
        const QByteArray process = "/proc/" + QByteArray::number(qlonglong(pid));
        struct stat owner {};
        if (::stat(process.constData(), &owner) != 0)
            continue;
        if (!mine(owner)) { // listed, but nothing of it read: it is never written to
            all.push_back({pid, owner.st_uid, {}, {}, {}});
            continue;
        }
        all.push_back({pid, owner.st_uid, QFile::decodeName(linkTarget(process + "/exe")),
                       readSmallFile(process + "/cmdline").split('\0'), fifosRead(process)});
    }
    return all;
}

std::optional<std::pair<dev_t, ino_t>> ProcFs::identify(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return std::pair(status.st_dev, status.st_ino);
}

QString ProcFs::writeFifo(const HeldFifo& fifo, const QByteArray& line) {
    // Non-blocking: opening a FIFO for writing otherwise waits for a reader, and a write to
    // a full one for room.
    const int fd = ::open(fifo.path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENXIO ? QStringLiteral("nothing reads it")
                              : QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    QString error;
    if (::fstat(fd, &status) != 0 || status.st_dev != fifo.device || status.st_ino != fifo.inode)
        error = QStringLiteral("no longer the FIFO it holds");
    else if (!mine(status))
        error = QStringLiteral("owned by another user");
    else if (::write(fd, line.constData(), size_t(line.size())) != line.size())
        error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return error;
}

// ---- HTTP ----

HttpReply NetworkHttp::send(const HttpRequest& request) {
    return sendRequest(request, deadline_);
}

} // namespace bridge
