// SPDX-License-Identifier: MIT
#include "Countdown.h"

#include "Numbers.h"

#include <algorithm>
#include <limits>

namespace engine {

QString substituteMinutes(const QString& templateText, const QString& minutes) {
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

QString withCrLf(const QString& text) {
    QString result = text;
    result.replace(u'\n', QLatin1String("\r\n"));
    return result;
}

QString Countdown::start(const QString& templateText, const QString& minutesTyped) {
    if (const std::optional<qint16> minutes = parseInt16(minutesTyped))
        minutesLeft_ = *minutes;
    running_ = true;
    return substituteMinutes(withCrLf(templateText), minutesTyped);
}

Countdown::Step Countdown::tick(const QString& templateText, const QString& notBackText) {
    // Saturates instead of wrapping to 32767 at the bottom of the 16-bit range.
    minutesLeft_ =
        static_cast<qint16>(std::max<int>(minutesLeft_ - 1, std::numeric_limits<qint16>::min()));
    if (minutesLeft_ <= 0) {
        running_ = false;
        return {withCrLf(notBackText), true};
    }
    return {substituteMinutes(withCrLf(templateText), QString::number(minutesLeft_)), false};
}

} // namespace engine
