#include "MessageListFile.h"

#include "FileAccess.h"
#include "MessageLimits.h"
#include "TextDecoding.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

namespace Misc {
namespace {

constexpr qint64 ReadChunk = 64 * 1024;
// Pumping for every line would cost more than the reading itself; every few milliseconds
// keeps the window's timers (the fastest ticks every 100 ms) running on time.
constexpr qint64 PumpIntervalMs = 4;
constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

// Turns the file's lines into entries and hands them to the list in batches, letting
// pending timer events run before each batch as they would between single lines.
class LineCollector {
public:
    explicit LineCollector(MessageList& list)
        : list_(list), room_(Engine::MaxMessages - list.count()) {
        sincePump_.start();
    }

    bool full() const { return room_ <= 0; }

    // False once the list can take no more entries.
    bool add(QByteArrayView line) {
        if (first_ && line.startsWith(Utf8Bom))
            line = line.sliced(Utf8Bom.size());
        first_ = false;
        batch_.append(Storage::DecodeText(line));
        // Reading the clock for every line would cost more than the line itself.
        const bool timeToPump = batch_.size() % 64 == 0 && sincePump_.elapsed() >= PumpIntervalMs;
        if (batch_.size() >= room_ || timeToPump)
            flush();
        return !full();
    }

    // The unfinished last line counts when it holds more than the file's UTF-8 mark.
    void addLast(QByteArrayView line) {
        if (!(first_ && line == Utf8Bom))
            add(line);
    }

    void flush() {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePump_.restart();
        // A handler that ran just now may have changed the list.
        room_ = Engine::MaxMessages - list_.count();
        batch_.resize(std::clamp<qsizetype>(room_, 0, batch_.size()));
        if (!batch_.isEmpty())
            list_.append(batch_);
        room_ -= batch_.size();
        batch_.clear();
    }

private:
    MessageList& list_;
    qsizetype room_;
    bool first_ = true;
    QStringList batch_;
    QElapsedTimer sincePump_;
};

QByteArrayView WithoutCr(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// Hands every complete line in `pending` to `lines` and keeps the unfinished rest.
bool TakeLines(QByteArray& pending, LineCollector& lines) {
    qsizetype start = 0;
    bool more = true;
    for (qsizetype end = 0; more && (end = pending.indexOf('\n', start)) >= 0; start = end + 1)
        more = lines.add(WithoutCr(QByteArrayView(pending).sliced(start, end - start)));
    pending.remove(0, start);
    return more;
}

// True when the whole file went into the list.
bool ReadLines(QFile& file, LineCollector& lines) {
    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    QByteArray pending;
    for (;;) {
        const qint64 got = file.read(chunk.data(), ReadChunk);
        if (got < 0)
            return false; // a read error ends the load; the unfinished line is dropped
        if (got == 0)
            break;
        pending.append(chunk.constData(), got);
        if (!TakeLines(pending, lines))
            return pending.isEmpty() && file.atEnd(); // full: whole only if nothing is left
    }
    if (pending.isEmpty())
        return true;
    if (lines.full())
        return false;
    lines.addLast(pending); // no LF follows, so a CR at its end is a lone CR and stays
    return true;
}

} // namespace

void SaveMessageList(const QString& path, const MessageList& list) {
    if (path.isEmpty())
        return;
    QByteArray bytes;
    const int count = list.count();
    // The reader takes a UTF-8 mark at the start for the file's own and drops it; a first
    // message that begins with U+FEFF gets such a mark in front, so that its own stays.
    if (count > 0 && list.entry(0).startsWith(QChar(0xFEFF)))
        bytes += Utf8Bom;
    for (int i = 0; i < count; ++i) {
        bytes += list.entry(i).toUtf8();
        bytes += "\r\n";
    }
    Storage::ReplaceFile(path, bytes);
}

bool LoadMessageList(const QString& path, MessageList& list) {
    QFile file;
    if (!Storage::OpenRegularFile(path, file))
        return false;
    LineCollector lines(list);
    const bool whole = lines.full() ? file.size() == 0 : ReadLines(file, lines);
    lines.flush();
    // Input held back while loading would otherwise wait for the next event to wake the loop.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
    return whole;
}

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

} // namespace Misc
