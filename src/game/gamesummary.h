// How a game ended, and what is kept of it once over.
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

} // namespace mirabolo::game
