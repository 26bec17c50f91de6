#include "clock/countdown.h"

#include "runtime/numbers.h"

using namespace Qt::StringLiterals;

namespace mirabolo::clock {

void Countdown::start()
{
    m_clockHours = 0;
    m_clockMinutes = 15;
    m_clockSeconds = 0.0F;
    m_secondsLeft = 900;
}

void Countdown::tick()
{
    // At zero the game is over; a late tick must not show a negative time.
    if (m_clockHours <= 0 && m_clockMinutes <= 0 && m_clockSeconds <= 0.0F) {
        return;
    }

    if (m_clockSeconds == 0.0F) {
        if (m_clockMinutes > 0) {
            m_clockSeconds = 60.0F;
            --m_clockMinutes;
        } else if (m_clockHours > 0) {
            m_clockMinutes = 59;
            --m_clockHours;
            m_clockSeconds = 60.0F;
        }
    }

    m_clockSeconds -= 1.0F;
    --m_secondsLeft;
}

QString Countdown::text() const
{
    const auto part = [](qint64 value) { return runtime::formatWhole(value, u"00"); };
    return part(m_clockHours) + u':' + part(m_clockMinutes) + u':' + part(static_cast<qint64>(m_clockSeconds));
}

} // namespace mirabolo::clock
