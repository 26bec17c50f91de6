#include "clock/countdown.h"

#include "runtime/numbers.h"

namespace mirabolo::clock {

void Countdown::tick()
{
    // At zero the game is over; a late tick must not show a negative time.
    if (left > 0)
        --left;
}

QString Countdown::text() const
{
    const auto part = [](int value) { return runtime::formatWhole(value, u"00"); };
    return part(left / 3600) + u':' + part(left / 60 % 60) + u':' + part(left % 60);
}

} // namespace mirabolo::clock
