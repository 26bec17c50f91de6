#include "classregister/registerparser.h"

#include "classregister/classfigures.h"
#include "classregister/registerformat.h"

#include <QLocale>

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

void RegisterParser::feed(QByteArrayView bytes)
{
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    if (afterUnterminatedLine) {
        while (pos < n && bytes[pos] == '\r')
            ++pos;
        if (pos < n) {
            afterUnterminatedLine = false;
            if (bytes[pos] == '\n')
                ++pos;
        }
    }
    splitter.feed(bytes.sliced(pos), [this](QByteArrayView line, bool tooLong) { takeLine(line, tooLong); });
}

void RegisterParser::finish()
{
    if (splitter.finish([this](QByteArrayView line, bool tooLong) { takeLine(line, tooLong); }))
        afterUnterminatedLine = true;
}

QList<GameRecord> RegisterParser::takeGames()
{
    return std::exchange(games, {});
}

void RegisterParser::takeLine(QByteArrayView line, bool tooLong)
{
    if (tooLong) {
        skipLine(SkipReason::TooLong);
        return;
    }
    while (line.endsWith('\r'))
        line.chop(1);
    GameRecord game;
    SkipReason reason = SkipReason::BadQuotes;
    switch (readLine(line, game, &reason)) {
    case LineKind::Other:
        return;
    case LineKind::Unreadable:
        skipLine(reason);
        return;
    case LineKind::Game:
        break;
    }
    if (!admitName(game.name)) {
        ++beyondNames;
        skipLine(SkipReason::TooManyNames);
        return;
    }
    games.append(std::move(game));
}

void RegisterParser::skipLine(SkipReason reason)
{
    ++skipped;
    if (skippedNumbers.size() < maxSkippedLines)
        skippedNumbers.append({splitter.lineCount(), reason});
}

// False for a pupil beyond the first maxNames; else `name` becomes the copy
// kept for that spelling.
bool RegisterParser::admitName(QString &name)
{
    const auto known = names.constFind(name);
    if (known != names.cend()) {
        name = *known;
        return true;
    }
    const QString key = ClassFigures::pupilKey(name);
    if (!pupils.contains(key)) {
        if (pupils.size() >= maxNames)
            return false;
        pupils.insert(key);
    }
    // Beyond this many spellings a file is garbage, not a class: the rest
    // are not shared.
    if (names.size() < 5 * maxNames)
        names.insert(name, name);
    return true;
}

QString skippedLinesText(qint64 count)
{
    if (count == 0)
        return {};
    return count == 1 ? u"1 riga non letta"_s : u"%1 righe non lette"_s.arg(count);
}

QString skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::BadQuotes:
        return u"virgolette fuori posto"_s;
    case SkipReason::TooFewFields:
        return u"mancano delle colonne"_s;
    case SkipReason::ExtraFields:
        return u"colonne in più"_s;
    case SkipReason::BadDate:
        return u"data non leggibile"_s;
    case SkipReason::BadTime:
        return u"ora non leggibile"_s;
    case SkipReason::BadCounts:
        return u"Esatte, Errate o Totali non leggibili"_s;
    case SkipReason::BadTotal:
        return u"Totali diverso da Esatte più Errate"_s;
    case SkipReason::BadSecondsLeft:
        return u"Secondi rimasti non leggibili"_s;
    case SkipReason::UnknownEnding:
        return u"Fine non riconosciuta"_s;
    case SkipReason::UnknownRecord:
        return u"Record non riconosciuto"_s;
    case SkipReason::TooLong:
        return u"riga troppo lunga"_s;
    case SkipReason::TooManyNames:
        return u"un nome oltre i %1 del registro"_s.arg(QLocale().toString(RegisterParser::maxNames));
    case SkipReason::BadGameStart:
        return u"Inizio partita non leggibile"_s;
    case SkipReason::UnknownUnit:
        return u"unità di misura non riconosciute"_s;
    case SkipReason::BadQuantity:
        return u"Quantità non leggibile"_s;
    case SkipReason::UnknownVerdict:
        return u"Esito non riconosciuto"_s;
    case SkipReason::BadSecondsTaken:
        return u"Secondi impiegati non leggibili"_s;
    }
    return {};
}

QString tooManyNamesText(qint64 count)
{
    if (count == 0)
        return {};
    const QLocale locale;
    const QString names = locale.toString(RegisterParser::maxNames);
    return count == 1
        ? u"Il registro ha più di %1 nomi diversi: 1 riga con un nome in più non è stata letta."_s.arg(names)
        : u"Il registro ha più di %1 nomi diversi: %2 righe con nomi in più non sono state lette."_s.arg(
              names, locale.toString(count));
}

} // namespace mirabolo::classregister
