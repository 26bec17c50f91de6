// The register of a class, "registro.csv": written by the game, one line per
// game, and read by the teacher's program. It opens as a table in a
// spreadsheet with Italian settings: UTF-8 with a byte-order mark, ';'
// between fields, RFC 4180 quoting, CR LF line ends. Everything about its
// bytes is here, so that the writer and the reader cannot disagree.
//
// Beside it, the answers file "risposte.csv" keeps every judged exercise, one
// line each, in the same kind of file and under the same rules.
//
// Reading takes what a spreadsheet saves again as well: no byte-order mark,
// LF line ends, every field quoted, dates as dd/mm/yyyy or dd/mm/yy, times
// without seconds or on a 12-hour clock ("02:53:41 PM"), and text in
// Windows-1252 where a line is not UTF-8.
#pragma once

#include "classregister/answerrecord.h"
#include "classregister/gamerecord.h"
#include "game/gamesummary.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <array>
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

// Why a line was not read as a game or an answer.
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
    TooManyNames,
    BadGameStart,
    UnknownUnit,
    BadQuantity,
    UnknownVerdict,
    BadSecondsTaken
};

enum class LineKind : quint8 {
    Game, // a game (in the answers file an answer), read whole
    Other, // the header (also where a register was appended to another) or a blank line
    Unreadable // anything else
};

// One line without its line end. `game` is set only for LineKind::Game; its
// name is as storedName() gives it. For LineKind::Unreadable, `reason` (if
// given) says why.
LineKind readLine(QByteArrayView line, GameRecord &game, SkipReason *reason = nullptr);

// The answers file. An answer's game is told by the name and the moment the
// game began: the game's line in the register is the first of that name
// whose date and time are not earlier (the register has the end of a game).
// The verdict comes last, as a word: a line cut short anywhere (a power
// failure in the middle of a write) never reads as an answer.
inline constexpr char answersHeader[] = "\xEF\xBB\xBF"
                                        "Data;Ora;Nome;Inizio partita;Da;A;Quantit\xC3\xA0;Soluzione;Risposta;"
                                        "Secondi impiegati;Esito\r\n";

// Typed answers are stored cut to this many UTF-16 units: a paste of a whole
// page is still one line that the reader takes whole.
inline constexpr qsizetype maxAnswerLength = 100;

// The answer as the file keeps it: control characters (a pasted line end or
// tab) become U+FFFD, so that the line stays one and nothing that was typed
// looks like a blank or like nothing; it is cut to maxAnswerLength. Equal to
// the expected text exactly when the typed text was.
QString storedAnswer(QString typed);

// The answer's line, CR LF included; names and answers that a spreadsheet
// would run as a formula get a leading apostrophe, which the reader takes off.
QByteArray answerLine(const game::JudgedAnswer &answer);

// Reads answer lines one by one. It keeps the names, the right answers and
// the common wrong ones already met, so that a school's four million lines
// cost a handful of strings, not three for every line.
class AnswerLineReader
{
public:
    // One line without its line end; `answer` is set only for LineKind::Game.
    LineKind read(QByteArrayView line, AnswerRecord &answer, SkipReason *reason = nullptr);

private:
    // The text of the field last read, when it was decoded from `field`.
    struct Kept
    {
        QByteArray field;
        QString text;
        bool valid = false;
    };
    QDate day(QByteArrayView text);
    const QString &name(QByteArrayView field, bool escapedQuotes);
    const QString &text(QByteArrayView field, bool escapedQuotes, Kept &last, QHash<QByteArray, QString> &known);
    const QString &kept(QByteArrayView field, bool escapedQuotes, Kept &last, QHash<QByteArray, QString> &known,
                        QString (*decode)(QByteArrayView, bool));

    QByteArray lastDayText;
    QDate lastDay;
    QDate lastWhenDay;
    qint64 lastWhenDayStart = 0; // its first moment, in milliseconds since 1970 UTC
    QByteArray lastStartText;
    QDateTime lastStart;
    Kept lastName;
    static constexpr int maxKeptQuantity = 20;
    std::array<Kept, 6 * 6 * maxKeptQuantity> exercises; // by units and quantity
    Kept lastTyped;
    QHash<QByteArray, QString> names;
    QHash<QByteArray, QString> expectedTexts;
    QHash<QByteArray, QString> typedTexts;
};

} // namespace mirabolo::classregister
