// The generator's source of chance. Tests script every draw through it.
#pragma once

#include <random>

namespace mirabolo::game {

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Start a fresh sequence from the clock.
    virtual void reseed() = 0;
    // A uniform draw, 0 <= r < 1.
    virtual double next() = 0;
};

class ClockSeededRandom final : public RandomSource
{
public:
    void reseed() override;
    double next() override;

private:
    std::random_device entropy;
    std::mt19937_64 engine;
};

} // namespace mirabolo::game
