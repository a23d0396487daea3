// SPDX-License-Identifier: MIT
#include "Numbers.h"

#include <limits>

namespace engine {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QStringView trimmedBlanks(QStringView s) {
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// Rounds digits "whole.fraction" to the nearest integer, halves to even, by looking at the
// digits themselves so that no binary fraction blurs a half.
bool roundsUp(QStringView fraction, int lastWholeDigit) {
    if (fraction.isEmpty() || fraction.front() < u'5')
        return false;
    if (fraction.front() > u'5')
        return true;
    for (const QChar c : fraction.mid(1))
        if (c != u'0')
            return true;
    return lastWholeDigit % 2 == 1;
}

} // namespace

std::optional<qint16> parseInt16(const QString& text) {
    QStringView s = trimmedBlanks(text);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    const qsizetype point = s.indexOf(u'.');
    const QStringView whole = point < 0 ? s : s.left(point);
    const QStringView fraction = point < 0 ? QStringView() : s.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    for (const QStringView part : {whole, fraction})
        for (const QChar c : part)
            if (!isDigit(c))
                return std::nullopt;

    qint64 value = 0;
    for (const QChar c : whole) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > 100000)
            return std::nullopt;
    }
    if (roundsUp(fraction, static_cast<int>(value % 10)))
        ++value;
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

} // namespace engine
