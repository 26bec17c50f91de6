// One game as the register of a class holds it.
#pragma once

#include "game/gamesummary.h"

#include <QDateTime>
#include <QString>

namespace mirabolo::classregister {

// The register's "Fine" column: how the game ended.
using Ending = game::GameEnd;

// The register's "Record" column: what became of the game's score. The end
// of the game decides it, the register says it.
enum class RecordMark : quint8 {
    NotBeaten, // the score did not beat the record on disk: nothing written
    Stored, // the record files now hold this game's score
    Failed // the score beat the record but could not be stored
};

// "uscita", "tempo scaduto", "finestra chiusa", "nuova gara", "interrotta".
QString endingText(Ending ending);
// "", "nuovo", "non salvato".
QString recordMarkText(RecordMark mark);

struct GameRecord
{
    // The date and time as the register has them, the clock of the PC that
    // played, with no time zone: held as UTC so that nothing shifts them (and
    // no zone rules are looked up for every line). Show date(), time() or
    // toString(format); toLocalTime() would move them. Seconds are 0 when
    // the register gave only hours and minutes.
    QDateTime when;
    QString name; // as the game stored it, without the guard a spreadsheet needs in front of a formula
    // Counts the reader bounds to 32,767: a school's register holds a
    // hundred thousand games, and each byte here is a tenth of a megabyte.
    qint16 right = 0;
    qint16 wrong = 0;
    qint16 secondsLeft = 0;
    Ending ending = Ending::Exit;
    RecordMark record = RecordMark::NotBeaten;

    int answered() const { return right + wrong; }
    friend bool operator==(const GameRecord &, const GameRecord &) = default;
};

} // namespace mirabolo::classregister

// Moved in memory as plain bytes: a class's list grows without copying names.
Q_DECLARE_TYPEINFO(mirabolo::classregister::GameRecord, Q_RELOCATABLE_TYPE);
