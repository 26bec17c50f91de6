// Texts and decisions of the end of a game, and its line in the register.
#pragma once

#include "classregister/registerformat.h"
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

// NotBeaten, Stored or Failed, as the register's "Record" column says it.
using StoreOutcome = classregister::RecordMark;

// The game's summary comes from the game; the records only store it.
using game::comparesRecord;
using game::GameEnd;
using game::GameSummary;

} // namespace mirabolo::records
