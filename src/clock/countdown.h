// The fifteen-minute countdown kept in hours, minutes and seconds.
#pragma once

#include <QString>

namespace mirabolo::clock {

inline constexpr char16_t zeroClockText[] = u"00:00:00";

struct Countdown
{
    // 00:15:00 with 900 seconds left.
    void start();

    // One second less, borrowing from the minutes and then the hours when the
    // seconds are 0. Never goes below 00:00:00.
    void tick();

    // "hh:mm:ss", each part at least two digits.
    QString text() const;

    qint16 clockHours = 0;
    qint16 clockMinutes = 0;
    float clockSeconds = 0.0F; // whole values only
    qint16 secondsLeft = 0;
};

} // namespace mirabolo::clock
