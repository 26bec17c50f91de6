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
    m_rightCount = 0;
    m_wrongCount = 0;
    m_awaitingAnswer = false;
}

void Scoreboard::openExercise()
{
    m_awaitingAnswer = true;
}

std::optional<Verdict> Scoreboard::judge(const QString &typed, const QString &expectedText)
{
    if (!m_awaitingAnswer) {
        return std::nullopt;
    }
    m_awaitingAnswer = false;
    if (typed == expectedText) {
        m_rightCount = runtime::saturatingIncrement(m_rightCount);
        return Verdict::Right;
    }
    m_wrongCount = runtime::saturatingIncrement(m_wrongCount);
    return Verdict::Wrong;
}

} // namespace mirabolo::game
