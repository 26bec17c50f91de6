// How a game ended, and what is kept of it once over and of each answer.
#pragma once

#include <QDateTime>
#include <QString>

namespace mirabolo::game {

// Only the first two run the end of game; the others leave just their line in
// the register, so the teacher sees every game played. Interrupted: the
// desktop ended the session (a logout, a shutdown).
enum class GameEnd : quint8 { Exit, TimeOut, WindowClosed, NewGame, Interrupted };

constexpr bool comparesRecord(GameEnd ending)
{
    return ending == GameEnd::Exit || ending == GameEnd::TimeOut;
}

struct GameSummary
{
    QDateTime end; // local time
    QString name; // as typed
    int right = 0;
    int wrong = 0;
    int secondsLeft = 0;
    GameEnd ending = GameEnd::Exit;
};

// One exercise once judged, as the teacher needs it to see what to reteach.
struct JudgedAnswer
{
    QDateTime when; // of the verdict, local time
    QString name; // as typed
    QDateTime gameStart; // local time; with the name, it tells the answer's game
    int source = 0; // unit numbers, 1 (ml) to 6 (hl)
    int target = 0;
    int quantity = 0;
    QString expected; // the text a right answer matches
    QString typed;
    bool right = false;
    int seconds = 0; // by the game's clock, from the exercise on screen to its verdict
};

} // namespace mirabolo::game
