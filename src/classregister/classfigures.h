// The figures of a class over a period: the whole class and each pupil.
#pragma once

#include "classregister/gamerecord.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace mirabolo::classregister {

// Range: a span of days of the teacher's choice, given apart. Further
// periods go at the end: the command line's names are in this order.
enum class Period { Today, ThisWeek, ThisMonth, SchoolYear, All, FirstTerm, SecondTerm, Range };

// "Oggi", "Questa settimana", "Questo mese", "Anno scolastico", "Tutto",
// "Primo quadrimestre", "Secondo quadrimestre", "Altro periodo".
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
// ends. The terms are those of the school year holding `today`: the first
// from 1 September to 31 January, the second from 1 February to 31 August,
// so that no game of the year falls outside both. Range has no span of its
// own: open, like All.
DateSpan periodSpan(Period period, const QDate &today);

// A day written as an Italian reads it: "7/12/2026", "07/12/2026"; null when
// it is not a day of the calendar.
QDate parseDay(QStringView text);

// The days from `first` to `last`, both included; none when either is not a
// day or `last` comes before `first`, and then `error` (when given) says so
// in Italian.
std::optional<DateSpan> dateRange(const QDate &first, const QDate &last, QString *error = nullptr);

// right / (right + wrong), as a fraction; none when nothing was answered.
std::optional<double> accuracy(qint64 right, qint64 wrong);

// "da seguire": a pupil below `percent` accuracy over at least `games`
// games. The teacher sets both; the default is below 60% over at least 3.
struct FollowRule
{
    static constexpr int minPercent = 1;
    static constexpr int maxPercent = 100;
    static constexpr int minGames = 1;
    static constexpr int maxGames = 999;

    int percent = 60;
    int games = 3;

    // In whole numbers: exactly at the threshold is not below it.
    bool flags(qsizetype gameCount, qint64 right, qint64 wrong) const
    {
        return gameCount >= games && right + wrong > 0 && right * 100 < percent * (right + wrong);
    }
    friend bool operator==(const FollowRule &, const FollowRule &) = default;
};
// The trend compares the accuracy of this many last games with the earlier ones.
inline constexpr int trendGames = 5;

struct PupilFigures
{
    // The name on the class list; else the spelling used most, without
    // blanks around it, and on a tie the one used last.
    QString name;
    // In time order (games at the same moment in the order of the file).
    // Empty only for a pupil on the class list with no game in the span.
    QList<GameRecord> games;
    qint64 right = 0;
    qint64 wrong = 0;
    qint64 secondsPlayed = 0; // the games' fifteen minutes less the time left
    bool listed = false; // on the class list
    FollowRule rule; // the class's, for needsFollowing()
    // Index in games of the game with most right answers; on a tie the one
    // with fewer wrong, then the earlier: a record stands until beaten.
    qsizetype best = 0;

    std::optional<double> accuracy() const { return classregister::accuracy(right, wrong); }
    bool played() const { return !games.isEmpty(); }
    // Only for a pupil who played().
    const GameRecord &bestGame() const { return games.at(best); }
    const GameRecord &lastGame() const { return games.constLast(); }
    // Accuracy of the last trendGames games minus that of the earlier ones,
    // in percentage points; none without earlier games or with nothing
    // answered in either part.
    std::optional<double> trend() const;
    // "da seguire" by the class's rule.
    bool needsFollowing() const { return rule.flags(games.size(), right, wrong); }
    // Whole minutes, to the nearest.
    qint64 minutesPlayed() const { return minutes(secondsPlayed); }

    static qint64 minutes(qint64 seconds) { return (seconds + 30) / 60; }
};

class ClassList;

class ClassFigures
{
public:
    // With a class list of pupils, each listed pupil is a row from the
    // start, in the list's order, and a game under any of their spellings is
    // theirs; the names that match nobody follow as they come. The list's
    // rule says who is "da seguire" (the default one without a list).
    explicit ClassFigures(DateSpan span = {}, const ClassList *list = nullptr);

    DateSpan span() const { return dateSpan; }
    FollowRule rule() const { return followRule; }

    // The class list named pupils: the figures say how many played.
    bool hasList() const { return listedCount > 0; }
    // Pupils on the list, and of them those with a game in the span.
    qsizetype listed() const { return listedCount; }
    qsizetype listedPlayed() const { return listedPlaying; }

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
    qint64 secondsPlayed() const { return secondsCount; }
    std::optional<double> accuracy() const { return classregister::accuracy(rightCount, wrongCount); }

    // The listed pupils first, then the others in the order each first
    // appeared.
    const QList<PupilFigures> &pupils() const { return pupilList; }

    // The row in pupils() of the pupil that `name` (as typed, or as shown)
    // belongs to; -1 for none.
    qsizetype indexOf(const QString &name) const;

    // The same pupil however the name was typed: without regard to capitals,
    // blanks around it, or repeated blanks inside it.
    static QString pupilKey(const QString &name);

private:
    struct Spellings
    {
        QHash<QString, qint64> uses;
    };

    DateSpan dateSpan;
    FollowRule followRule;
    qsizetype listedCount = 0;
    qsizetype listedPlaying = 0;
    qint64 gameCount = 0;
    qint64 rightCount = 0;
    qint64 wrongCount = 0;
    qint64 secondsCount = 0;
    QList<PupilFigures> pupilList;
    QList<Spellings> spellings; // parallel to pupilList
    QHash<QString, qsizetype> pupilIndex; // by pupilKey()
    // By the name exactly as typed: most games repeat a spelling already
    // seen, and finding it costs less than working out the key.
    QHash<QString, qsizetype> spellingIndex;
};

} // namespace mirabolo::classregister
