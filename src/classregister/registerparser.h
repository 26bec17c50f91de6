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

#include <cstring>
#include <utility>

namespace mirabolo::classregister {

struct SkippedLine
{
    qint64 number = 0; // 1-based
    SkipReason reason = SkipReason::BadQuotes;
    friend bool operator==(const SkippedLine &, const SkippedLine &) = default;
};

// Cuts bytes fed in pieces of any size into lines. A line longer than
// maxLineBytes is not kept but handed over as too long when its end comes, so
// that a damaged file cannot fill the memory, nor swallow the lines after it.
class LineSplitter
{
public:
    // Calls take(line, tooLong) for each line that ends in `bytes`, without
    // its '\n'; the rest waits for the next feed.
    template<typename Take>
    void feed(QByteArrayView bytes, Take &&take)
    {
        qsizetype pos = 0;
        const qsizetype n = bytes.size();
        while (pos < n) {
            const void *found = std::memchr(bytes.data() + pos, '\n', std::size_t(n - pos));
            const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : -1;
            const QByteArrayView piece = bytes.sliced(pos, (lineEnd < 0 ? n : lineEnd) - pos);
            if (!overlong && pending.size() + piece.size() > maxLineBytes + 1) {
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
                take(QByteArrayView(), true);
            } else if (pending.isEmpty()) {
                take(piece, false);
            } else {
                pending += piece;
                take(QByteArrayView(pending), false);
                pending.clear();
            }
            pos = lineEnd + 1;
        }
    }

    // Hands over a last line without its line end, if there is one.
    template<typename Take>
    bool finish(Take &&take)
    {
        if (!overlong && pending.isEmpty())
            return false;
        ++lines;
        take(QByteArrayView(pending), std::exchange(overlong, false));
        pending = QByteArray();
        return true;
    }

    void clear()
    {
        pending = QByteArray();
        overlong = false;
        lines = 0;
    }

    // The lines handed over, counting from 1.
    qint64 lineCount() const { return lines; }
    // Part of a line waits for its end.
    bool midLine() const { return overlong || !pending.isEmpty(); }
    // As after `lineCount` whole lines: reading goes on where another left off.
    void resumeAfter(qint64 lineCount)
    {
        clear();
        lines = lineCount;
    }

private:
    QByteArray pending; // the start of a line not yet ended
    bool overlong = false; // the current line passed maxLineBytes: dropped up to its end
    qint64 lines = 0;
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
    void takeLine(QByteArrayView line, bool tooLong);
    void skipLine(SkipReason reason);
    bool admitName(QString &name);

    LineSplitter splitter;
    bool afterUnterminatedLine = false;
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
