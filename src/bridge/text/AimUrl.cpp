// SPDX-License-Identifier: MIT
#include "text/AimUrl.h"

#include "text/MessengerText.h"

#include "TextDecoding.h"

namespace bridge {

namespace {

constexpr qsizetype kShownCommandLength = 40;

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The value of the first parameter called name; a parameter without "=" has an empty value.
std::optional<QByteArrayView> parameterValue(QByteArrayView query, QByteArrayView name) {
    qsizetype start = 0;
    while (start <= query.size()) {
        qsizetype end = query.indexOf('&', start);
        if (end < 0)
            end = query.size();
        const QByteArrayView parameter = query.sliced(start, end - start);
        const qsizetype equals = parameter.indexOf('=');
        if (sameName(equals < 0 ? parameter : parameter.first(equals), name))
            return equals < 0 ? QByteArrayView() : parameter.sliced(equals + 1);
        start = end + 1;
    }
    return std::nullopt;
}

// The command as it may appear in a one-line message.
QString shown(QByteArrayView command) {
    QString text =
        engine::decodeUtf8Or1252(command.first(qMin(command.size(), kShownCommandLength)));
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u'?';
    }
    return text;
}

AwayRequest failure(const QString& why) {
    return {QString(), why};
}

} // namespace

AwayRequest parseAimUrl(QByteArrayView url) {
    const qsizetype colon = url.indexOf(':');
    if (colon < 0 || !sameName(url.first(colon), "aim"))
        return failure(QStringLiteral("not an aim: URL"));
    // An aim: link has no fragment: senders write "#" raw, as in <font color="#ff0000">.
    const QByteArrayView rest = url.sliced(colon + 1);
    const qsizetype question = rest.indexOf('?');
    const QByteArrayView command = question < 0 ? rest : rest.first(question);
    if (!sameName(command, "goaway"))
        return failure(QStringLiteral("unsupported command aim:%1 (only aim:goaway is handled)")
                           .arg(shown(command)));
    const std::optional<QByteArrayView> value =
        question < 0 ? std::nullopt : parameterValue(rest.sliced(question + 1), "message");
    if (!value)
        return failure(QStringLiteral("aim:goaway without a message parameter"));
    const std::optional<QByteArray> bytes = percentDecode(*value);
    if (!bytes)
        return failure(
            QStringLiteral("malformed aim: URL: a \"%\" not followed by two hex digits"));
    return {engine::decodeUtf8Or1252(*bytes), QString()};
}

std::optional<QByteArray> percentDecode(QByteArrayView value) {
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '%') {
            bytes += c == '+' ? ' ' : c;
            continue;
        }
        const int high = i + 1 < value.size() ? hexValue(char16_t(uchar(value[i + 1]))) : -1;
        const int low = i + 2 < value.size() ? hexValue(char16_t(uchar(value[i + 2]))) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += char(high * 16 + low);
        i += 2;
    }
    return bytes;
}

} // namespace bridge
