#include "game/random.h"

#include <chrono>

namespace mirabolo::game {

void ClockSeededRandom::reseed()
{
    // Both reseeds of one exercise come microseconds apart, so the clock alone
    // could repeat a seed on a coarse timer; the device's entropy keeps the
    // sequences apart.
    const auto steady = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto wall = static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count());
    const unsigned long long fresh = (static_cast<unsigned long long>(entropy()) << 32) | entropy();
    engine.seed(steady * 0x9E3779B97F4A7C15ULL ^ wall ^ fresh);
}

double ClockSeededRandom::next()
{
    // 53 random bits scaled by 2^-53: exactly representable and always below
    // 1, which std::uniform_real_distribution does not promise.
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

} // namespace mirabolo::game
