// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

namespace engine {

// Draws r uniformly on [0, 1).
class UnitRandom {
public:
    virtual ~UnitRandom() = default;
    virtual double next() = 0;
};

// Re-seeds from the clock before every draw, so each pick stands on its own.
class ClockSeededRandom final : public UnitRandom {
public:
    double next() override;
};

// floor(count * r), kept inside 0..count-1 for count >= 1; -1 for an empty list.
int pickIndex(int count, double r);

// A random message now and then one at every tick, until stopped.
class Rotation {
public:
    explicit Rotation(UnitRandom& random) : random_(random) {}

    void start(std::chrono::seconds interval) {
        interval_ = interval;
        running_ = true;
    }
    void stop() { running_ = false; }
    // The position of the message to send among `count`; -1 when there is none.
    int tick(int count) { return pickIndex(count, random_.next()); }

    bool running() const { return running_; }
    std::chrono::seconds interval() const { return interval_; }

private:
    UnitRandom& random_;
    std::chrono::seconds interval_{10};
    bool running_ = false;
};

} // namespace engine
