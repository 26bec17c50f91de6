// Reads the lines of a register (see registerformat.h), fed in pieces of any
// size. The header line, also where a register was appended to another, is
// passed over. A line that cannot be read is skipped and counted, with the
// reason, never fatal.
//
// A line break always ends a line, even inside quotes: the game never writes
// one in a field (names come from a one-line box), and a stray quote in a
// damaged line must not swallow the good lines after it.
#pragma once

#include "classregister/gamerecord.h"
#include "classregister/registerformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>

namespace mirabolo::classregister {

struct SkippedLine
{
    qint64 number = 0; // 1-based
    SkipReason reason = SkipReason::BadQuotes;
    friend bool operator==(const SkippedLine &, const SkippedLine &) = default;
};

class RegisterParser
{
public:
    // Pupils a register holds at most, told apart as the class's figures
    // tell them (without regard to capitals and blanks). A class, a lab, even
    // a school over the years, has far fewer; the lines of further names are
    // skipped, so that a file of invented names costs no more than this.
    static constexpr qsizetype maxNames = 2000;
    // Only the first few line numbers of the skipped lines are kept, so that a
    // file of garbage cannot fill the memory with them.
    static constexpr qsizetype maxSkippedLines = 300;

    // Reads the complete lines in `bytes`; the rest waits for the next feed.
    void feed(QByteArrayView bytes);

    // The end of the data for now: a last line without a line end is read as
    // it is. Reading may go on with feed(): when the next bytes begin with a
    // line end, it closes the line already read.
    void finish();

    // The last call was finish() and it read a line without its line end.
    bool finishedMidLine() const { return afterUnterminatedLine; }

    // The games read since the last call, in the order of the lines.
    QList<GameRecord> takeGames();

    qint64 skippedCount() const { return skipped; }
    // Of those, the lines of names beyond the first maxNames.
    qint64 skippedForNames() const { return beyondNames; }
    // The first skipped lines (at most maxSkippedLines).
    const QList<SkippedLine> &skippedLines() const { return skippedNumbers; }

private:
    void takeLine(QByteArrayView line);
    void skipLine(SkipReason reason);
    bool admitName(QString &name);

    QByteArray pending; // the start of a line not yet ended
    bool overlong = false; // the current line passed maxLineBytes: dropped up to its end
    bool afterUnterminatedLine = false;
    qint64 lines = 0;
    qint64 skipped = 0;
    qint64 beyondNames = 0;
    QList<SkippedLine> skippedNumbers;
    QList<GameRecord> games;
    // Each pupil's name is kept once however many games they played.
    QHash<QString, QString> names;
    QSet<QString> pupils; // by ClassFigures::pupilKey(), at most maxNames
};

// "1 riga non letta", "3 righe non lette"; empty for none.
QString skippedLinesText(qint64 count);
// "data non leggibile", "Fine non riconosciuta", ...
QString skipReasonText(SkipReason reason);
// Why `count` lines were skipped for their names; empty for none.
QString tooManyNamesText(qint64 count);

} // namespace mirabolo::classregister
