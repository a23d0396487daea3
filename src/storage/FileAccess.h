#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace Storage {

// Replaces the file's content as a whole through a temporary file in the same folder:
// unless every byte was written, the old file stays exactly as it was. Creates a missing
// folder. A file or folder without any write permission bit is left alone even by root.
// True when the file now holds the content.
bool ReplaceFile(const QString& path, const QByteArray& content);

// Opens a regular file, or a link to one, for reading. Never blocks on a FIFO or a device:
// anything that is not a regular file is refused.
bool OpenRegularFile(const QString& path, QFile& file);

} // namespace Storage
