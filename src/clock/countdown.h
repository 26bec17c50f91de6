// The fifteen-minute countdown kept in hours, minutes and seconds.
#pragma once

#include <QString>

namespace mirabolo::clock {

inline constexpr char16_t zeroClockText[] = u"00:00:00";

class Countdown
{
public:
    // 00:15:00 with 900 seconds left.
    void start();

    // One second less, borrowing from the minutes and then the hours when the
    // seconds are 0. Never goes below 00:00:00.
    void tick();

    // "hh:mm:ss", each part at least two digits.
    QString text() const;

    qint16 clockHours() const { return m_clockHours; }
    qint16 clockMinutes() const { return m_clockMinutes; }
    float clockSeconds() const { return m_clockSeconds; }
    qint16 secondsLeft() const { return m_secondsLeft; }

private:
    qint16 m_clockHours = 0;
    qint16 m_clockMinutes = 0;
    float m_clockSeconds = 0.0F; // whole values only
    qint16 m_secondsLeft = 0;
};

} // namespace mirabolo::clock
