#include "AimUrl.h"

#include <array>

namespace Bridge {

namespace {

constexpr qsizetype kShownCommandLength = 40;

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. Its five unassigned bytes keep their
// C1 code points, as Windows maps them.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromCp1252(uchar byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252From80[byte - 0x80];
    return byte;
}

struct Utf8Lead {
    qsizetype length;
    char32_t bits;
    char32_t smallest; // anything below is an overlong form
};

std::optional<Utf8Lead> LeadOf(uchar byte) {
    if (byte < 0x80)
        return Utf8Lead{1, byte, 0};
    if ((byte & 0xE0) == 0xC0)
        return Utf8Lead{2, char32_t(byte & 0x1F), 0x80};
    if ((byte & 0xF0) == 0xE0)
        return Utf8Lead{3, char32_t(byte & 0x0F), 0x800};
    if ((byte & 0xF8) == 0xF0)
        return Utf8Lead{4, char32_t(byte & 0x07), 0x10000};
    return std::nullopt;
}

struct Utf8Sequence {
    char32_t codePoint;
    qsizetype length;
};

// The well-formed UTF-8 sequence that starts the bytes, if any.
std::optional<Utf8Sequence> Utf8At(QByteArrayView bytes) {
    const std::optional<Utf8Lead> lead = LeadOf(uchar(bytes.front()));
    if (!lead || bytes.size() < lead->length)
        return std::nullopt;
    char32_t codePoint = lead->bits;
    for (qsizetype i = 1; i < lead->length; ++i) {
        const uchar next = uchar(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < lead->smallest || codePoint > 0x10FFFF || surrogate)
        return std::nullopt;
    return Utf8Sequence{codePoint, lead->length};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool SameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The value of the first parameter called name; a parameter without "=" has an empty value.
std::optional<QByteArrayView> ParameterValue(QByteArrayView query, QByteArrayView name) {
    qsizetype start = 0;
    while (start <= query.size()) {
        qsizetype end = query.indexOf('&', start);
        if (end < 0)
            end = query.size();
        const QByteArrayView parameter = query.sliced(start, end - start);
        const qsizetype equals = parameter.indexOf('=');
        if (SameName(equals < 0 ? parameter : parameter.first(equals), name))
            return equals < 0 ? QByteArrayView() : parameter.sliced(equals + 1);
        start = end + 1;
    }
    return std::nullopt;
}

// The command as it may appear in a one-line message.
QString Shown(QByteArrayView command) {
    QString shown = DecodeUtf8Or1252(command.first(qMin(command.size(), kShownCommandLength)));
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u'?';
    }
    return shown;
}

AwayRequest Failure(const QString& why) {
    return {QString(), why};
}

} // namespace

AwayRequest ParseAimUrl(QByteArrayView url) {
    const qsizetype colon = url.indexOf(':');
    if (colon < 0 || !SameName(url.first(colon), "aim"))
        return Failure(QStringLiteral("not an aim: URL"));
    QByteArrayView rest = url.sliced(colon + 1);
    if (const qsizetype hash = rest.indexOf('#'); hash >= 0)
        rest = rest.first(hash);
    const qsizetype question = rest.indexOf('?');
    const QByteArrayView command = question < 0 ? rest : rest.first(question);
    if (!SameName(command, "goaway"))
        return Failure(QStringLiteral("unsupported command aim:%1 (only aim:goaway is handled)")
                           .arg(Shown(command)));
    const std::optional<QByteArrayView> value =
        question < 0 ? std::nullopt : ParameterValue(rest.sliced(question + 1), "message");
    if (!value)
        return Failure(QStringLiteral("aim:goaway without a message parameter"));
    const std::optional<QByteArray> bytes = PercentDecode(*value);
    if (!bytes)
        return Failure(
            QStringLiteral("malformed aim: URL: a \"%\" not followed by two hex digits"));
    return {DecodeUtf8Or1252(*bytes), QString()};
}

std::optional<QByteArray> PercentDecode(QByteArrayView value) {
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '%') {
            bytes += c == '+' ? ' ' : c;
            continue;
        }
        const int high = i + 1 < value.size() ? HexDigit(value[i + 1]) : -1;
        const int low = i + 2 < value.size() ? HexDigit(value[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += char(high * 16 + low);
        i += 2;
    }
    return bytes;
}

QString DecodeUtf8Or1252(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (const std::optional<Utf8Sequence> sequence = Utf8At(bytes.sliced(i))) {
            text += QChar::fromUcs4(sequence->codePoint);
            i += sequence->length;
        } else {
            text += QChar(FromCp1252(uchar(bytes[i])));
            ++i;
        }
    }
    return text;
}

} // namespace Bridge
