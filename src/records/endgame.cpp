#include "records/endgame.h"

#include "runtime/numbers.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::records {

namespace {

// A spreadsheet would run a name like "=1+1" or "@SOMMA(...)" as a formula,
// blanks before it or not; the quote keeps it text.
QString guardFormula(const QString &text)
{
    static const QString formulaStarts = u"=+-@"_s;
    const auto first = std::find_if_not(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    return first != text.end() && formulaStarts.contains(*first) ? u'\'' + text : text;
}

QString csvField(QString text)
{
    if (!text.contains(u';') && !text.contains(u'"'))
        return text;
    return u'"' + text.replace(u'"', u"\"\""_s) + u'"';
}

} // namespace

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

QString storedName(QString name)
{
    for (QChar &c : name) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return name;
}

QString endingColumn(GameEnd ending)
{
    switch (ending) {
    case GameEnd::Exit:
        return u"uscita"_s;
    case GameEnd::TimeOut:
        return u"tempo scaduto"_s;
    case GameEnd::WindowClosed:
        return u"finestra chiusa"_s;
    case GameEnd::NewGame:
        return u"nuova gara"_s;
    case GameEnd::Interrupted:
        return u"interrotta"_s;
    }
    return {};
}

QString recordColumn(StoreOutcome record)
{
    switch (record) {
    case StoreOutcome::Stored:
        return u"nuovo"_s;
    case StoreOutcome::Failed:
        return u"non salvato"_s;
    case StoreOutcome::NotBeaten:
        break;
    }
    return {};
}

QByteArray registerLine(const GameSummary &game, StoreOutcome record)
{
    const QStringList fields{game.end.toString(u"yyyy-MM-dd"_s),
                             game.end.toString(u"HH:mm:ss"_s),
                             csvField(guardFormula(storedName(game.name))),
                             QString::number(game.right),
                             QString::number(game.wrong),
                             QString::number(game.right + game.wrong),
                             QString::number(game.secondsLeft),
                             endingColumn(game.ending),
                             recordColumn(record)};
    return (fields.join(u';') + u"\r\n"_s).toUtf8();
}

} // namespace mirabolo::records
