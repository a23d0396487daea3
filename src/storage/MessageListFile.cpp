// SPDX-License-Identifier: MIT
#include "MessageListFile.h"

#include "FileAccess.h"
#include "TextDecoding.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QStringEncoder>

#include <algorithm>

namespace storage {
namespace {

constexpr qint64 kReadChunk = 64 * 1024;
// Calling back for every line would cost more than the reading itself; every few
// milliseconds keeps a timer of the caller on time.
constexpr qint64 kCallbackIntervalMs = 4;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// Turns the file's lines into entries, up to the room the list has.
class LineCollector {
public:
    LineCollector(int room, const std::function<void()>& betweenBatches)
        : room_(room), betweenBatches_(betweenBatches) {
        sinceCallback_.start();
    }

    bool full() const { return entries_.size() >= room_; }
    QStringList take() { return std::move(entries_); }

    void add(QByteArrayView line) {
        if (entries_.isEmpty() && line.startsWith(kUtf8Bom))
            line = line.sliced(kUtf8Bom.size());
        entries_.append(engine::decodeUtf8Or1252(line));
        // Reading the clock for every line would cost more than the line itself.
        if (betweenBatches_ && entries_.size() % 64 == 0 &&
            sinceCallback_.elapsed() >= kCallbackIntervalMs) {
            betweenBatches_();
            sinceCallback_.restart();
        }
    }

    // The unfinished last line counts when it holds more than the file's UTF-8 mark.
    void addLast(QByteArrayView line) {
        if (!(entries_.isEmpty() && line == kUtf8Bom))
            add(line);
    }

private:
    qsizetype room_;
    const std::function<void()>& betweenBatches_;
    QStringList entries_;
    QElapsedTimer sinceCallback_;
};

QByteArrayView withoutCr(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// Hands every complete line in `pending` to `lines` while they have room, and keeps the
// rest. False once they have no more room.
bool takeLines(QByteArray& pending, LineCollector& lines) {
    qsizetype start = 0;
    for (qsizetype end; !lines.full() && (end = pending.indexOf('\n', start)) >= 0; start = end + 1)
        lines.add(withoutCr(QByteArrayView(pending).sliced(start, end - start)));
    pending.remove(0, start);
    return !lines.full();
}

// True when the file was read to its end; what the list had no room for is left in `rest`.
bool readLines(QIODevice& file, LineCollector& lines, QByteArray& rest) {
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    QByteArray pending;
    for (;;) {
        const qint64 got = file.read(chunk.data(), kReadChunk);
        if (got < 0)
            return false; // a read error ends the load
        if (got == 0)
            break;
        pending.append(chunk.constData(), got);
        if (!takeLines(pending, lines)) {
            rest = pending + file.readAll();
            return file.atEnd();
        }
    }
    if (!pending.isEmpty() && lines.full())
        rest = pending;
    else if (!pending.isEmpty())
        lines.addLast(pending); // no LF follows, so a CR at its end is a lone CR and stays
    return true;
}

} // namespace

LoadedList loadMessageList(const QString& path, int room,
                           const std::function<void()>& betweenBatches) {
    QFile file;
    if (!openRegularFile(path, file))
        return {};
    LineCollector lines(room, betweenBatches);
    LoadedList loaded;
    if (file.peek(2) == "\xFF\xFE" || file.peek(2) == "\xFE\xFF") {
        // UTF-16 is rare and small enough to convert as a whole, then read as UTF-8.
        QByteArray converted = engine::asUtf8(file.readAll()).bytes;
        QBuffer buffer(&converted);
        buffer.open(QIODevice::ReadOnly);
        loaded.complete = file.atEnd() && readLines(buffer, lines, loaded.rest);
    } else {
        loaded.complete = readLines(file, lines, loaded.rest);
    }
    loaded.entries = lines.take();
    return loaded;
}

QString saveMessageList(const QString& path, const QStringList& entries, const QByteArray& rest) {
    // One buffer, sized for the most UTF-8 can take (three bytes per UTF-16 unit), filled by
    // one encoder: a conversion per entry would allocate 32,767 times. Stateless, so that a
    // lone surrogate at an entry's end becomes U+FFFD there instead of pairing across lines.
    qsizetype most = kUtf8Bom.size() + rest.size();
    for (const QString& entry : entries)
        most += 3 * entry.size() + 2;
    QByteArray bytes(most, Qt::Uninitialized);
    char* out = bytes.data();
    // The reader takes a UTF-8 mark at the start for the file's own and drops it; a first
    // message that begins with U+FEFF gets such a mark in front, so that its own stays.
    if (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
        out = std::copy(kUtf8Bom.begin(), kUtf8Bom.end(), out);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    for (const QString& entry : entries) {
        out = utf8.appendToBuffer(out, entry);
        *out++ = '\r';
        *out++ = '\n';
    }
    out = std::copy(rest.begin(), rest.end(), out);
    bytes.truncate(out - bytes.constData());
    return replaceFile(path, bytes);
}

} // namespace storage
