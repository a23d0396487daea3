// SPDX-License-Identifier: MIT
// Any bytes, as Config.ini and as RandomMsgs.lst: each promise below holds.
#include "IniFile.h"
#include "MessageLimits.h"
#include "MessageListFile.h"
#include "TextDecoding.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// A broken promise is a crash to libFuzzer, which then keeps the input.
void require(bool kept, const char* promise) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

QString scratchFile(const QString& name, const QByteArray& bytes) {
    static const QTemporaryDir folder;
    QFile file(folder.filePath(name));
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "scratch file");
    return file.fileName();
}

// Each line as it is; a last line without LF may gain its line end when a line goes after
// it: CR LF, or only the LF when it ends in a lone CR.
QList<QByteArray> linesOf(const QByteArray& content) {
    if (content.isEmpty() || content.endsWith('\n'))
        return content.split('\n');
    return (content + (content.endsWith('\r') ? "\n" : "\r\n")).split('\n');
}

// A key reads alike from the file and from its text (a UTF-16 file's in UTF-8), at most 254
// whole characters, and writing it keeps every other line of that text, in order. A file
// marked as UTF-16 whose text would not come back byte for byte is refused and stays as it was.
void checkSettings(const QByteArray& content) {
    const QString path = scratchFile(QStringLiteral("Config.ini"), content);
    const engine::Utf8Bytes text = engine::asUtf8(content);
    const bool exact = !text.utf16 || engine::inFileEncoding(text.bytes, text.utf16) == content;
    const QStringList keys = {"Load/Save", "HideInTray", "FontTags", "PlaySound", "FontFace"};
    for (const QString& key : keys) {
        const QString value = storage::readIniValue(path, "Main", key);
        require(value.size() <= 254 && value.isValidUtf16(), "a value is at most 254 characters");
        require(value == storage::iniValue(text.bytes, "Main", key),
                "file and its text read alike");
    }
    const QString key = keys[qsizetype(qHash(content) % keys.size())];
    const QString value = QString::number(qHash(content) % 1000);
    const QString refused = storage::writeIniValues(path, "Main", {{key, value}});
    QFile written(path);
    require(written.open(QIODevice::ReadOnly), "the written file can be read");
    const QByteArray bytes = written.readAll();
    if (!refused.isEmpty() || !exact)
        return require(!refused.isEmpty() && !exact && bytes == content,
                       "exactly a file whose UTF-16 text would not come back is refused, and kept");
    require(storage::readIniValue(path, "Main", key) == value, "a written key reads back");
    const QList<QByteArray> now = linesOf(engine::asUtf8(bytes).bytes);
    qsizetype at = 0;
    for (const QByteArray& line : linesOf(text.bytes)) {
        const QByteArray name = line.split('=').first().trimmed(); // a line without '=' too
        if (QString::fromUtf8(name).compare(key, Qt::CaseInsensitive) == 0)
            continue;
        while (at < now.size() && now[at] != line)
            ++at;
        require(at++ < now.size(), "writing a key keeps every other line");
    }
}

// One entry per line, as many as there is room for, and what is saved loads back the same.
// Lines end at LF, one CR before it belongs to the line end, the file's UTF-8 mark is no
// text, a UTF-16 file reads as its text in UTF-8, and a last line without LF counts when it holds
// anything.
void checkMessageList(const QByteArray& content) {
    const QString path = scratchFile(QStringLiteral("RandomMsgs.lst"), content);
    const QByteArray text = engine::asUtf8(content).bytes; // a UTF-16 file as UTF-8
    QList<QByteArray> lines = (text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text).split('\n');
    const bool lastEnded = lines.last().isEmpty();
    if (lastEnded)
        lines.removeLast();
    QStringList expected;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool ended = lastEnded || i + 1 < lines.size();
        expected << engine::decodeUtf8Or1252(ended && lines[i].endsWith('\r') ? lines[i].chopped(1)
                                                                              : lines[i]);
    }
    const storage::LoadedList all = storage::loadMessageList(path, engine::kMaxMessages);
    require(all.entries == expected.mid(0, engine::kMaxMessages), "one entry per line");
    require(all.complete && all.rest.isEmpty() == (expected.size() <= engine::kMaxMessages),
            "the lines past the room are kept apart");
    // With little room, the lines left over go back into the file after the list's own.
    const int room = 1 + int(qHash(content) % 16);
    const storage::LoadedList some = storage::loadMessageList(path, room);
    require(some.entries == expected.mid(0, room), "as many lines as there is room for");
    require(storage::saveMessageList(path, some.entries, some.rest).isEmpty(), "a list is saved");
    require(storage::loadMessageList(path, 1 << 20).entries == expected,
            "a saved list with the lines left over loads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    checkSettings(content);
    checkMessageList(content);
    return 0;
}
