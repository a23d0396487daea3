// SPDX-License-Identifier: MIT
#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {
namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// access() lets root write anything; a file or folder with no write bit at all is the
// user's way of saying "keep this as it is", so that marking is honoured for root too.
QString whyNotWritable(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) != 0 || ::access(native.constData(), W_OK) != 0)
        return systemError();
    return (status.st_mode & 0222) == 0 ? QStringLiteral("it is read-only") : QString();
}

QString ensureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir() ? whyNotWritable(folder) : folder + QStringLiteral(" is not a folder");
    const QString parent = info.absolutePath();
    if (parent == folder)
        return QStringLiteral("no folder to put it in");
    if (const QString why = ensureFolder(parent); !why.isEmpty())
        return why;
    return ::mkdir(QFile::encodeName(folder).constData(), 0777) == 0 ? QString() : systemError();
}

// Why the existing file must not be replaced, if anything speaks against it.
QString whyKeep(const QFileInfo& info, const QString& target) {
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    if (const QString why = whyNotWritable(target); !why.isEmpty())
        return why;
    // A file the user can't read was never loaded, so a save would replace what it holds
    // with what the program has: nothing of it.
    if (::access(QFile::encodeName(target).constData(), R_OK) != 0)
        return QStringLiteral("it can't be read, so its content would be lost");
    return {};
}

// A save writes "NAME.pellory-save-XXXXXX" beside the file and renames it over the file; a
// save that never got to the rename leaves it, and the next start knows it by its name.
constexpr char kUnfinishedMark[] = ".pellory-save-";
constexpr int kRandomLength = 6;

int createTemporary(const QByteArray& target, QByteArray& name, mode_t mode) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + kUnfinishedMark;
        for (int i = 0; i < kRandomLength; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A replaced file keeps its owner, group and mode, as an editor's save does: root saving
// over a user's file leaves it the user's. Only root may give a file away; anyone else's
// save keeps at least the group where they may.
bool takeOwnerAndMode(int fd, const QByteArray& target) {
    struct stat old {};
    if (::stat(target.constData(), &old) != 0)
        return errno == ENOENT; // a new file gets the usual mode
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)!::fchown(fd, uid_t(-1), old.st_gid);
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool writeAll(int fd, QByteArrayView content) {
    while (!content.isEmpty()) {
        const ssize_t written = ::write(fd, content.data(), size_t(content.size()));
        if (written < 0 && errno != EINTR)
            return false;
        content = content.sliced(std::max<ssize_t>(written, 0));
    }
    return true;
}

// The rename reaches the disk with the folder's entry.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString replaceFile(const QString& path, const QByteArray& content, FileMode mode) {
    if (path.isEmpty())
        return QStringLiteral("no file name");
    const QFileInfo info(path);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (const QString why = info.exists() ? whyKeep(info, target) : QString(); !why.isEmpty())
        return why;
    if (const QString why = ensureFolder(QFileInfo(target).absolutePath()); !why.isEmpty())
        return why;
    QByteArray temporary;
    const bool secret = mode == FileMode::Private;
    const int fd = createTemporary(QFile::encodeName(target), temporary, secret ? 0600 : 0666);
    if (fd < 0)
        return systemError();
    // Written whole and synced before the rename: a full disk shows at the write or the
    // sync, never as a short file put in the old one's place.
    const bool written = (secret || takeOwnerAndMode(fd, QFile::encodeName(target))) &&
                         writeAll(fd, content) && ::fsync(fd) == 0;
    const QString why = written ? QString() : systemError();
    if (::close(fd) != 0 || !written ||
        ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = why.isEmpty() ? systemError() : why;
        ::unlink(temporary.constData());
        return reason;
    }
    syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
    return {};
}

QString makePrivateFolder(const QString& folder) {
    QDir().mkpath(QFileInfo(folder).absolutePath());
    const QByteArray name = QFile::encodeName(folder);
    struct stat status {};
    if ((::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) ||
        ::lstat(name.constData(), &status) != 0)
        return QStringLiteral("cannot make the folder %1: %2").arg(folder, systemError());
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return QStringLiteral("%1 is not a folder of your own").arg(folder);
    if (::chmod(name.constData(), 0700) != 0)
        return QStringLiteral("cannot make %1 private: %2").arg(folder, systemError());
    return {};
}

void removeUnfinishedSaves(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo target(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QLatin1String(kUnfinishedMark) +
        QStringLiteral("[A-Za-z0-9]{%1}").arg(kRandomLength)));
    QDir folder = target.dir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names)
        if (leftover.match(name).hasMatch())
            folder.remove(name);
}

bool openRegularFile(const QString& path, QFile& file) {
    if (path.isEmpty())
        return false;
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it changes nothing
    // for a regular file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

std::optional<QByteArray> readRegularFile(const QString& path) {
    QFile file;
    if (!openRegularFile(path, file))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

bool isRegularFile(const QString& path) {
    return QFileInfo(path).isFile();
}

} // namespace storage
