#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {
namespace {

// access() lets root write anything; a file or folder with no write bit at all is the
// user's way of saying "keep this as it is", so that marking is honoured for root too.
bool markedWritable(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) != 0 || (status.st_mode & 0222) == 0)
        return false;
    return ::access(native.constData(), W_OK) == 0;
}

bool ensureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir() && markedWritable(folder);
    const QString parent = info.absolutePath();
    return parent != folder && ensureFolder(parent) && QDir().mkdir(folder);
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& content) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const bool exists = info.exists();
    const QString target = exists ? info.canonicalFilePath() : info.absoluteFilePath();
    // A file the user can't read was never loaded, so a save would replace what it holds
    // with what the program has: nothing of it.
    if (exists && !(info.isFile() && markedWritable(target) &&
                    ::access(QFile::encodeName(target).constData(), R_OK) == 0))
        return false;
    if (!ensureFolder(QFileInfo(target).absolutePath()))
        return false;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false; // the unfinished temporary file goes with `file`
    return file.commit();
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
