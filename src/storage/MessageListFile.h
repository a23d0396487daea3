#pragma once

#include <QString>
#include <QStringList>

namespace Misc {

// The list the file is read into and written from: the window's list box, or a plain
// container in tests.
class MessageList {
public:
    virtual ~MessageList() = default;
    virtual int count() const = 0;
    virtual QString entry(int index) const = 0;
    virtual void append(const QStringList& entries) = 0;
};

// Writes every entry followed by CR LF, as UTF-8, replacing the file atomically: the old
// file stays exactly as it was unless every line was written. An empty path does nothing.
void SaveMessageList(const QString& path, const MessageList& list);

// Appends one entry per line of the file, in file order, letting pending timer events run
// while it reads. Stops at the list's 32,767-entry limit or at a read error.
// True when every line of the file is now in the list; false when it couldn't be read, or
// read to its end, or the list filled up before the file ended.
bool LoadMessageList(const QString& path, MessageList& list);

// True for a regular file (or a link to one); false for anything else or on any error.
bool FileExists(const QString& path);

} // namespace Misc
