#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Storage {
namespace {

// access() lets root write anything; a file or folder with no write bit at all is the
// user's way of saying "keep this as it is", so that marking is honoured for root too.
bool MarkedWritable(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) != 0 || (status.st_mode & 0222) == 0)
        return false;
    return ::access(native.constData(), W_OK) == 0;
}

bool EnsureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir() && MarkedWritable(folder);
    const QString parent = info.absolutePath();
    return parent != folder && EnsureFolder(parent) && QDir().mkdir(folder);
}

} // namespace

bool ReplaceFile(const QString& path, const QByteArray& content) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const bool exists = info.exists();
    const QString target = exists ? info.canonicalFilePath() : info.absoluteFilePath();
    if (exists && !(info.isFile() && MarkedWritable(target)))
        return false;
    if (!EnsureFolder(QFileInfo(target).absolutePath()))
        return false;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false; // the unfinished temporary file goes with `file`
    return file.commit();
}

bool OpenRegularFile(const QString& path, QFile& file) {
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

} // namespace Storage
