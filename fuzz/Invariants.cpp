#include "Invariants.h"

#include "Ini.h"
#include "MessageLimits.h"
#include "MessageListFile.h"
#include "TextDecoding.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <optional>

namespace Robust {
namespace {

constexpr qsizetype MaxValueLength = 254;
constexpr qsizetype MaxKeysRead = 24;
const QString MainSection = QStringLiteral("Main");
const QStringList ProgramKeys = {QStringLiteral("Load/Save"), QStringLiteral("HideInTray"),
                                 QStringLiteral("FontTags"),  QStringLiteral("PlaySound"),
                                 QStringLiteral("FontFace"),  QStringLiteral("FontSize")};
constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

struct SettingName {
    QString section;
    QString key;
};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A short, printable picture of a text for a failure message.
QString Shown(const QString& text) {
    QString shown;
    for (const QChar c : text.left(40))
        shown += c.isPrint() ? QString(c)
                             : QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QChar(u'0'));
    return u'"' + shown + (text.size() > 40 ? QStringLiteral("\"...") : QStringLiteral("\""));
}

quint32 Fnv1a(QByteArrayView bytes) {
    quint32 hash = 2166136261u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Each line with its line end; a last line without one counts too.
QList<QByteArrayView> RawLines(QByteArrayView all) {
    QList<QByteArrayView> lines;
    for (qsizetype begin = 0; begin < all.size();) {
        const qsizetype lf = all.indexOf('\n', begin);
        const qsizetype next = lf < 0 ? all.size() : lf + 1;
        lines.append(all.sliced(begin, next - begin));
        begin = next;
    }
    return lines;
}

QByteArrayView WithoutLineEnd(QByteArrayView line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QByteArrayView TrimBlanks(QByteArrayView text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

// The name a settings line gives, as the file format defines it: "[name" up to "]" for a
// section, the text before "=" for a key; blank and ";" lines give none.
enum class LineKind { Other, Section, Key };
LineKind NameOnLine(QByteArrayView line, QString& name) {
    const QByteArrayView text = TrimBlanks(WithoutLineEnd(line));
    if (text.isEmpty() || text.startsWith(';'))
        return LineKind::Other;
    if (text.startsWith('[')) {
        const QByteArrayView inner = text.sliced(1);
        const qsizetype close = inner.indexOf(']');
        name = Storage::DecodeText(TrimBlanks(close < 0 ? inner : inner.first(close)));
        return LineKind::Section;
    }
    const qsizetype equals = text.indexOf('=');
    name = Storage::DecodeText(TrimBlanks(equals < 0 ? text : text.first(equals)));
    return LineKind::Key;
}

// The program's own keys, then the first keys of the file's sections.
QList<SettingName> NamesToRead(const QByteArray& content) {
    QList<SettingName> names;
    for (const QString& key : ProgramKeys)
        names.append({MainSection, key});
    std::optional<QString> section;
    for (const QByteArrayView line : RawLines(content)) {
        if (names.size() >= ProgramKeys.size() + MaxKeysRead)
            break;
        QString name;
        const LineKind kind = NameOnLine(line, name);
        if (kind == LineKind::Section)
            section = name;
        else if (kind == LineKind::Key && section && !name.isEmpty())
            names.append({*section, name});
    }
    return names;
}

QStringList CheckRead(const QByteArray& content, const QString& path, const SettingName& name) {
    QStringList problems;
    const QString fromFile = Ini::ReadSetting(name.section, name.key, path);
    const QString fromBytes = Ini::ValueIn(content, name.section, name.key);
    const QString where = QStringLiteral("[%1] %2: ").arg(Shown(name.section), Shown(name.key));
    if (fromFile.size() > MaxValueLength)
        problems << where + QStringLiteral("read %1 characters").arg(fromFile.size());
    if (!fromFile.isValidUtf16())
        problems << where + QStringLiteral("read text that is not whole UTF-16");
    if (fromFile != fromBytes)
        problems << where + QStringLiteral("the file gives %1, its bytes %2")
                                .arg(Shown(fromFile), Shown(fromBytes));
    return problems;
}

// A last line without LF may gain CR LF when a line goes after it.
QByteArray WithLastLineEnded(const QByteArray& content) {
    return content.isEmpty() || content.endsWith('\n') ? content : content + "\r\n";
}

// After setting `key`, the file is the old one with at most the key's own line taken out
// and the new line (and, for a new section, its header) put in.
QStringList CheckOtherLinesKept(const QByteArray& before, const QByteArray& after,
                                const QString& key) {
    if (after == before)
        return {};
    const QByteArray oldEnded = WithLastLineEnded(before);
    const QByteArray nowEnded = WithLastLineEnded(after);
    const QList<QByteArrayView> old = RawLines(oldEnded);
    const QList<QByteArrayView> now = RawLines(nowEnded);
    const qsizetype shorter = std::min(old.size(), now.size());
    qsizetype prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (prefix + suffix < shorter &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const qsizetype removed = old.size() - prefix - suffix;
    const qsizetype added = now.size() - prefix - suffix;

    QStringList problems;
    if (removed > 1)
        problems << QStringLiteral("writing %1 changed %2 other lines, from line %3")
                        .arg(Shown(key))
                        .arg(removed - 1)
                        .arg(prefix + 1);
    if (removed == 1) {
        QString name;
        // The line as it was, before its line end was completed for comparing.
        if (NameOnLine(RawLines(before)[prefix], name) != LineKind::Key ||
            name.compare(key, Qt::CaseInsensitive) != 0)
            problems << QStringLiteral("writing %1 replaced line %2, which is not that key")
                            .arg(Shown(key))
                            .arg(prefix + 1);
    }
    if (added < 1 || added > (removed == 1 ? 1 : 2))
        problems << QStringLiteral("writing %1 put in %2 lines").arg(Shown(key)).arg(added);
    return problems;
}

// The list as the window holds it, possibly already holding `before` entries.
class CountedList final : public Misc::MessageList {
public:
    explicit CountedList(int before = 0) : before_(before) {}
    int count() const override { return before_ + int(added.size()); }
    QString entry(int index) const override {
        return index < before_ ? QStringLiteral("old") : added.at(index - before_);
    }
    void append(const QStringList& entries) override { added += entries; }
    QStringList added;

private:
    int before_;
};

// One entry per line as the list file defines it: lines end at LF, one CR before the LF
// belongs to the line end, the file's UTF-8 mark is no text, and a last line without LF
// counts when it holds anything.
QStringList EntriesOf(const QByteArray& content, qsizetype limit) {
    QByteArrayView rest(content);
    if (rest.startsWith(Utf8Bom))
        rest = rest.sliced(Utf8Bom.size());
    QStringList entries;
    qsizetype begin = 0;
    while (begin < rest.size() && entries.size() < limit) {
        const qsizetype lf = rest.indexOf('\n', begin);
        if (lf < 0) {
            entries.append(Storage::DecodeText(rest.sliced(begin)));
            break;
        }
        QByteArrayView line = rest.sliced(begin, lf - begin);
        if (line.endsWith('\r'))
            line.chop(1);
        entries.append(Storage::DecodeText(line));
        begin = lf + 1;
    }
    return entries;
}

QString FirstDifference(const QStringList& got, const QStringList& expected) {
    const qsizetype shorter = std::min(got.size(), expected.size());
    for (qsizetype i = 0; i < shorter; ++i) {
        if (got[i] != expected[i])
            return QStringLiteral("entry %1 is %2, expected %3")
                .arg(i)
                .arg(Shown(got[i]), Shown(expected[i]));
    }
    return QStringLiteral("%1 entries, expected %2").arg(got.size()).arg(expected.size());
}

} // namespace

QStringList CheckSettingsFile(const QByteArray& content, const QString& folder) {
    const QString path = folder + QStringLiteral("/Config.ini");
    if (!WriteFile(path, content))
        return {QStringLiteral("could not write the input to %1").arg(path)};

    QStringList problems;
    const QList<SettingName> names = NamesToRead(content);
    for (const SettingName& name : names)
        problems << CheckRead(content, path, name);

    const quint32 hash = Fnv1a(content);
    const SettingName& written = names[hash % names.size()];
    const QString value =
        hash % 4 == 0 ? QStringLiteral("v %1 w").arg(hash % 1000) : QString::number(hash % 100000);
    Ini::WriteSetting(written.section, written.key, value, path);
    const QByteArray after = ReadFile(path);
    problems << CheckOtherLinesKept(content, after, written.key);
    const QString readBack = Ini::ReadSetting(written.section, written.key, path);
    if (readBack != value)
        problems << QStringLiteral("[%1] %2 was set to %3 but reads %4")
                        .arg(Shown(written.section), Shown(written.key), Shown(value),
                             Shown(readBack));
    return problems;
}

QStringList CheckMessageListFile(const QByteArray& content, const QString& folder) {
    const QString path = folder + QStringLiteral("/RandomMsgs.lst");
    if (!WriteFile(path, content))
        return {QStringLiteral("could not write the input to %1").arg(path)};

    QStringList problems;
    const QStringList expected = EntriesOf(content, Engine::MaxMessages);
    CountedList loaded;
    Misc::LoadMessageList(path, loaded);
    if (loaded.count() > Engine::MaxMessages)
        problems << QStringLiteral("an empty list took %1 entries").arg(loaded.count());
    if (loaded.added != expected)
        problems << QStringLiteral("loading: ") + FirstDifference(loaded.added, expected);

    const int room = 1 + int(Fnv1a(content) % 16);
    CountedList nearlyFull(Engine::MaxMessages - room);
    Misc::LoadMessageList(path, nearlyFull);
    if (nearlyFull.count() > Engine::MaxMessages)
        problems << QStringLiteral("a list with room for %1 took %2")
                        .arg(room)
                        .arg(nearlyFull.added.size());
    if (nearlyFull.added != expected.first(std::min<qsizetype>(room, expected.size())))
        problems << QStringLiteral("loading into a nearly full list: ") +
                        FirstDifference(nearlyFull.added,
                                        expected.first(std::min<qsizetype>(room, expected.size())));

    const QString savedPath = folder + QStringLiteral("/Saved.lst");
    Misc::SaveMessageList(savedPath, loaded);
    CountedList reloaded;
    Misc::LoadMessageList(savedPath, reloaded);
    if (reloaded.added != loaded.added)
        problems << QStringLiteral("saving and loading again: ") +
                        FirstDifference(reloaded.added, loaded.added);
    return problems;
}

} // namespace Robust
