#pragma once

namespace Engine {

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
int PickIndex(int count, double r);

} // namespace Engine
