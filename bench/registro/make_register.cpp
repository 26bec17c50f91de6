// Writes a class register as the game writes it, for the benchmark and for
// the guide's picture: the same arguments give the same bytes, on any
// machine and on any day.
//
// make_register FILE GAMES PUPILS LAST_DAY [ANSWERS]
//   ANSWERS, when given, gets every answer of those games, as the game keeps
//   them beside the register: about 40 a game, so 100,000 games make 4
//   million lines. The register's bytes are the same with or without it.
//   LAST_DAY (yyyy-MM-dd) is the last school day with games; the games are
//   spread over the school days before it, one a pupil a day up to a hundred
//   a day, over five years at most: 100,000 games by 300 pupils span the
//   years of a large school, 400 by 20 a month of one class. With at least
//   as many pupils as games, each game is a new pupil's: 1,000,000 by
//   1,000,000 is a register filled with invented names.
#include "classregister/registerformat.h"
#include "game/exercise.h"
#include "game/random.h"
#include "records/endgame.h"
#include "runtime/numbers.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;
using mirabolo::records::GameEnd;
using mirabolo::records::GameSummary;
using mirabolo::records::StoreOutcome;

namespace {

constexpr int maxGamesPerDay = 100;
constexpr int maxYears = 5;

// mt19937_64's output is fixed by the C++ standard; the distributions of
// <random> are not, so the draws are made here.
class Draws
{
public:
    explicit Draws(quint64 seed = 20261207)
        : engine(seed)
    {
    }
    int below(int n) { return int(engine() % quint64(n)); }
    double unit() { return double(engine() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine;
};

bool isSchoolDay(const QDate &day)
{
    const int monthDay = day.month() * 100 + day.day();
    const bool christmas = monthDay >= 1223 || monthDay <= 106;
    const bool summer = monthDay > 610 && monthDay < 912;
    return day.dayOfWeek() <= 5 && !christmas && !summer;
}

QList<QDate> schoolDays(const QDate &last, int wanted)
{
    QList<QDate> days;
    const QDate first = last.addYears(-maxYears);
    for (QDate day = last; day >= first && days.size() < wanted; day = day.addDays(-1)) {
        if (isSchoolDay(day))
            days.append(day);
    }
    std::reverse(days.begin(), days.end());
    return days;
}

struct Pupil
{
    QString name;
    double skill = 0; // chance of a right answer at the start
    double progress = 0; // what it gains by the end
    int speed = 0; // answers in a whole game
};

QList<Pupil> makePupils(int count, Draws &draws)
{
    const QStringList first{u"Giulia"_s,  u"Marco"_s,    u"Sofia"_s,    u"Luca"_s,     u"Aurora"_s, u"Matteo"_s,
                            u"Alice"_s,   u"Leonardo"_s, u"Ginevra"_s,  u"Tommaso"_s,  u"Emma"_s,   u"Riccardo"_s,
                            u"Giorgia"_s, u"Edoardo"_s,  u"Beatrice"_s, u"Lorenzo"_s,  u"Anna"_s,   u"Pietro"_s,
                            u"Chiara"_s,  u"Niccolò"_s,  u"Noemi"_s,    u"Gabriele"_s, u"Zoe"_s,    u"Andrea"_s,
                            u"Martina"_s, u"Davide"_s,   u"Bianca"_s,   u"Federico"_s, u"Elena"_s,  u"Mattia"_s};
    const QString initials = u"ABCDEFGLMNPRSTV"_s;
    QList<Pupil> pupils;
    for (int i = 0; i < count; ++i) {
        Pupil pupil;
        pupil.name = first.at(i % first.size());
        if (count > first.size())
            pupil.name += u' ' + initials.at((i / first.size()) % initials.size()) + u'.';
        if (count > first.size() * initials.size())
            pupil.name += u' ' + QString::number(i / (first.size() * initials.size()));
        pupil.skill = 0.35 + 0.55 * draws.unit();
        pupil.progress = 0.25 * draws.unit();
        pupil.speed = 20 + draws.below(40);
        pupils.append(pupil);
    }
    return pupils;
}

// The name as a pupil types it: now and then in small letters or with a
// blank after it, as real registers have it.
QString typed(const QString &name, Draws &draws)
{
    const int how = draws.below(20);
    if (how == 0)
        return name.toLower();
    if (how == 1)
        return name + u' ';
    return name;
}

GameSummary playGame(const Pupil &pupil, double elapsed, Draws &draws)
{
    GameSummary game;
    const int kind = draws.below(20);
    game.ending = kind < 15 ? GameEnd::TimeOut
        : kind < 18         ? GameEnd::Exit
        : kind < 19         ? GameEnd::WindowClosed
                            : GameEnd::NewGame;
    game.secondsLeft = game.ending == GameEnd::TimeOut ? 0 : 30 + draws.below(840);
    const int answered = pupil.speed * (900 - game.secondsLeft) / 900;
    const double chance = std::min(0.98, pupil.skill + pupil.progress * elapsed);
    for (int i = 0; i < answered; ++i)
        (draws.unit() < chance ? game.right : game.wrong) += 1;
    return game;
}

// The exercises of the answers, from draws of their own.
class ExerciseDraws final : public mirabolo::game::RandomSource
{
public:
    explicit ExerciseDraws(Draws &from)
        : draws(from)
    {
    }
    void reseed() override { }
    double next() override { return draws.unit(); }

private:
    Draws &draws;
};

QString decimalText(double value, const QLocale &locale)
{
    return mirabolo::runtime::numberToText(value, locale);
}

// A wrong answer as pupils type them: mostly the conversion the wrong way or
// a step off, then a slip of the digits or the comma.
QString wrongAnswer(const mirabolo::game::Exercise &exercise, const QString &expected, const QLocale &locale,
                    Draws &draws)
{
    using mirabolo::game::expectedValue;
    const int kind = draws.below(20);
    if (kind < 7)
        return decimalText(expectedValue(exercise.target, exercise.source, exercise.quantity), locale);
    if (kind < 12)
        return decimalText(kind < 10 ? expectedValue(exercise.source, exercise.target, exercise.quantity) * 10
                                     : expectedValue(exercise.source, exercise.target, exercise.quantity) / 10,
                           locale);
    if (kind < 16)
        return decimalText(expectedValue(exercise.source, exercise.target, exercise.quantity + 1), locale);
    // The point for the comma; a whole number has no comma, and a pupil
    // writes it with a zero too many after one.
    if (kind < 18)
        return expected.contains(u',') ? QString(expected).replace(u',', u'.') : expected + u",0"_s;
    return kind < 19 ? expected + u'0' : QString();
}

// The answers of one game, spread over the time it lasted.
void writeAnswers(QSaveFile &file, const GameSummary &game, Draws &draws)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    ExerciseDraws random(draws);
    const int answered = game.right + game.wrong;
    const int lasted = 900 - game.secondsLeft;
    mirabolo::game::JudgedAnswer answer;
    answer.name = game.name;
    answer.gameStart = game.end.addSecs(-lasted);
    int rightLeft = game.right;
    int at = 0;
    for (int i = 0; i < answered; ++i) {
        const mirabolo::game::Exercise exercise = mirabolo::game::drawExercise(random);
        answer.source = exercise.source;
        answer.target = exercise.target;
        answer.quantity = exercise.quantity;
        answer.expected = mirabolo::game::expectedAnswerText(exercise, italian);
        answer.right = draws.below(answered - i) < rightLeft;
        rightLeft -= answer.right;
        answer.typed = answer.right ? answer.expected : wrongAnswer(exercise, answer.expected, italian, draws);
        const int next = lasted * (i + 1) / answered;
        answer.seconds = next - at;
        at = next;
        answer.when = answer.gameStart.addSecs(at);
        file.write(mirabolo::classregister::answerLine(answer));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool argued = args.size() == 5 || args.size() == 6;
    const QDate lastDay = argued ? QDate::fromString(args.at(4), Qt::ISODate) : QDate();
    const int games = argued ? args.at(2).toInt() : 0;
    const int pupilCount = argued ? args.at(3).toInt() : 0;
    if (!lastDay.isValid() || games <= 0 || pupilCount <= 0) {
        std::fputs("usage: make_register FILE GAMES PUPILS LAST_DAY(yyyy-MM-dd) [ANSWERS]\n", stderr);
        return 2;
    }
    Draws answerDraws(20261208);
    QSaveFile answers(args.value(5));
    if (args.size() == 6) {
        if (!answers.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "make_register: %s\n", qPrintable(answers.errorString()));
            return 1;
        }
        answers.write(mirabolo::classregister::answersHeader);
    }

    Draws draws;
    const QList<Pupil> pupils = makePupils(pupilCount, draws);
    const int perDay = std::min(maxGamesPerDay, pupilCount);
    const QList<QDate> days = schoolDays(lastDay, (games + perDay - 1) / perDay);
    QSaveFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_register: %s\n", qPrintable(file.errorString()));
        return 1;
    }
    file.write(mirabolo::classregister::registerHeader);
    int record = 0;
    for (int i = 0; i < games; ++i) {
        const qsizetype dayIndex = qsizetype(i) * days.size() / games;
        const int inDay = i - int((dayIndex * games + days.size() - 1) / days.size());
        const Pupil &pupil = pupilCount >= games ? pupils.at(i) : pupils.at(draws.below(pupilCount));
        GameSummary game = playGame(pupil, double(dayIndex) / double(days.size()), draws);
        // Lessons from 8:30, a game ending every two minutes or so.
        game.end = QDateTime(days.at(dayIndex), QTime(8, 30).addSecs(inDay * 127 + draws.below(60)));
        game.name = typed(pupil.name, draws);
        StoreOutcome outcome = StoreOutcome::NotBeaten;
        if (mirabolo::records::comparesRecord(game.ending) && game.right > record) {
            record = game.right;
            outcome = StoreOutcome::Stored;
        }
        file.write(mirabolo::classregister::registerLine(game, outcome));
        if (answers.isOpen())
            writeAnswers(answers, game, answerDraws);
    }
    if (!file.commit() || (answers.isOpen() && !answers.commit())) {
        std::fprintf(stderr, "make_register: %s\n", qPrintable(file.errorString() + answers.errorString()));
        return 1;
    }
    return 0;
}
