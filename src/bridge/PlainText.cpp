// SPDX-License-Identifier: MIT
#include "PlainText.h"

#include "MessengerText.h"

#include <QList>

#include <optional>

namespace bridge {

namespace {

constexpr qsizetype kLongestEntity = 10; // "&#x10FFFF;"

struct Entity {
    const char16_t* name;
    char16_t character;
};
constexpr Entity kNamedEntities[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                                     {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u'\u00a0'}};

// The character an entity body (between "&" and ";") stands for.
std::optional<char32_t> entityCharacter(QStringView body) {
    for (const Entity& entity : kNamedEntities) {
        if (body == QStringView(entity.name))
            return entity.character;
    }
    if (!body.startsWith(u'#'))
        return std::nullopt;
    const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
    bool ok = false;
    const uint code = body.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return char32_t(code);
}

// A tag starts with a letter, "/" or "!" right after "<" and ends at the next ">"; any
// other "<" is text. Returns the tag's text without "<" and ">", or nothing.
std::optional<QStringView> tagAt(QStringView text, qsizetype at) {
    if (at + 1 >= text.size())
        return std::nullopt;
    const QChar first = text[at + 1];
    if (!first.isLetter() && first != u'/' && first != u'!')
        return std::nullopt;
    const qsizetype end = text.indexOf(u'>', at + 1);
    if (end < 0)
        return std::nullopt;
    return text.sliced(at + 1, end - at - 1);
}

// Tags that begin a new line where they stand: <br>, <p>, <div>, <li> and their ends.
bool breaksLine(QStringView tag) {
    QStringView name = tag.startsWith(u'/') ? tag.sliced(1) : tag;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i].isSpace() || name[i] == u'/') {
            name.truncate(i);
            break;
        }
    }
    for (const char16_t* block : {u"br", u"p", u"div", u"li"}) {
        if (name.compare(QStringView(block), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Tags removed, entities decoded; white space and control characters still as they come.
QString withoutMarkup(QStringView markup) {
    QString text;
    text.reserve(markup.size());
    for (qsizetype i = 0; i < markup.size(); ++i) {
        if (markup[i] == u'<') {
            if (const std::optional<QStringView> tag = tagAt(markup, i)) {
                if (breaksLine(*tag))
                    text += u'\n';
                i += tag->size() + 1;
                continue;
            }
        } else if (markup[i] == u'&') {
            const qsizetype end = markup.indexOf(u';', i + 1);
            if (end > i && end - i <= kLongestEntity) {
                if (const std::optional<char32_t> c =
                        entityCharacter(markup.sliced(i + 1, end - i - 1))) {
                    text += QString::fromUcs4(&*c, 1);
                    i = end;
                    continue;
                }
            }
        }
        text += markup[i];
    }
    return text;
}

qsizetype utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

QString ircAwayText(const QString& markup) {
    QString text;
    qsizetype bytes = 0;
    bool blank = false;
    for (const char32_t c : withoutMarkup(markup).toUcs4()) {
        if (QChar::isSpace(c)) {
            blank = !text.isEmpty();
            continue;
        }
        if (isControl(c) || c == 0xFFFE || c == 0xFFFF) // not even XML can hold these
            continue;
        const qsizetype length = utf8Length(c) + (blank ? 1 : 0);
        if (bytes + length > kIrcAwayBytes)
            break;
        if (blank)
            text += u' ';
        text += QString::fromUcs4(&c, 1);
        bytes += length;
        blank = false;
    }
    return text.isEmpty() ? QStringLiteral("Away") : text;
}

} // namespace bridge
