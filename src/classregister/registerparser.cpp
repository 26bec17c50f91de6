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
    while (pos < n) {
        const qsizetype lineEnd = bytes.indexOf('\n', pos);
        const QByteArrayView piece = bytes.sliced(pos, (lineEnd < 0 ? n : lineEnd) - pos);
        if (!overlong && pending.size() + piece.size() > classregister::maxLineBytes + 1) {
            overlong = true;
            pending = QByteArray();
        }
        if (lineEnd < 0) {
            if (!overlong)
                pending += piece;
            return;
        }
        ++lines;
        if (overlong) {
            overlong = false;
            skipLine(SkipReason::TooLong);
        } else if (pending.isEmpty()) {
            takeLine(piece);
        } else {
            pending += piece;
            takeLine(pending);
            pending.clear();
        }
        pos = lineEnd + 1;
    }
}

void RegisterParser::finish()
{
    if (!overlong && pending.isEmpty())
        return;
    ++lines;
    if (overlong)
        skipLine(SkipReason::TooLong);
    else
        takeLine(pending);
    overlong = false;
    pending = QByteArray();
    afterUnterminatedLine = true;
}

QList<GameRecord> RegisterParser::takeGames()
{
    return std::exchange(games, {});
}

void RegisterParser::takeLine(QByteArrayView line)
{
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
        skippedNumbers.append({lines, reason});
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
