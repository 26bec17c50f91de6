#include "game/scoring.h"

#include "runtime/counters.h"

namespace mirabolo::game {

QString verdictMessage(Verdict verdict, const QString &expectedText)
{
    if (verdict == Verdict::Right) {
        return QString::fromUtf16(rightMessage);
    }
    return QString::fromUtf16(wrongMessagePrefix) + expectedText;
}

void Scoreboard::reset()
{
    right = 0;
    wrong = 0;
    awaiting = false;
}

std::optional<Verdict> Scoreboard::judge(const QString &typed, const QString &expectedText)
{
    if (!awaiting) {
        return std::nullopt;
    }
    awaiting = false;
    if (typed == expectedText) {
        right = runtime::saturatingIncrement(right);
        return Verdict::Right;
    }
    wrong = runtime::saturatingIncrement(wrong);
    return Verdict::Wrong;
}

} // namespace mirabolo::game
