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
    QDateTime when; // when the answer was judged (local time, as the register's)
    QString name; // the pupil, as the register stores the name
    QDateTime gameStarted; // with the name, which game: the answers of one game share it
    qint8 source = 0; // unit numbers, 1 (ml) to 6 (hl)
    qint8 target = 0;
    qint16 quantity = 0; // 1 to 20
    QString expected; // the text a right answer must match
    QString typed; // the answer as typed
    bool right = false;
    qint16 seconds = 0; // taken to answer, from the exercise on screen to Enter
};

} // namespace mirabolo::classregister
