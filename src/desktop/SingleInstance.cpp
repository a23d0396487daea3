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

bool connectTo(const QString& socketPath) {
    sockaddr_un address;
    if (!toAddress(socketPath, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return connected; // the connection itself is the request
}

// Each place where the running copy may listen, until one answers.
bool askToShow(const QStringList& socketPaths) {
    QElapsedTimer waited;
    waited.start();
    do {
        for (const QString& path : socketPaths)
            if (connectTo(path))
                return true;
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
        ::close(lockFd_);
}

SingleInstance::Claim SingleInstance::claim() {
    problem_.clear();
    switch (lockProgramDir()) {
    case Outcome::Claimed:
        break;
    case Outcome::Busy:
        return askToShowAny() ? Claim::HandedOver : Claim::NotAnswering;
    case Outcome::Unusable:
        return Claim::NoLock;
    }
    // The socket goes where the next start looks first. Without one, later starts find the
    // lock and say that this copy does not answer.
    if (runtimeDir_.isEmpty() || !listen(runtimeSocketPath()))
        listen(folderSocketPath());
    return Claim::First;
}

// The lock is on the program folder itself: whatever runtime folder each copy sees, and
// whether or not it can write there, every copy on the folder meets the same one.
SingleInstance::Outcome SingleInstance::lockProgramDir() {
    if (!QDir().mkpath(programDir_)) {
        problem_ = programDir_ + QStringLiteral(": cannot create the folder");
        return Outcome::Unusable;
    }
    const int fd =
        ::open(QFile::encodeName(programDir_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (fd >= 0 && error == EWOULDBLOCK)
            return Outcome::Busy;
        problem_ = programDir_ + QStringLiteral(": cannot lock it: ") + systemError(error);
        return Outcome::Unusable;
    }
    lockFd_ = fd;
    return Outcome::Claimed;
}

bool SingleInstance::askToShowAny() const {
    QStringList sockets;
    if (!runtimeDir_.isEmpty())
        sockets << runtimeSocketPath();
    sockets << folderSocketPath();
    return askToShow(sockets);
}

QString SingleInstance::runtimeSocketPath() const {
    return runtimeDir_ + QLatin1Char('/') + name_;
}

QString SingleInstance::folderSocketPath() const {
    return programDir_ + QStringLiteral("/.pellory");
}

bool SingleInstance::listen(const QString& socketPath) {
    sockaddr_un address;
    if (!toAddress(socketPath, address)) // longer than a socket address holds
        return false;
    ::unlink(address.sun_path); // left by a copy that was killed; the lock says none listens
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
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
