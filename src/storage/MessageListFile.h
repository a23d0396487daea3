// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace storage {

struct LoadedList {
    QStringList entries;
    QByteArray rest;       // the lines past the list's room, as they are in the file
    bool complete = false; // the file was opened and read to its end
};

// One entry per line of the file, in file order, at most `room` of them. Lines end at LF;
// a CR before the LF and the file's byte-order mark are not text; a file that starts with a
// UTF-16 mark is read as UTF-16. Calls `betweenBatches` every few milliseconds while it
// reads, so that the caller's timers keep running.
LoadedList loadMessageList(const QString& path, int room,
                           const std::function<void()>& betweenBatches = {});

// Writes every entry followed by CR LF, as UTF-8, then `rest` as it is, replacing the file
// atomically: the old file stays exactly as it was unless every byte was written. Returns
// why the file could not be written, or an empty string.
[[nodiscard]] QString saveMessageList(const QString& path, const QStringList& entries,
                                      const QByteArray& rest = {});

} // namespace storage
