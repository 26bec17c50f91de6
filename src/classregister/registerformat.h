// The register of a class, "registro.csv": written by the game, one line per
// game, and read by the teacher's program. It opens as a table in a
// spreadsheet with Italian settings: UTF-8 with a byte-order mark, ';'
// between fields, RFC 4180 quoting, CR LF line ends. Everything about its
// bytes is here, so that the writer and the reader cannot disagree.
//
// Reading takes what a spreadsheet saves again as well: no byte-order mark,
// LF line ends, every field quoted, dates as dd/mm/yyyy or dd/mm/yy, times
// without seconds or on a 12-hour clock ("02:53:41 PM"), and text in
// Windows-1252 where a line is not UTF-8.
#pragma once

#include "classregister/gamerecord.h"
#include "game/gamesummary.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace mirabolo::classregister {

inline constexpr char registerHeader[] = "\xEF\xBB\xBF"
                                         "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n";

// A longer line is not a game's: the reader skips it.
inline constexpr qsizetype maxLineBytes = 4096;

// Names are stored cut to this many UTF-16 units, so that every line the game
// writes is one the reader takes whole, whatever the pupil typed.
inline constexpr qsizetype maxNameLength = 100;

// The name as the files keep it and as the teacher's program compares it:
// control characters (a pasted line end, an escape) become blanks, so that
// every file keeps one line per game; invisible format characters (zero-width
// blanks, a reversal of the writing direction) are dropped, so that two names
// that look alike are alike; and it is cut to maxNameLength.
QString storedName(QString name);

// The game's line, CR LF included. A name a spreadsheet would run as a
// formula gets a leading apostrophe, which the reader takes off again.
QByteArray registerLine(const game::GameSummary &game, RecordMark record);

// Tables taken to a spreadsheet are written as the register is: UTF-8 with
// a byte-order mark, ';' between cells, CR LF, RFC 4180 quoting.
inline constexpr char spreadsheetStart[] = "\xEF\xBB\xBF";
// A cell, in quotes when it holds a ';', a quote or a line end, or always
// when `asText`, for a spreadsheet told to take quoted cells as text.
QString spreadsheetCell(const QString &text, bool asText = false);
// A name, guarded as the register guards it, so that no name runs as a
// formula, for any spreadsheet: in quotes, as text.
QString spreadsheetName(const QString &name);
// The guard alone, for a name pasted as it is.
QString guardedName(const QString &name);

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
    TooLong,
    TooManyNames
};

enum class LineKind : quint8 {
    Game, // a game, read whole
    Other, // the header (also where a register was appended to another) or a blank line
    Unreadable // anything else
};

// One line without its line end. `game` is set only for LineKind::Game; its
// name is as storedName() gives it. For LineKind::Unreadable, `reason` (if
// given) says why.
LineKind readLine(QByteArrayView line, GameRecord &game, SkipReason *reason = nullptr);

} // namespace mirabolo::classregister
