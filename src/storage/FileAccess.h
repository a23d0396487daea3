// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace storage {

// Replaces the file's content as a whole through a temporary file in the same folder, and
// creates a missing folder. The file keeps its owner, group and mode. Unless every byte reached the
// disk, the old file stays exactly as it was. A file or folder without any write permission bit is
// left alone even by root, and so is a file the user can't read. Returns why the file could not be
// written, in a few words, or an empty string when it now holds the content.
// A private file is made mode 0600 from its creation on, whatever the old one had: a secret
// in it is never readable by others, not even for a moment.
enum class FileMode { AsBefore, Private };
[[nodiscard]] QString replaceFile(const QString& path, const QByteArray& content,
                                  FileMode mode = FileMode::AsBefore);

// Makes the folder if needed, with mode 0700, and checks that it is the user's own: a
// folder someone else owns or a link is refused. Why it cannot be used, or empty.
QString makePrivateFolder(const QString& folder);

// Removes the temporary files that saves of this file left when they were cut short (by a
// kill or a power cut) beside it, and nothing else.
void removeUnfinishedSaves(const QString& path);

// Opens a regular file, or a link to one, for reading. Never blocks on a FIFO or a device:
// anything that is not a regular file is refused.
bool openRegularFile(const QString& path, QFile& file);

// The whole content of a regular file; nothing when it can't be opened or read.
std::optional<QByteArray> readRegularFile(const QString& path);

// True for a regular file (or a link to one); false for anything else or on any error.
bool isRegularFile(const QString& path);

} // namespace storage
