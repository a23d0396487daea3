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
        if (batch_.size() >= room_ || sincePump_.elapsed() >= PumpIntervalMs)
            flush();
        return !full();
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

void ReadLines(QFile& file, LineCollector& lines) {
    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    QByteArray pending;
    for (;;) {
        const qint64 got = file.read(chunk.data(), ReadChunk);
        if (got < 0)
            return; // a read error ends the load; the unfinished line is dropped
        if (got == 0)
            break;
        pending.append(chunk.constData(), got);
        if (!TakeLines(pending, lines))
            return;
    }
    if (!pending.isEmpty())
        lines.add(pending); // no LF follows, so a CR at its end is a lone CR and stays
}

} // namespace

void SaveMessageList(const QString& path, const MessageList& list) {
    if (path.isEmpty())
        return;
    QByteArray bytes;
    const int count = list.count();
    for (int i = 0; i < count; ++i) {
        bytes += list.entry(i).toUtf8();
        bytes += "\r\n";
    }
    Storage::ReplaceFile(path, bytes);
}

void LoadMessageList(const QString& path, MessageList& list) {
    QFile file;
    LineCollector lines(list);
    if (lines.full() || !Storage::OpenRegularFile(path, file))
        return;
    ReadLines(file, lines);
    lines.flush();
    // Input held back while loading would otherwise wait for the next event to wake the loop.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

} // namespace Misc
