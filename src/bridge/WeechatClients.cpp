// SPDX-License-Identifier: MIT
#include "WeechatClients.h"

#include "WeechatFifo.h"

#include <QDir>
#include <QSet>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bridge {

namespace {

bool processRunning(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Writes line to the FIFO at path in one piece (it is shorter than PIPE_BUF). Returns why
// it could not, or an empty string.
QString writeFifo(const QString& path, const QByteArray& line) {
    // Non-blocking: opening a FIFO for writing otherwise waits for a reader, and a write to
    // a full one for room.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENXIO ? QStringLiteral("nothing reads it")
                              : QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    QString error;
    if (::fstat(fd, &status) != 0 || !S_ISFIFO(status.st_mode))
        error = QStringLiteral("not a FIFO");
    else if (::write(fd, line.constData(), size_t(line.size())) != line.size())
        error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return error;
}

} // namespace

Delivery WeechatClients::setAway(const MessengerText& text) {
    const QByteArray line = weechatAwayLine(text.plain());
    Delivery delivery;
    QSet<qint64> reached;
    for (const QString& folder : weechatFifoFolders(QProcessEnvironment::systemEnvironment())) {
        const QDir dir(folder);
        for (const QString& name :
             dir.entryList({QStringLiteral("weechat_fifo_*")}, QDir::System)) {
            const qint64 pid = weechatFifoPid(name);
            if (pid == 0 || reached.contains(pid) || !processRunning(pid))
                continue;
            reached.insert(pid);
            const QString path = dir.filePath(name);
            if (const QString error = writeFifo(path, line); error.isEmpty())
                ++delivery.taken;
            else
                delivery.failures += QStringLiteral("WeeChat's FIFO %1: %2").arg(path, error);
        }
    }
    return delivery;
}

} // namespace bridge
