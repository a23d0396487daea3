#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace storage {

struct LoadedList {
    QStringList entries;
    bool whole = false; // every line of the file is in `entries`
};

// One entry per line of the file, in file order, at most `room` of them. Lines end at LF;
// a CR before the LF and the file's UTF-8 mark are not text. Calls `betweenBatches` every
// few milliseconds while it reads, so that the caller's timers keep running. `whole` is
// false when the file couldn't be opened or read to its end, or held more than `room` lines.
LoadedList loadMessageList(const QString& path, int room,
                           const std::function<void()>& betweenBatches = {});

// Writes every entry followed by CR LF, as UTF-8, replacing the file atomically: the old
// file stays exactly as it was unless every line was written. True when it was written.
bool saveMessageList(const QString& path, const QStringList& entries);

} // namespace storage
