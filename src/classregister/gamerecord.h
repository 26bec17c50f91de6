// One game as the register of a class holds it.
#pragma once

#include <QDateTime>
#include <QString>

namespace mirabolo::classregister {

// How the game ended: its "Fine" column.
enum class Ending : quint8 { Exit, TimeOut, WindowClosed, NewGame };

// What became of the class record: its "Record" column.
enum class RecordMark : quint8 { None, New, NotSaved };

// "uscita", "tempo scaduto", "finestra chiusa", "nuova gara".
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
    QString name; // as typed, without the guard a spreadsheet needs in front of a formula
    int right = 0;
    int wrong = 0;
    int secondsLeft = 0;
    Ending ending = Ending::Exit;
    RecordMark record = RecordMark::None;

    int answered() const { return right + wrong; }
    friend bool operator==(const GameRecord &, const GameRecord &) = default;
};

} // namespace mirabolo::classregister

// Moved in memory as plain bytes: a class's list grows without copying names.
Q_DECLARE_TYPEINFO(mirabolo::classregister::GameRecord, Q_RELOCATABLE_TYPE);
