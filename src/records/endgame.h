// Texts and decisions of the end of a game, and its line in the register.
#pragma once

#include "game/gamesummary.h"

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>

namespace mirabolo::records {

inline constexpr char16_t newRecordMessage[] = u"Ok ho registrato il tuo record, C A M P I O N E\"";

// When the data directory or the record files cannot be used, the pupil
// still plays; these say so plainly.
inline constexpr char16_t recordsUnavailableMessage[] = u"Non riesco a leggere o a creare i file dei record. Puoi "
                                                        u"giocare lo stesso, ma il record non potrà essere salvato.";
inline constexpr char16_t recordNotSavedMessage[] = u"Purtroppo non sono riuscito a registrare il tuo record.";
inline constexpr char16_t registerNotWrittenMessage[] = u"Non sono riuscito a scrivere il registro delle partite.";

// "Ciao a presto. Ore " followed by the seconds left.
QString farewellPrompt(int secondsLeft);

// "Data " followed by the date in the locale's short format.
QString farewellTitle(const QDate &date, const QLocale &locale);

// The record's value: the leading number of the record file's text, 0 when
// there is none.
double recordValue(const QString &recordText);

// Strictly greater only: a tie keeps the old record.
bool beatsRecord(const QString &scoreText, const QString &recordText);

enum class StoreOutcome : quint8 {
    NotBeaten, // the score does not beat the record on disk: nothing written
    Stored, // both files now hold the new record
    Failed // the score beats the record but it could not be stored
};

// The game's summary comes from the game; the records only store it.
using game::comparesRecord;
using game::GameEnd;
using game::GameSummary;

// The register opens as a table in a spreadsheet with Italian settings:
// UTF-8 with a byte-order mark, ';' between fields, CR LF line ends.
inline constexpr char registerHeader[] = "\xEF\xBB\xBF"
                                         "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n";

// The name as the files keep it: control characters (a pasted line end, an
// escape) become blanks, so that every file keeps one line per record and
// per game.
QString storedName(QString name);

// The register's "Fine" and "Record" columns; the teacher's program reads
// them back with these same texts.
QString endingColumn(GameEnd ending);
QString recordColumn(StoreOutcome record);

// The game's line in the register, CR LF included.
QByteArray registerLine(const GameSummary &game, StoreOutcome record);

} // namespace mirabolo::records
