// The fifteen-minute countdown: one count of seconds, its clock text derived.
#pragma once

#include <QString>

namespace mirabolo::clock {

inline constexpr int gameSeconds = 15 * 60;

class Countdown
{
public:
    // 00:15:00, 900 seconds left.
    void start() { left = gameSeconds; }

    // One second less; never below 00:00:00.
    void tick();

    int secondsLeft() const { return left; }
    bool isOver() const { return left == 0; }

    // "hh:mm:ss", each part at least two digits.
    QString text() const;

private:
    int left = 0;
};

} // namespace mirabolo::clock
