// SPDX-License-Identifier: MIT
#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

QString replaceFile(const QString& path, const QByteArray& content) {
    if (path.isEmpty())
        return QStringLiteral("no file name");
    const QFileInfo info(path);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (const QString why = info.exists() ? whyKeep(info, target) : QString(); !why.isEmpty())
        return why;
    if (const QString why = ensureFolder(QFileInfo(target).absolutePath()); !why.isEmpty())
        return why;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    // Unbuffered and synced before the rename: a full disk shows at the write or the sync,
    // never as a short file put in the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(content) != content.size() || ::fsync(file.handle()) != 0) {
        const QString why =
            file.error() != QFileDevice::NoError ? file.errorString() : systemError();
        file.cancelWriting();
        return why;
    }
    return file.commit() ? QString() : file.errorString();
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
