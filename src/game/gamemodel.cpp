#include "game/gamemodel.h"

#include <utility>

namespace mirabolo::game {

GameModel::GameModel(RandomSource &draws, const QLocale &separators, std::function<QDateTime()> clockTime,
                     QObject *parent)
    : QObject(parent)
    , random(draws)
    , locale(separators)
    , now(std::move(clockTime))
{
}

void GameModel::begin(const QString &name)
{
    pupil = name;
    started = now();
    board.reset();
    clock.start();
}

void GameModel::setRecordAtStart(const QString &recordText, const QString &holderText)
{
    record = recordText;
    holder = holderText;
}

void GameModel::nextExercise()
{
    if (hasEnded())
        return;
    current = drawExercise(random);
    expected = expectedAnswerText(current, locale);
    judged.reset();
    shownAt = clock.secondsLeft();
    board.openExercise();
}

std::optional<Verdict> GameModel::answer(const QString &typed)
{
    if (hasEnded())
        return std::nullopt;
    const std::optional<Verdict> verdict = board.judge(typed, expected);
    if (!verdict)
        return verdict;
    judged = verdict;
    Q_EMIT answered(JudgedAnswer{now(), pupil, started, current.source, current.target, current.quantity, expected,
                                 typed, *verdict == Verdict::Right, shownAt - clock.secondsLeft()});
    return verdict;
}

void GameModel::tick()
{
    if (hasEnded())
        return;
    if (clock.isOver())
        end(GameEnd::TimeOut);
    else
        clock.tick();
}

void GameModel::end(GameEnd how)
{
    if (hasEnded())
        return;
    summary = GameSummary{now(), pupil, board.rightCount(), board.wrongCount(), clock.secondsLeft(), how};
    Q_EMIT ended(*summary);
}

QString GameModel::message() const
{
    return judged ? verdictMessage(*judged, expected) : QString();
}

} // namespace mirabolo::game
