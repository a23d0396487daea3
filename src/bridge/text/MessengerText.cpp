// SPDX-License-Identifier: MIT
#include "text/MessengerText.h"

#include <QList>

namespace bridge {

namespace {

// A character XML can hold, which every status store and protocol here is made of.
bool isStorable(char32_t c) {
    return !isControl(c) && c != 0xFFFE && c != 0xFFFF && (c < 0xD800 || c > 0xDFFF) &&
           c <= 0x10FFFF;
}

// A decoded reference's character as markup: the five that markup gives a meaning to stay
// entities, so that a reference never opens a tag or an entity.
QString asMarkup(char32_t c) {
    switch (c) {
    case U'&':
        return QStringLiteral("&amp;");
    case U'<':
        return QStringLiteral("&lt;");
    case U'>':
        return QStringLiteral("&gt;");
    case U'"':
        return QStringLiteral("&quot;");
    case U'\'':
        return QStringLiteral("&apos;");
    }
    return QString::fromUcs4(&c, 1);
}

// A tag starts with a letter, "/" or "!" right after "<" and ends at the next ">", as
// libpurple reads it; its length, or 0 for a "<" that is text.
qsizetype tagLength(QStringView text, qsizetype at) {
    if (text[at] != u'<' || at + 1 >= text.size())
        return 0;
    const QChar first = text[at + 1];
    if (!first.isLetter() && first != u'/' && first != u'!')
        return 0;
    const qsizetype end = text.indexOf(u'>', at + 1);
    return end < 0 ? 0 : end - at + 1;
}

// A named entity such as "&amp;", kept whole: its length, or 0.
qsizetype namedEntityLength(QStringView text, qsizetype at) {
    constexpr qsizetype kLongestName = 8;
    qsizetype end = at + 1;
    while (end < text.size() && end - at <= kLongestName && text[end].isLetterOrNumber() &&
           text[end].unicode() < 0x80)
        ++end;
    return end > at + 1 && end < text.size() && text[end] == u';' ? end - at + 1 : 0;
}

// Builds the markup piece by piece; a piece that no longer fits ends it, so that nothing is
// cut inside a tag, an entity or a character.
class MarkupWriter {
public:
    bool add(const QString& piece) {
        const qsizetype bytes = piece.toUtf8().size();
        if (full_ || bytes_ + bytes > kMarkupBytes)
            return !(full_ = true);
        text_ += piece;
        bytes_ += bytes;
        return true;
    }
    QString take() { return std::move(text_); }

private:
    QString text_;
    qsizetype bytes_ = 0;
    bool full_ = false;
};

// One character or reference of the text at `at`, made safe; `inTag` turns line breaks into
// blanks instead of <br>. Returns how many code units it took.
qsizetype safePiece(QStringView text, qsizetype at, bool inTag, QString& piece) {
    const QChar c = text[at];
    if (c == u'&') {
        const std::optional<Reference> reference = numericReferenceAt(text, at);
        if (reference && isControl(reference->codePoint)) {
            // A reference to a line break or tab is white space in markup; to any other
            // control, nothing.
            piece = QChar::isSpace(reference->codePoint) ? QStringLiteral(" ") : QString();
            return reference->length;
        }
        if (reference && isStorable(reference->codePoint)) {
            piece = asMarkup(reference->codePoint);
            return reference->length;
        }
        // Any other "&" is text: escaped, so that it can't become a reference with what
        // follows once a dropped piece is gone ("&&#13;#13;").
        piece = QStringLiteral("&amp;");
        return 1;
    }
    if (c == u'\r' || c == u'\n') {
        piece = inTag ? QStringLiteral(" ") : QStringLiteral("<br>");
        return c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
    }
    if (c == u'\t') {
        piece = QStringLiteral(" ");
        return 1;
    }
    const bool pair = c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(c, text[at + 1]) : c.unicode();
    piece = isStorable(code) ? QString::fromUcs4(&code, 1) : QString();
    return pair ? 2 : 1;
}

QString safeTag(QStringView tag) {
    QString safe;
    QString piece;
    for (qsizetype at = 0; at < tag.size();) {
        at += safePiece(tag, at, true, piece);
        safe += piece;
    }
    return safe;
}

QString libpurpleMarkup(QStringView away) {
    MarkupWriter markup;
    QString piece;
    for (qsizetype at = 0; at < away.size();) {
        qsizetype taken = tagLength(away, at);
        if (taken > 0)
            piece = safeTag(away.sliced(at, taken));
        else if ((taken = away[at] == u'&' ? namedEntityLength(away, at) : 0) > 0)
            piece = away.sliced(at, taken).toString();
        else
            taken = safePiece(away, at, false, piece);
        if (!markup.add(piece))
            break;
        at += taken;
    }
    return markup.take();
}

// Drops every reference to a control character from plain text, also one that a removal
// brings together ("&&#13;#13;").
QString withoutControlReferences(QString text) {
    for (qsizetype at = text.indexOf(u'&'); at >= 0; at = text.indexOf(u'&', at + 1)) {
        const std::optional<Reference> reference = numericReferenceAt(text, at);
        if (reference && isControl(reference->codePoint)) {
            text.remove(at, reference->length);
            at = -1; // from the start again
        }
    }
    return text;
}

// ---- Plain text ----

constexpr qsizetype kLongestEntity = 10; // "&#x10FFFF;"

struct Entity {
    const char16_t* name;
    char32_t character;
};
constexpr Entity kNamedEntities[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                                     {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u'\u00a0'}};

// The character a reference at `at` stands for, with its length: a named entity of the
// table, or a numeric reference to a character.
std::optional<Reference> referenceAt(QStringView text, qsizetype at) {
    const qsizetype end = text.indexOf(u';', at + 1);
    for (const Entity& entity : kNamedEntities) {
        if (end > at && end - at <= kLongestEntity &&
            text.sliced(at + 1, end - at - 1) == QStringView(entity.name))
            return Reference{entity.character, end - at + 1};
    }
    const std::optional<Reference> numeric = numericReferenceAt(text, at);
    const quint32 c = numeric ? numeric->codePoint : 0;
    if (c != 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF)) // controls too: dropped later
        return numeric;
    return std::nullopt;
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
        if (const qsizetype tag = tagLength(markup, i); tag > 0) {
            if (breaksLine(markup.sliced(i + 1, tag - 2)))
                text += u'\n';
            i += tag - 1;
            continue;
        }
        if (markup[i] == u'&') {
            if (const std::optional<Reference> reference = referenceAt(markup, i)) {
                const char32_t c = reference->codePoint;
                text += QString::fromUcs4(&c, 1);
                i += reference->length - 1;
                continue;
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

std::optional<Reference> numericReferenceAt(QStringView text, qsizetype at) {
    if (!text.sliced(at).startsWith(u"&#"))
        return std::nullopt;
    qsizetype i = at + 2;
    bool negative = false;
    const auto skipBlanksAndSign = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
            negative ^= text[i++] == u'-';
    };
    skipBlanksAndSign();
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex) {
        ++i;
        skipBlanksAndSign(); // as scanf's "%x" after the "x", "0x" included
        if (text.sliced(i).startsWith(u"0x", Qt::CaseInsensitive) && i + 2 < text.size() &&
            hexValue(text[i + 2].unicode()) >= 0)
            i += 2;
    }
    quint32 value = 0;
    const qsizetype digits = i;
    for (int digit;
         i < text.size() && (digit = hexValue(text[i].unicode())) >= 0 && (hex || digit < 10); ++i)
        value = value * (hex ? 16 : 10) + quint32(digit);
    if (i == digits)
        return std::nullopt;
    if (i < text.size() && text[i] == u';')
        ++i;
    return Reference{negative ? 0u - value : value, i - at};
}

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

MessengerText messengerText(const QString& away) {
    QString plain = withoutControlReferences(ircAwayText(away)).simplified();
    if (plain.isEmpty())
        plain = QStringLiteral("Away");
    return MessengerText(libpurpleMarkup(away), std::move(plain));
}

} // namespace bridge
