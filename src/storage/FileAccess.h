#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace storage {

// Replaces the file's content as a whole through a temporary file in the same folder:
// unless every byte was written, the old file stays exactly as it was. Creates a missing
// folder. A file or folder without any write permission bit is left alone even by root,
// and so is a file the user can't read. True when the file now holds the content.
bool replaceFile(const QString& path, const QByteArray& content);

// Opens a regular file, or a link to one, for reading. Never blocks on a FIFO or a device:
// anything that is not a regular file is refused.
bool openRegularFile(const QString& path, QFile& file);

// The whole content of a regular file; nothing when it can't be opened or read.
std::optional<QByteArray> readRegularFile(const QString& path);

// True for a regular file (or a link to one); false for anything else or on any error.
bool isRegularFile(const QString& path);

} // namespace storage
