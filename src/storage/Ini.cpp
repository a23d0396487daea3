#include "Ini.h"

#include "FileAccess.h"
#include "TextDecoding.h"

#include <QFileInfo>
#include <QList>

#include <optional>

namespace Ini {
namespace {

constexpr qsizetype MaxValueLength = 254;

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

QByteArrayView TrimBlanks(QByteArrayView text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

QList<Line> SplitLines(const QByteArray& content) {
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

std::optional<QByteArrayView> SectionName(QByteArrayView text) {
    const QByteArrayView trimmed = TrimBlanks(text);
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const QByteArrayView inner = trimmed.sliced(1);
    const qsizetype close = inner.indexOf(']');
    return TrimBlanks(close < 0 ? inner : inner.first(close));
}

// Any non-blank line that is not a comment is a key line, even without "=".
std::optional<KeyLine> AsKeyLine(QByteArrayView text) {
    const QByteArrayView trimmed = TrimBlanks(text);
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0)
        return KeyLine{trimmed, {}};
    return KeyLine{TrimBlanks(trimmed.first(equals)), TrimBlanks(trimmed.sliced(equals + 1))};
}

bool SameName(QByteArrayView bytes, const QString& name) {
    return Storage::DecodeText(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

Place Find(const QList<Line>& lines, const QString& section, const QString& key) {
    Place place;
    bool inSection = false;
    bool inFirst = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i].text)) {
            inSection = SameName(*name, section);
            inFirst = inSection && place.insertAfter < 0;
            if (inFirst)
                place.insertAfter = i;
            continue;
        }
        const auto keyLine = inSection ? AsKeyLine(lines[i].text) : std::nullopt;
        if (!keyLine)
            continue;
        if (inFirst)
            place.insertAfter = i;
        if (place.keyLine < 0 && SameName(keyLine->key, key))
            place.keyLine = i;
    }
    return place;
}

QString Limited(QString value) {
    if (value.size() <= MaxValueLength)
        return value;
    const bool splitsPair = value.at(MaxValueLength - 1).isHighSurrogate();
    value.truncate(splitsPair ? MaxValueLength - 1 : MaxValueLength);
    return value;
}

std::optional<QByteArray> ReadWholeFile(const QString& path) {
    QFile file;
    if (!Storage::OpenRegularFile(path, file))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

} // namespace

QString ValueIn(const QByteArray& content, const QString& section, const QString& key) {
    const QList<Line> lines = SplitLines(content);
    const Place place = Find(lines, section, key);
    if (place.keyLine < 0)
        return {};
    return Limited(Storage::DecodeText(AsKeyLine(lines[place.keyLine].text)->value));
}

QByteArray WithValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value) {
    const QList<Line> lines = SplitLines(content);
    const Place place = Find(lines, section, key);
    const QByteArray tail = '=' + value.toUtf8() + "\r\n";
    QByteArray result = content;
    if (place.keyLine >= 0) {
        const Line& line = lines[place.keyLine];
        const KeyLine existing = *AsKeyLine(line.text);
        // Writing back what a key already holds leaves the line, spacing and all, alone.
        if (existing.value == value.toUtf8())
            return content;
        const QByteArray spelling = existing.key.toByteArray();
        return result.replace(line.begin, line.next - line.begin, spelling + tail);
    }
    const QByteArray keyLine = key.toUtf8() + tail;
    if (place.insertAfter >= 0) {
        const Line& line = lines[place.insertAfter];
        return result.insert(line.next, (line.ended ? QByteArray() : "\r\n") + keyLine);
    }
    if (!lines.isEmpty() && !lines.back().ended)
        result += "\r\n";
    return result + '[' + section.toUtf8() + "]\r\n" + keyLine;
}

QString ReadSetting(const QString& section, const QString& key, const QString& path) {
    const std::optional<QByteArray> content = ReadWholeFile(path);
    return content ? ValueIn(*content, section, key) : QString();
}

void WriteSetting(const QString& section, const QString& key, const QString& value,
                  const QString& path) {
    // A file that is there but can't be read must not be replaced by one holding only
    // this key.
    const std::optional<QByteArray> content =
        QFileInfo::exists(path) ? ReadWholeFile(path) : QByteArray();
    if (!content)
        return;
    const QByteArray updated = WithValue(*content, section, key, value);
    if (updated != *content)
        Storage::ReplaceFile(path, updated);
}

} // namespace Ini
