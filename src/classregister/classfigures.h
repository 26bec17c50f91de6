// The figures of a class over a period: the whole class and each pupil.
#pragma once

#include "classregister/gamerecord.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace mirabolo::classregister {

enum class Period { Today, ThisWeek, ThisMonth, SchoolYear, All };

// "Oggi", "Questa settimana", "Questo mese", "Anno scolastico", "Tutto".
QString periodName(Period period);

// Whole days from `first` to `last`, both included; a null bound is open.
struct DateSpan
{
    QDate first;
    QDate last;

    bool contains(const QDate &day) const { return (first.isNull() || day >= first) && (last.isNull() || day <= last); }
    friend bool operator==(const DateSpan &, const DateSpan &) = default;
};

// The calendar span holding `today`: the week from Monday to Sunday, the
// month, the school year from 1 September to 31 August; All is open at both
// ends.
DateSpan periodSpan(Period period, const QDate &today);

// right / (right + wrong), as a fraction; none when nothing was answered.
std::optional<double> accuracy(qint64 right, qint64 wrong);

// A pupil below this accuracy over at least followGames games is "da seguire".
inline constexpr double followAccuracy = 0.6;
inline constexpr int followGames = 3;
// The trend compares the accuracy of this many last games with the earlier ones.
inline constexpr int trendGames = 5;

struct PupilFigures
{
    // The spelling used most, without blanks around it; on a tie, the one
    // used last.
    QString name;
    // In time order (games at the same moment in the order of the file).
    QList<GameRecord> games;
    qint64 right = 0;
    qint64 wrong = 0;
    // Index in games of the game with most right answers; on a tie the one
    // with fewer wrong, then the earlier: a record stands until beaten.
    qsizetype best = 0;

    std::optional<double> accuracy() const { return classregister::accuracy(right, wrong); }
    const GameRecord &bestGame() const { return games.at(best); }
    const GameRecord &lastGame() const { return games.constLast(); }
    // Accuracy of the last trendGames games minus that of the earlier ones,
    // in percentage points; none without earlier games or with nothing
    // answered in either part.
    std::optional<double> trend() const;
    // "da seguire": below followAccuracy over at least followGames games.
    bool needsFollowing() const;
};

class ClassFigures
{
public:
    explicit ClassFigures(DateSpan span = {});

    DateSpan span() const { return dateSpan; }

    // Counts the game when its day is in the span. Returns the index in
    // pupils() of the pupil it belongs to (a new pupil is added at the end),
    // or -1 when the game lies outside the span; `position`, when given,
    // receives the game's index among that pupil's games. Costs the same
    // whatever the number of games already counted.
    qsizetype add(const GameRecord &game, qsizetype *position = nullptr);

    // Gives back what the pupils' lists reserved while growing, once many
    // games were added at once.
    void squeeze();

    qint64 games() const { return gameCount; }
    qint64 right() const { return rightCount; }
    qint64 wrong() const { return wrongCount; }
    std::optional<double> accuracy() const { return classregister::accuracy(rightCount, wrongCount); }

    // In the order each pupil first appeared.
    const QList<PupilFigures> &pupils() const { return pupilList; }

    // The same pupil however the name was typed: without regard to capitals,
    // blanks around it, or repeated blanks inside it.
    static QString pupilKey(const QString &name);

private:
    struct Spellings
    {
        QHash<QString, qint64> uses;
    };

    DateSpan dateSpan;
    qint64 gameCount = 0;
    qint64 rightCount = 0;
    qint64 wrongCount = 0;
    QList<PupilFigures> pupilList;
    QList<Spellings> spellings; // parallel to pupilList
    QHash<QString, qsizetype> pupilIndex; // by pupilKey()
    // By the name exactly as typed: most games repeat a spelling already
    // seen, and finding it costs less than working out the key.
    QHash<QString, qsizetype> spellingIndex;
};

} // namespace mirabolo::classregister
