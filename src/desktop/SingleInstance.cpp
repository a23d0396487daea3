// SPDX-License-Identifier: MIT
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <utility>

namespace desktop {
namespace {

// A copy that has just taken the lock needs a moment before it listens.
constexpr int kHandOverPatienceMs = 2000;
constexpr useconds_t kRetryIntervalUs = 20'000;

QString systemError(int error = errno) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// False when the path doesn't fit a socket address (about 107 bytes).
bool toAddress(const QString& path, sockaddr_un& address) {
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    return true;
}

bool askToShow(const QString& socketPath) {
    sockaddr_un address;
    if (!toAddress(socketPath, address))
        return false;
    QElapsedTimer waited;
    waited.start();
    do {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool connected =
            fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
        if (connected)
            return true; // the connection itself is the request
        ::usleep(kRetryIntervalUs);
    } while (!waited.hasExpired(kHandOverPatienceMs));
    return false;
}

} // namespace

SingleInstance::SingleInstance(const QString& programDir, const QString& runtimeDir,
                               QObject* parent)
    : QObject(parent), programDir_(QDir::cleanPath(programDir)), runtimeDir_(runtimeDir) {
    const QString canonical = QDir(programDir).canonicalPath();
    const QByteArray folder = QFile::encodeName(canonical.isEmpty() ? programDir_ : canonical);
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    name_ = QStringLiteral("pellory-") + QString::fromLatin1(hash.left(16));
}

SingleInstance::~SingleInstance() {
    if (listenFd_ >= 0) {
        notifier_.reset();
        ::unlink(QFile::encodeName(socketPath_).constData()); // still ours: the lock is held
        ::close(listenFd_);
    }
    if (lockFd_ >= 0)
        ::close(lockFd_); // the lock file stays: a file that nobody locks is harmless
}

SingleInstance::Claim SingleInstance::claim() {
    problem_.clear();
    Outcome outcome = Outcome::Unusable;
    // Qt gives no runtime folder when the one it finds is not the user's own. Without a
    // socket there, the program folder takes both, so that copies on it still find each other.
    if (!runtimeDir_.isEmpty())
        outcome = claimIn(runtimeDir_ + QLatin1Char('/') + name_, true);
    if (outcome == Outcome::Unusable && QDir().mkpath(programDir_))
        outcome = claimIn(programDir_ + QStringLiteral("/.pellory"), false);
    else if (outcome == Outcome::Unusable)
        problem_ += programDir_ + QStringLiteral(": cannot create the folder; ");
    switch (outcome) {
    case Outcome::Claimed:
        return Claim::First;
    case Outcome::Busy:
        return askToShow(socketPath_) ? Claim::HandedOver : Claim::NotAnswering;
    case Outcome::Unusable:
        break;
    }
    problem_.chop(2); // the last "; "
    return Claim::NoLock;
}

// The lock at pathBase.lock, the socket at pathBase. The program folder is the last place
// to try: a lock held there guards the folder even when no socket fits beside it.
SingleInstance::Outcome SingleInstance::claimIn(const QString& pathBase, bool socketRequired) {
    const QString lockPath = pathBase + QStringLiteral(".lock");
    const int fd = ::open(QFile::encodeName(lockPath).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const bool busy = fd >= 0 && error == EWOULDBLOCK;
        if (!busy)
            problem_ += lockPath + QStringLiteral(": ") + systemError(error) + QStringLiteral("; ");
        if (fd >= 0)
            ::close(fd);
        socketPath_ = pathBase;
        return busy ? Outcome::Busy : Outcome::Unusable;
    }
    lockFd_ = fd;
    if (listen(pathBase) || !socketRequired)
        return Outcome::Claimed;
    ::close(std::exchange(lockFd_, -1));
    return Outcome::Unusable;
}

bool SingleInstance::listen(const QString& socketPath) {
    sockaddr_un address;
    if (!toAddress(socketPath, address)) {
        problem_ += socketPath + QStringLiteral(": too long for a socket; ");
        return false;
    }
    ::unlink(address.sun_path); // left by a copy that was killed; the lock says none listens
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        problem_ += socketPath + QStringLiteral(": ") + systemError() + QStringLiteral("; ");
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    listenFd_ = fd;
    socketPath_ = socketPath;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptAll);
    return true;
}

void SingleInstance::acceptAll() {
    for (int other; (other = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(other);
        emit showRequested();
    }
}

} // namespace desktop
