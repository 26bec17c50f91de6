#include "records/endgame.h"

#include "runtime/numbers.h"

using namespace Qt::StringLiterals;

namespace mirabolo::records {

QString farewellPrompt(int secondsLeft)
{
    return u"Ciao a presto. Ore "_s + QString::number(secondsLeft);
}

QString farewellTitle(const QDate &date, const QLocale &locale)
{
    return u"Data "_s + locale.toString(date, QLocale::ShortFormat);
}

double recordValue(const QString &recordText)
{
    return runtime::val(recordText);
}

bool beatsRecord(const QString &scoreText, const QString &recordText)
{
    // The score is the game's own digits; should it ever not be a number it
    // counts as nothing rather than ending the program.
    const double score = runtime::numericText(scoreText, QLocale::c()).value_or(0.0);
    return score > recordValue(recordText);
}

} // namespace mirabolo::records
