// Reads the lines of a register, fed in pieces of any size, as the game writes
// them and as a spreadsheet saves them again: with or without the UTF-8
// byte-order mark, CR LF or LF line ends or both, fields quoted or not, dates
// as yyyy-mm-dd, dd/mm/yyyy or dd/mm/yy, times with or without seconds, on a
// 24-hour clock or with AM and PM. The header line, also where a register was
// appended to another, is passed over. A line that cannot be read is skipped
// and counted, with the reason, never fatal.
//
// A line break always ends a line, even inside quotes: the game never writes
// one in a field (names come from a one-line box), and a stray quote in a
// damaged line must not swallow the good lines after it.
//
// Text that is not UTF-8 is read as Windows-1252, what a spreadsheet on an
// Italian Windows PC saves; each line is judged on its own, since a file may
// mix both.
#pragma once

#include "classregister/gamerecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

#include <optional>

namespace mirabolo::classregister {

// Why a line was not read as a game.
enum class SkipReason : quint8 {
    BadQuotes,
    TooFewFields,
    ExtraFields,
    BadDate,
    BadTime,
    BadCounts,
    BadTotal,
    BadSecondsLeft,
    UnknownEnding,
    UnknownRecord,
    TooLong
};

struct SkippedLine
{
    qint64 number = 0; // 1-based
    SkipReason reason = SkipReason::BadQuotes;
    friend bool operator==(const SkippedLine &, const SkippedLine &) = default;
};

class RegisterParser
{
public:
    // A longer line is skipped without being kept whole in memory.
    static constexpr qsizetype maxLineBytes = 4096;
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
    // The first skipped lines (at most maxSkippedLines).
    const QList<SkippedLine> &skippedLines() const { return skippedNumbers; }

private:
    // The game on one line (no line end), or nothing for a header, blank or
    // unreadable line; `refused` says why for the last.
    static std::optional<GameRecord> parseLine(QByteArrayView line, std::optional<SkipReason> *refused);
    void takeLine(QByteArrayView line);
    void skipLine(SkipReason reason);
    QString sharedName(const QString &name);

    QByteArray pending; // the start of a line not yet ended
    bool overlong = false; // the current line passed maxLineBytes: dropped up to its end
    bool afterUnterminatedLine = false;
    qint64 lines = 0;
    qint64 skipped = 0;
    QList<SkippedLine> skippedNumbers;
    QList<GameRecord> games;
    // Each pupil's name is kept once however many games they played.
    QHash<QString, QString> names;
};

// "1 riga non letta", "3 righe non lette"; empty for none.
QString skippedLinesText(qint64 count);
// "data non leggibile", "Fine non riconosciuta", ...
QString skipReasonText(SkipReason reason);

} // namespace mirabolo::classregister
