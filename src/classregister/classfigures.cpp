#include "classregister/classfigures.h"

#include "classregister/classlist.h"
#include "classregister/registerformat.h"
#include "clock/countdown.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

QString periodName(Period period)
{
    switch (period) {
    case Period::Today:
        return u"Oggi"_s;
    case Period::ThisWeek:
        return u"Questa settimana"_s;
    case Period::ThisMonth:
        return u"Questo mese"_s;
    case Period::SchoolYear:
        return u"Anno scolastico"_s;
    case Period::All:
        return u"Tutto"_s;
    case Period::FirstTerm:
        return u"Primo quadrimestre"_s;
    case Period::SecondTerm:
        return u"Secondo quadrimestre"_s;
    case Period::Range:
        return u"Altro periodo"_s;
    }
    return {};
}

DateSpan periodSpan(Period period, const QDate &today)
{
    switch (period) {
    case Period::Today:
        return {today, today};
    case Period::ThisWeek: {
        const QDate monday = today.addDays(1 - today.dayOfWeek());
        return {monday, monday.addDays(6)};
    }
    case Period::ThisMonth: {
        const QDate first(today.year(), today.month(), 1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case Period::SchoolYear:
    case Period::FirstTerm:
    case Period::SecondTerm: {
        const int startYear = today.month() >= 9 ? today.year() : today.year() - 1;
        // The day before 1 February: 31 January, whatever the year.
        const QDate february(startYear + 1, 2, 1);
        if (period == Period::FirstTerm)
            return {QDate(startYear, 9, 1), february.addDays(-1)};
        return {period == Period::SecondTerm ? february : QDate(startYear, 9, 1), QDate(startYear + 1, 8, 31)};
    }
    case Period::All:
    case Period::Range:
        break;
    }
    return {};
}

QDate parseDay(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u'/');
    if (parts.size() != 3)
        return {};
    const auto number = [](QStringView part, qsizetype minDigits, qsizetype maxDigits) {
        if (part.size() < minDigits || part.size() > maxDigits)
            return -1;
        int value = 0;
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c.unicode() - u'0');
        }
        return value;
    };
    const int day = number(parts.at(0), 1, 2);
    const int month = number(parts.at(1), 1, 2);
    const int year = number(parts.at(2), 4, 4);
    if (day < 0 || month < 0 || year < 0)
        return {};
    return {year, month, day}; // null unless a real day: 29/02 of a common year is none
}

std::optional<DateSpan> dateRange(const QDate &first, const QDate &last, QString *error)
{
    QString why;
    if (!first.isValid())
        why = u"manca la data d'inizio, o non è una data del calendario (GG/MM/AAAA)."_s;
    else if (!last.isValid())
        why = u"manca la data di fine, o non è una data del calendario (GG/MM/AAAA)."_s;
    else if (last < first)
        why = u"la data di fine (%1) viene prima di quella d'inizio (%2)."_s.arg(last.toString(u"dd/MM/yyyy"_s),
                                                                                 first.toString(u"dd/MM/yyyy"_s));
    if (why.isEmpty())
        return DateSpan{first, last};
    if (error)
        *error = why;
    return std::nullopt;
}

std::optional<double> accuracy(qint64 right, qint64 wrong)
{
    if (right + wrong <= 0)
        return std::nullopt;
    return double(right) / double(right + wrong);
}

std::optional<double> PupilFigures::trend() const
{
    const qsizetype earlierCount = games.size() - trendGames;
    if (earlierCount <= 0)
        return std::nullopt;
    qint64 lastRight = 0;
    qint64 lastWrong = 0;
    for (qsizetype i = earlierCount; i < games.size(); ++i) {
        lastRight += games.at(i).right;
        lastWrong += games.at(i).wrong;
    }
    const auto last = classregister::accuracy(lastRight, lastWrong);
    const auto earlier = classregister::accuracy(right - lastRight, wrong - lastWrong);
    if (!last || !earlier)
        return std::nullopt;
    return (*last - *earlier) * 100.0;
}

ClassFigures::ClassFigures(DateSpan span, const ClassList *list)
    : dateSpan(span)
{
    if (list == nullptr)
        return;
    followRule = list->rule();
    for (const ListedPupil &listed : list->pupils()) {
        PupilFigures pupil;
        pupil.name = listed.name;
        pupil.listed = true;
        pupil.rule = followRule;
        const qsizetype index = pupilList.size();
        pupilList.append(pupil);
        spellings.append(Spellings{});
        pupilIndex.insert(pupilKey(storedName(listed.name)), index);
        for (const QString &spelling : listed.spellings)
            pupilIndex.insert(pupilKey(storedName(spelling)), index);
    }
    listedCount = pupilList.size();
}

qsizetype ClassFigures::indexOf(const QString &name) const
{
    const auto typed = spellingIndex.constFind(name);
    if (typed != spellingIndex.cend())
        return *typed;
    return pupilIndex.value(pupilKey(storedName(name)), -1);
}

QString ClassFigures::pupilKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

void ClassFigures::squeeze()
{
    for (PupilFigures &pupil : pupilList)
        pupil.games.squeeze();
}

qsizetype ClassFigures::add(const GameRecord &game, qsizetype *position)
{
    if (!dateSpan.contains(game.when.date()))
        return -1;
    auto found = spellingIndex.constFind(game.name);
    if (found == spellingIndex.cend()) {
        const QString key = pupilKey(game.name);
        auto pupil = pupilIndex.constFind(key);
        if (pupil == pupilIndex.cend()) {
            pupil = pupilIndex.insert(key, pupilList.size());
            PupilFigures added;
            added.rule = followRule;
            pupilList.append(added);
            spellings.append(Spellings{});
        }
        found = spellingIndex.insert(game.name, *pupil);
    }
    const qsizetype index = *found;
    PupilFigures &pupil = pupilList[index];

    // Mostly the newest game: then it just goes at the end.
    const auto later =
        std::upper_bound(pupil.games.cbegin(), pupil.games.cend(), game.when,
                         [](const QDateTime &when, const GameRecord &other) { return when < other.when; });
    const qsizetype at = later - pupil.games.cbegin();
    if (position != nullptr)
        *position = at;
    pupil.games.insert(at, game);
    if (pupil.games.size() == 1) {
        pupil.best = 0;
        if (pupil.listed)
            ++listedPlaying;
    } else {
        if (pupil.best >= at)
            ++pupil.best;
        const GameRecord &best = pupil.games.at(pupil.best);
        const bool better = game.right > best.right || (game.right == best.right && game.wrong < best.wrong) ||
            (game.right == best.right && game.wrong == best.wrong && at < pupil.best);
        if (better)
            pupil.best = at;
    }
    const qint64 seconds = std::clamp(clock::gameSeconds - game.secondsLeft, 0, clock::gameSeconds);
    pupil.right += game.right;
    pupil.wrong += game.wrong;
    pupil.secondsPlayed += seconds;

    // On a tie the newer spelling wins: it is how the pupil types it now.
    // A stray blank around a name is no spelling of its own: never shown,
    // never a tie won by it. A listed pupil keeps the list's name.
    if (!pupil.listed) {
        const QString spelling = game.name.trimmed();
        Spellings &spelled = spellings[index];
        const qint64 uses = ++spelled.uses[spelling];
        if (pupil.name != spelling && uses >= spelled.uses.value(pupil.name))
            pupil.name = spelling;
    }

    ++gameCount;
    rightCount += game.right;
    wrongCount += game.wrong;
    secondsCount += seconds;
    return index;
}

} // namespace mirabolo::classregister
