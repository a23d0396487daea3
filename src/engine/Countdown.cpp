#include "Countdown.h"

#include <algorithm>
#include <limits>

namespace Engine {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
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

std::optional<qint16> ToInt16(const QString& text) {
    QStringView s(text);
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
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

QString SubstituteMinutes(const QString& templateText, const QString& minutes) {
    QString result;
    result.reserve(templateText.size());
    qsizetype from = 0;
    for (qsizetype at; (at = templateText.indexOf(QLatin1String("%m"), from)) >= 0; from = at + 2) {
        result += QStringView(templateText).mid(from, at - from);
        result += minutes;
    }
    result += QStringView(templateText).mid(from);
    return result;
}

QString WithCrLf(const QString& text) {
    QString result = text;
    result.replace(u'\n', QLatin1String("\r\n"));
    return result;
}

CountdownStep CountdownTick(qint16 minutesLeft) {
    // Saturates instead of wrapping to 32767 at the bottom of the 16-bit range.
    const int next = std::max<int>(minutesLeft - 1, std::numeric_limits<qint16>::min());
    return {static_cast<qint16>(next), next <= 0};
}

} // namespace Engine
