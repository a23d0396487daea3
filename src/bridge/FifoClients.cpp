// SPDX-License-Identifier: MIT
#include "FifoClients.h"

#include "FifoClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bridge {

namespace {

bool mine(const struct stat& status) {
    return status.st_uid == ::geteuid();
}

QByteArray readAll(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
}

QByteArray linkTarget(const QByteArray& link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    return length > 0 ? QByteArray(target, length) : QByteArray();
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

// A FIFO a process holds open under a name; pipes without one are passed over.
struct HeldFifo {
    QByteArray path;
    dev_t device;
    ino_t inode;
};

// Whether the process opened the descriptor for reading, as a client opens its own FIFO;
// a FIFO it was handed at start, opened for writing, may be anyone's.
bool openForReading(const QByteArray& process, long fd) {
    QFile info(QFile::decodeName(process + "/fdinfo/" + QByteArray::number(qlonglong(fd))));
    if (!info.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : info.readAll().split('\n')) {
        bool octal = false;
        const int flags = line.startsWith("flags:") ? line.mid(6).trimmed().toInt(&octal, 8) : 0;
        if (octal)
            return (flags & O_ACCMODE) != O_WRONLY;
    }
    return false;
}

// mcabber's configuration as mcabber looks for it: named with -f, else in the config folder,
// else in the home folder.
QString mcabberFifoPath(const QByteArray& process) {
    const QString home = QDir::homePath();
    QStringList configs;
    const QByteArrayList arguments = readAll(process + "/cmdline").split('\0');
    if (const qsizetype at = arguments.indexOf("-f"); at >= 0 && at + 1 < arguments.size())
        configs += QFile::decodeName(arguments[at + 1]);
    else
        configs << QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) +
                       QStringLiteral("/mcabber/mcabberrc")
                << home + QStringLiteral("/.mcabber/mcabberrc")
                << home + QStringLiteral("/.mcabberrc");
    for (const QString& config : configs) {
        if (!QFileInfo::exists(config))
            continue;
        QString fifo = mcabberFifoSetting(readAll(QFile::encodeName(config)), home);
        if (!fifo.isEmpty() && QDir::isRelativePath(fifo)) // relative to where mcabber runs
            fifo = QFile::decodeName(process) + QStringLiteral("/cwd/") + fifo;
        return fifo;
    }
    return {};
}

// The FIFO the client opened to read its commands from; others it holds are left alone.
std::optional<HeldFifo> ownFifo(const QByteArray& process, FifoClient client) {
    struct stat configured {};
    if (client == FifoClient::Mcabber) {
        const QString path = mcabberFifoPath(process);
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &configured) != 0)
            return std::nullopt;
    }
    for (const long fd : numberedEntries(process + "/fd")) {
        const QByteArray link = process + "/fd/" + QByteArray::number(qlonglong(fd));
        struct stat status {};
        const QByteArray path = linkTarget(link);
        if (::stat(link.constData(), &status) != 0 || !S_ISFIFO(status.st_mode) ||
            !path.startsWith('/') || !openForReading(process, fd))
            continue;
        const bool own =
            client == FifoClient::WeeChat
                ? isWeechatFifoName(QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)))
                : status.st_dev == configured.st_dev && status.st_ino == configured.st_ino;
        if (own)
            return HeldFifo{path, status.st_dev, status.st_ino};
    }
    return std::nullopt;
}

// Writes line in one piece (it is shorter than PIPE_BUF) to the FIFO, if the file at its
// path is still that FIFO and this user's. Returns why it could not, or an empty string.
QString writeFifo(const HeldFifo& fifo, const QByteArray& line) {
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

} // namespace

Delivery FifoClients::setAway(const MessengerText& text) {
    Delivery delivery;
    QSet<std::pair<dev_t, ino_t>> reached; // a client's forked children hold its FIFO too
    for (const long pid : numberedEntries("/proc")) {
        const QByteArray process = "/proc/" + QByteArray::number(qlonglong(pid));
        struct stat owner {};
        if (::stat(process.constData(), &owner) != 0 || !mine(owner))
            continue;
        const std::optional<FifoClient> client =
            fifoClientOf(QFile::decodeName(linkTarget(process + "/exe")));
        if (!client)
            continue;
        const QString who = QStringLiteral("%1 (process %2)").arg(fifoClientName(*client)).arg(pid);
        const std::optional<HeldFifo> fifo = ownFifo(process, *client);
        if (!fifo) {
            delivery.failures += QStringLiteral("%1 has no FIFO of its own open (WeeChat: its "
                                                "fifo plugin; mcabber: `module load fifo` and "
                                                "`set fifo_name` in its mcabberrc)")
                                     .arg(who);
            continue;
        }
        if (reached.contains({fifo->device, fifo->inode}))
            continue;
        reached.insert({fifo->device, fifo->inode});
        const QString error = writeFifo(*fifo, fifoAwayLine(*client, text.plain()));
        if (error.isEmpty())
            ++delivery.taken;
        else
            delivery.failures +=
                QStringLiteral("%1's FIFO %2: %3").arg(who, QFile::decodeName(fifo->path), error);
    }
    return delivery;
}

} // namespace bridge
