// What the answers of a period say, for the class and for each pupil: which
// conversions go wrong, which kinds of mistake, which wrong answers come back
// again and again, and a short list of what to go over. Kept as figures, never
// as lines: a school's answers are millions of lines, and the figures of a
// pupil take the same room after ten answers or ten thousand.
#pragma once

#include "classregister/answerrecord.h"
#include "classregister/classfigures.h"
#include "game/mistakes.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace mirabolo::classregister {

// Answers and right answers to the conversions from one unit into another.
struct PairTally
{
    qint64 answers = 0;
    qint64 right = 0;

    qint64 wrong() const { return answers - right; }
    std::optional<double> accuracy() const { return classregister::accuracy(right, wrong()); }
};

inline constexpr int mistakeKindCount = int(game::MistakeKind::OtherDigits) + 1;

// A wrong answer as the table of common ones tells it apart: the exercise
// (quantity and units) and the text typed. It is its own example: "3 dl in
// cl: 0,3".
struct WrongAnswer
{
    qint8 source = 0;
    qint8 target = 0;
    qint16 quantity = 0;
    QString typed;

    friend bool operator==(const WrongAnswer &, const WrongAnswer &) = default;
};
size_t qHash(const WrongAnswer &answer, size_t seed = 0) noexcept;

struct CommonAnswer
{
    WrongAnswer answer;
    game::MistakeKind kind = game::MistakeKind::OtherDigits;
    // Counted for certain: the times since the answer last came into the
    // table. Exact when it never had to make room for it.
    qint64 count = 0;
    bool exact = true;

    friend bool operator==(const CommonAnswer &, const CommonAnswer &) = default;
};

// The wrong answers given most often, in bounded room: at most `capacity`
// different ones are counted, and when another comes, it takes the place of
// the one counted least so far (the "space-saving" count of frequent items).
// An answer given more often than once every `capacity` wrong answers is
// never pushed out, so the ones that come back again and again stay.
class CommonAnswers
{
public:
    explicit CommonAnswers(qsizetype capacity);

    // Counts the answer once more. Its kind is worked out from `expected`
    // (under classifyLocale()) only when the answer is not in the table.
    game::MistakeKind add(const WrongAnswer &answer, const QString &expected);
    // The same when the kind is already known.
    void add(const WrongAnswer &answer, game::MistakeKind kind);

    // The `count` given most often, most first; on a tie in the order of the
    // units, the quantity and the text.
    QList<CommonAnswer> mostCommon(qsizetype count) const;

    // Different answers counted now, at most the capacity.
    qsizetype size() const { return entries.size(); }
    // Some answer had to make room for another: the counts are a lower bound.
    bool madeRoom() const { return pushedOut; }

private:
    friend struct FiguresCodec;

    struct Entry
    {
        WrongAnswer answer;
        game::MistakeKind kind = game::MistakeKind::OtherDigits;
        qint64 inherited = 0; // of its count, what it took over from the answer it pushed out
        qsizetype rank = 0; // index in byCount
        size_t hash = 0; // of the answer
    };
    struct Ranked
    {
        qint64 count = 0; // with what it inherited
        qsizetype entry = 0;
    };
    // Counted once more, found or let in; `added` says it was not there.
    Entry &bump(const WrongAnswer &answer, bool &added);
    // The slot of the answer, or the free one where it would go.
    qsizetype slotOf(const WrongAnswer &answer, size_t hash) const;
    void freeSlot(qsizetype slot);

    qsizetype room;
    bool pushedOut = false;
    // An entry stays where it is while it is counted, so that the table
    // finds it without working out its place again.
    QList<Entry> entries;
    // The most counted first, the counts beside the entries' indexes so that
    // finding a place reads one list.
    QList<Ranked> byCount;
    // Each entry's index in entries at a slot found from its hash (open
    // addressing, the next slot on a collision), -1 in a free slot. Twice
    // the room at least, so that a search ends soon; the hash is worked out
    // once an answer, not again when an answer makes room for another.
    QList<qint32> places;
};

// One line of "Da ripassare": a kind of mistake made often, or a conversion
// often got wrong.
struct ReviewItem
{
    enum class Subject : quint8 { Kind, Pair };
    Subject subject = Subject::Pair;
    game::MistakeKind kind = game::MistakeKind::None; // for a kind
    qint8 source = 0; // for a conversion
    qint8 target = 0;
    qint64 wrong = 0; // the mistakes of the kind, or the wrong answers to the conversion
    qint64 of = 0; // all the wrong answers, or all the answers to the conversion

    double share() const { return of > 0 ? double(wrong) / double(of) : 0.0; }
    friend bool operator==(const ReviewItem &, const ReviewItem &) = default;
};

// The rule of "Da ripassare", as the guide tells it: over at least this many
// answers (for a kind: mistakes of that kind), at least this percentage wrong
// (for a kind: of all the wrong answers), at most this many lines, the kinds
// first.
inline constexpr int reviewLeastAnswers = 10;
inline constexpr int reviewWrongPercent = 30;
inline constexpr int reviewLines = 5;

// The answers of the class, or of one pupil.
class AnswerTally
{
public:
    explicit AnswerTally(qsizetype commonCapacity);

    // Counts a judged answer of the period, its units in 1..6; gives the
    // kind of a wrong one (None for a right one).
    game::MistakeKind add(const AnswerRecord &answer);
    // The same when the kind of a wrong answer is known (the class's table
    // worked it out).
    void add(const AnswerRecord &answer, game::MistakeKind kind);

    qint64 answers() const { return answerCount; }
    qint64 right() const { return rightCount; }
    qint64 wrong() const { return answerCount - rightCount; }
    std::optional<double> accuracy() const { return classregister::accuracy(right(), wrong()); }

    // Units numbered 1 (ml) to 6 (hl).
    const PairTally &pair(int source, int target) const { return pairs.at((source - 1) * 6 + target - 1); }
    // Wrong answers of that kind.
    qint64 mistakes(game::MistakeKind kind) const { return kinds.at(int(kind)); }
    const CommonAnswers &common() const { return commonAnswers; }

    // What to go over: the kinds that are at least reviewWrongPercent% of the
    // wrong answers, over at least reviewLeastAnswers mistakes of the kind,
    // most first; then the conversions wrong at least reviewWrongPercent% of
    // the time over at least reviewLeastAnswers answers, the worst first (on
    // a tie, the one with more wrong answers, then in the order of the
    // units); reviewLines lines at most.
    QList<ReviewItem> toReview() const;

private:
    friend struct FiguresCodec;

    void countPair(const AnswerRecord &answer);

    qint64 answerCount = 0;
    qint64 rightCount = 0;
    std::array<PairTally, 36> pairs{};
    std::array<qint64, mistakeKindCount> kinds{};
    CommonAnswers commonAnswers;
};

class ClassList;

// The figures of the answers of a period: the class's, and each pupil's, the
// pupil named as the class's figures group names (ClassFigures::pupilKey, and
// the spellings of the class list).
class AnswerFigures
{
public:
    // Different wrong answers counted for the class, and for each pupil.
    static constexpr qsizetype classCommonAnswers = 20000;
    static constexpr qsizetype pupilCommonAnswers = 50;
    // Pupils counted one by one; the answers of further names count for the
    // class only (a register reads no more names than this either).
    static constexpr qsizetype maxPupils = 2000;

    // With a class list, the answers under any spelling of a listed pupil
    // are that pupil's.
    explicit AnswerFigures(DateSpan span = {}, const ClassList *list = nullptr);

    DateSpan span() const { return dateSpan; }

    // Counts the answer when its day is in the span, its units are two
    // different units of 1..6 and its verdict is the one its texts give (the
    // game judges an answer right when it is the expected text exactly).
    // Returns whether it was counted.
    bool add(const AnswerRecord &answer);

    const AnswerTally &wholeClass() const { return classTally; }
    // The pupil's answers in the period, by any spelling of the name; null
    // when there are none.
    const AnswerTally *pupil(const QString &name) const;
    qsizetype pupilCount() const { return pupilTallies.size(); }

private:
    friend struct FiguresCodec;

    // Index in pupilTallies, -1 past maxPupils. A name once placed stays
    // where it was placed.
    qsizetype pupilOf(const QString &name);
    qsizetype findPupil(const QString &name);

    DateSpan dateSpan;
    AnswerTally classTally{classCommonAnswers};
    QList<AnswerTally> pupilTallies;
    QHash<QString, qsizetype> pupilIndex; // by ClassFigures::pupilKey()
    // By the name exactly as stored: most answers repeat a spelling already
    // seen, and finding it costs less than working out the key.
    QHash<QString, qsizetype> spellingIndex;
    static constexpr qsizetype maxSpellings = 4 * maxPupils;
    QString lastSpelling;
    qsizetype lastSpellingIndex = -1;
    bool lastSpellingKnown = false;
};

// The locale a wrong answer is classified under: Italian, unless the exercise
// was set on a PC whose expected text has a decimal point, where the pupil
// was asked for a point.
const QLocale &classifyLocale(const QString &expected);

} // namespace mirabolo::classregister
