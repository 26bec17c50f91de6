#include "random.h"

#include <chrono>

namespace mirabolo::game {

void ClockSeededRandom::reseed()
{
    // Both reseeds of one exercise come microseconds apart, so the clock alone
    // could repeat a seed on a coarse timer; the device's entropy keeps the
    // sequences apart.
    std::random_device device;
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steadyBits = static_cast<unsigned long long>(steady);
    const auto wallBits = static_cast<unsigned long long>(wall);
    std::seed_seq seed{
        static_cast<unsigned>(steadyBits),
        static_cast<unsigned>(steadyBits >> 32),
        static_cast<unsigned>(wallBits),
        static_cast<unsigned>(wallBits >> 32),
        device(),
        device(),
    };
    m_engine.seed(seed);
}

double ClockSeededRandom::next()
{
    // 53 random bits scaled by 2^-53: exactly representable and always below
    // 1, which std::uniform_real_distribution does not promise.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

} // namespace mirabolo::game
