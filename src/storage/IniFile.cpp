// SPDX-License-Identifier: MIT
#include "IniFile.h"

#include "FileAccess.h"
#include "TextDecoding.h"

#include <QFileInfo>
#include <QList>

#include <optional>

namespace storage {
namespace {

constexpr qsizetype kMaxValueLength = 254;

struct Line {
    QByteArrayView text; // without its line end
    qsizetype begin;
    qsizetype next; // where the following line begins
    bool ended;     // false for a last line without LF
};

struct KeyLine {
    QByteArrayView key;
    QByteArrayView value;
};

// Where a key is, or where it would go.
struct Place {
    qsizetype keyLine = -1;     // the first matching key line of any matching section
    qsizetype insertAfter = -1; // the last key line, or the header, of the first one
};

QByteArrayView trimBlanks(QByteArrayView text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

QList<Line> splitLines(const QByteArray& content) {
    QList<Line> lines;
    const QByteArrayView all(content);
    for (qsizetype begin = 0; begin < all.size();) {
        const qsizetype lf = all.indexOf('\n', begin);
        const qsizetype end = lf < 0 ? all.size() : lf;
        QByteArrayView text = all.sliced(begin, end - begin);
        if (text.endsWith('\r'))
            text.chop(1);
        lines.append({text, begin, lf < 0 ? end : lf + 1, lf >= 0});
        begin = lines.back().next;
    }
    return lines;
}

std::optional<QByteArrayView> sectionName(QByteArrayView text) {
    const QByteArrayView trimmed = trimBlanks(text);
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const QByteArrayView inner = trimmed.sliced(1);
    const qsizetype close = inner.indexOf(']');
    return trimBlanks(close < 0 ? inner : inner.first(close));
}

// Any non-blank line that is not a comment is a key line, even without "=".
std::optional<KeyLine> asKeyLine(QByteArrayView text) {
    const QByteArrayView trimmed = trimBlanks(text);
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0)
        return KeyLine{trimmed, {}};
    return KeyLine{trimBlanks(trimmed.first(equals)), trimBlanks(trimmed.sliced(equals + 1))};
}

bool sameName(QByteArrayView bytes, const QString& name) {
    return engine::decodeUtf8Or1252(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

Place findPlace(const QList<Line>& lines, const QString& section, const QString& key) {
    Place place;
    bool inSection = false;
    bool inFirst = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            inSection = sameName(*name, section);
            inFirst = inSection && place.insertAfter < 0;
            if (inFirst)
                place.insertAfter = i;
            continue;
        }
        const auto keyLine = inSection ? asKeyLine(lines[i].text) : std::nullopt;
        if (!keyLine)
            continue;
        if (inFirst)
            place.insertAfter = i;
        if (place.keyLine < 0 && sameName(keyLine->key, key))
            place.keyLine = i;
    }
    return place;
}

// What must go after a line so that another can follow it. A last line that ends in a lone
// CR only lacks its LF: adding CR LF there would leave a stray CR in its value.
QByteArrayView breakAfter(const QByteArray& content, const Line& line) {
    if (line.ended)
        return {};
    return content.endsWith('\r') ? QByteArrayView("\n") : QByteArrayView("\r\n");
}

QString limited(QString value) {
    if (value.size() <= kMaxValueLength)
        return value;
    const bool splitsPair = value.at(kMaxValueLength - 1).isHighSurrogate();
    value.truncate(splitsPair ? kMaxValueLength - 1 : kMaxValueLength);
    return value;
}

} // namespace

QString iniValue(const QByteArray& content, const QString& section, const QString& key) {
    const QList<Line> lines = splitLines(content);
    const Place place = findPlace(lines, section, key);
    if (place.keyLine < 0)
        return {};
    return limited(engine::decodeUtf8Or1252(asKeyLine(lines[place.keyLine].text)->value));
}

QByteArray withIniValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value) {
    const QList<Line> lines = splitLines(content);
    const Place place = findPlace(lines, section, key);
    const QByteArray tail = '=' + value.toUtf8() + "\r\n";
    QByteArray result = content;
    if (place.keyLine >= 0) {
        const Line& line = lines[place.keyLine];
        const KeyLine existing = *asKeyLine(line.text);
        // Writing back what a key already holds leaves the line, spacing and all, alone.
        if (existing.value == value.toUtf8())
            return content;
        const QByteArray spelling = existing.key.toByteArray();
        return result.replace(line.begin, line.next - line.begin, spelling + tail);
    }
    const QByteArray keyLine = key.toUtf8() + tail;
    if (place.insertAfter >= 0) {
        const Line& line = lines[place.insertAfter];
        return result.insert(line.next, breakAfter(content, line).toByteArray() + keyLine);
    }
    if (!lines.isEmpty())
        result += breakAfter(content, lines.back());
    return result + '[' + section.toUtf8() + "]\r\n" + keyLine;
}

QString readIniValue(const QString& path, const QString& section, const QString& key) {
    const std::optional<QByteArray> content = readRegularFile(path);
    return content ? iniValue(engine::asUtf8(*content).bytes, section, key) : QString();
}

QString writeIniValues(const QString& path, const QString& section, const IniValues& values) {
    // A file that is there but can't be read must not be replaced by one holding only
    // these keys.
    const std::optional<QByteArray> content =
        QFileInfo::exists(path) ? readRegularFile(path) : QByteArray();
    if (!content) {
        const QFileInfo info(path);
        return info.isDir()    ? QStringLiteral("it is a folder")
               : info.isFile() ? QStringLiteral("it can't be read")
                               : QStringLiteral("it is not a regular file");
    }
    // A file Notepad saved as UTF-16 is edited as text and stays UTF-16.
    const engine::Utf8Bytes text = engine::asUtf8(*content);
    // UTF-16 that is not valid (a lone half of a pair, an odd last byte) would come back
    // changed, in lines that are not ours too: such a file is left as it is.
    if (text.utf16 && engine::inFileEncoding(text.bytes, text.utf16) != *content)
        return QStringLiteral("it is not valid UTF-16");
    QByteArray updated = text.bytes;
    for (const auto& [key, value] : values)
        updated = withIniValue(updated, section, key, value);
    return updated == text.bytes ? QString()
                                 : replaceFile(path, engine::inFileEncoding(updated, text.utf16));
}

} // namespace storage
