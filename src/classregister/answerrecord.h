// One judged exercise as the answers file keeps it, beside the register: who
// answered what, when, in which game. The game writes these and the teacher's
// program reads them into figures (which conversions and which mistakes), so
// both sides share this one type.
#pragma once

#include <QDateTime>
#include <QString>

namespace mirabolo::classregister {

struct AnswerRecord
{
    // When the answer was judged: the clock of the PC that played, with no
    // time zone, held as UTC as GameRecord::when is, so that nothing shifts it.
    QDateTime when;
    QString name; // the pupil, as the register stores the name
    QDateTime gameStarted; // the same way; with the name, which game: the answers of one game share it
    qint8 source = 0; // unit numbers, 1 (ml) to 6 (hl)
    qint8 target = 0;
    qint16 quantity = 0; // 1 to 20
    QString expected; // the text a right answer must match
    QString typed; // the answer as typed (see storedAnswer())
    bool right = false;
    qint16 seconds = 0; // taken to answer, from the exercise on screen to Enter
};

} // namespace mirabolo::classregister
