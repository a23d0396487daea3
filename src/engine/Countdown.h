// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace engine {

// Every "%m" replaced by the minutes text, in one pass: text that comes in is not rescanned.
QString substituteMinutes(const QString& templateText, const QString& minutes);

// Text boxes hold line breaks as LF; the away texts carry them as CR LF.
QString withCrLf(const QString& text);

// "I will be back in %m minutes.", one minute less at every tick, then the not-back text.
// The texts are passed in at each step because the user may edit them meanwhile.
class Countdown {
public:
    struct Step {
        QString text; // what to send now
        bool finished;
    };

    // The typed minutes become the count when they are a number; otherwise the count of the
    // previous run stays. The first text shows the minutes exactly as typed.
    QString start(const QString& templateText, const QString& minutesTyped);
    // One minute has passed. Once no minute is left (also for a count that started at zero
    // or below), the countdown is over and the not-back text goes out instead.
    Step tick(const QString& templateText, const QString& notBackText);
    void stop() { running_ = false; }

    bool running() const { return running_; }
    qint16 minutesLeft() const { return minutesLeft_; }

private:
    qint16 minutesLeft_ = 0;
    bool running_ = false;
};

} // namespace engine
