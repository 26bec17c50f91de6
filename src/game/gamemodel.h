// One whole game: who plays, the record seen at the start, the exercise on
// screen and its verdict, the counts, the clock, and how and when it ended.
// The window shows it and forwards the pupil's actions to it.
#pragma once

#include "clock/countdown.h"
#include "game/exercise.h"
#include "game/gamesummary.h"
#include "game/scoring.h"

#include <QLocale>
#include <QObject>

#include <functional>
#include <optional>

namespace mirabolo::game {

class RandomSource;

class GameModel : public QObject
{
    Q_OBJECT

public:
    // `clockTime` stamps the start and end of the game and each verdict;
    // `separators` gives the decimal separator a right answer uses.
    GameModel(RandomSource &draws, const QLocale &separators, std::function<QDateTime()> clockTime,
              QObject *parent = nullptr);

    // A new game for `name`: no answers yet, the clock at 00:15:00.
    void begin(const QString &name);

    // The record files' whole texts as read at the start; empty when they
    // could not be read.
    void setRecordAtStart(const QString &recordText, const QString &holderText);

    // The pupil's actions; none of them changes anything once the game is over.
    void nextExercise();
    // The verdict, or empty when this exercise already has one.
    std::optional<Verdict> answer(const QString &typed);
    // One second less; the tick that finds the clock at zero ends the game.
    void tick();
    // Ends the game, once: later calls change nothing.
    void end(GameEnd how);

    QString name() const { return pupil; }
    QString recordText() const { return record; }
    QString holderText() const { return holder; }
    const Exercise &exercise() const { return current; }
    QString expectedText() const { return expected; }
    // The verdict of the exercise on screen, empty while it is awaited.
    std::optional<Verdict> verdict() const { return judged; }
    QString message() const;
    const Scoreboard &score() const { return board; }
    const clock::Countdown &countdown() const { return clock; }
    bool hasEnded() const { return summary.has_value(); }

Q_SIGNALS:
    // Once per game, at the moment it ends.
    void ended(const mirabolo::game::GameSummary &game);
    // Once per exercise, at its verdict.
    void answered(const mirabolo::game::JudgedAnswer &answer);

private:
    RandomSource &random;
    QLocale locale;
    std::function<QDateTime()> now;

    QString pupil;
    QDateTime started;
    QString record;
    QString holder;
    Exercise current;
    QString expected;
    std::optional<Verdict> judged;
    int shownAt = 0; // seconds left when the exercise came on screen
    Scoreboard board;
    clock::Countdown clock;
    std::optional<GameSummary> summary;
};

} // namespace mirabolo::game
