#include "clock/countdown.h"

#include "runtime/numbers.h"

using namespace Qt::StringLiterals;

namespace mirabolo::clock {

void Countdown::start()
{
    clockHours = 0;
    clockMinutes = 15;
    clockSeconds = 0.0F;
    secondsLeft = 900;
}

void Countdown::tick()
{
    // At zero the game is over; a late tick must not show a negative time.
    if (clockHours <= 0 && clockMinutes <= 0 && clockSeconds <= 0.0F) {
        return;
    }

    if (clockSeconds == 0.0F) {
        if (clockMinutes > 0) {
            clockSeconds = 60.0F;
            --clockMinutes;
        } else if (clockHours > 0) {
            clockMinutes = 59;
            --clockHours;
            clockSeconds = 60.0F;
        }
    }

    clockSeconds -= 1.0F;
    --secondsLeft;
}

QString Countdown::text() const
{
    const auto part = [](qint64 value) { return runtime::formatWhole(value, u"00"); };
    return part(clockHours) + u':' + part(clockMinutes) + u':' + part(static_cast<qint64>(clockSeconds));
}

} // namespace mirabolo::clock
