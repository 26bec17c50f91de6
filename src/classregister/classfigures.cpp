#include "classregister/classfigures.h"

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
    case Period::SchoolYear: {
        const int startYear = today.month() >= 9 ? today.year() : today.year() - 1;
        return {QDate(startYear, 9, 1), QDate(startYear + 1, 8, 31)};
    }
    case Period::All:
        break;
    }
    return {};
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

bool PupilFigures::needsFollowing() const
{
    const auto value = accuracy();
    return games.size() >= followGames && value && *value < followAccuracy;
}

ClassFigures::ClassFigures(DateSpan span)
    : dateSpan(span)
{
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
            pupilList.append(PupilFigures{});
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
    } else {
        if (pupil.best >= at)
            ++pupil.best;
        const GameRecord &best = pupil.games.at(pupil.best);
        const bool better = game.right > best.right || (game.right == best.right && game.wrong < best.wrong) ||
            (game.right == best.right && game.wrong == best.wrong && at < pupil.best);
        if (better)
            pupil.best = at;
    }
    pupil.right += game.right;
    pupil.wrong += game.wrong;

    // On a tie the newer spelling wins: it is how the pupil types it now.
    // A stray blank around a name is no spelling of its own: never shown,
    // never a tie won by it.
    const QString spelling = game.name.trimmed();
    Spellings &spelled = spellings[index];
    const qint64 uses = ++spelled.uses[spelling];
    if (pupil.name != spelling && uses >= spelled.uses.value(pupil.name))
        pupil.name = spelling;

    ++gameCount;
    rightCount += game.right;
    wrongCount += game.wrong;
    return index;
}

} // namespace mirabolo::classregister
