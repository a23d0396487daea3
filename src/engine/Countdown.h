#pragma once

#include <QString>

#include <optional>

namespace Engine {

// A number as typed (minutes, or an option value read back from the settings file): an
// optionally signed decimal with blanks around it allowed. Fractions round to the nearest
// whole number, halves to the even neighbour. Empty text, anything else, and values outside
// the 16-bit range give nothing.
std::optional<qint16> ToInt16(const QString& text);

// Every "%m" replaced by the minutes text, in one pass: text that comes in is not rescanned.
QString SubstituteMinutes(const QString& templateText, const QString& minutes);

// Text boxes hold line breaks as LF; the away texts carry them as CR LF.
QString WithCrLf(const QString& text);

struct CountdownStep {
    qint16 minutesLeft;
    bool expired;
};

// One minute passes. The countdown is over once nothing is left, including a countdown that
// started at zero or below, so it never announces negative minutes.
CountdownStep CountdownTick(qint16 minutesLeft);

} // namespace Engine
