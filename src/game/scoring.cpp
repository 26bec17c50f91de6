#include "scoring.h"

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
    rightCount = 0;
    wrongCount = 0;
    awaitingAnswer = false;
}

void Scoreboard::openExercise()
{
    awaitingAnswer = true;
}

std::optional<Verdict> Scoreboard::judge(const QString &typed, const QString &expectedText)
{
    if (!awaitingAnswer) {
        return std::nullopt;
    }
    awaitingAnswer = false;
    if (typed == expectedText) {
        rightCount = runtime::saturatingIncrement(rightCount);
        return Verdict::Right;
    }
    wrongCount = runtime::saturatingIncrement(wrongCount);
    return Verdict::Wrong;
}

} // namespace mirabolo::game
