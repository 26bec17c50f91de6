// What a screen reader says at each step of the game, so that a pupil who
// cannot see the window can play by ear. The expected answer is never in it.
#pragma once

#include <QString>

namespace mirabolo::game {

struct Exercise;

// "Quanti millilitri sono 19 centilitri?"
QString exerciseQuestion(const Exercise &exercise);

// The verdict as shown, the three counts and the time left.
QString verdictSpeech(const QString &message, int rightCount, int wrongCount, int secondsLeft);

// "Restano 12 minuti", or the seconds in the last minute.
QString timeLeftSpeech(int secondsLeft);

// The pupil's name and the record to beat, as the record files give them
// (whole texts, maybe empty).
QString startSpeech(const QString &name, const QString &recordText, const QString &holderText);

} // namespace mirabolo::game
