// The start-up and the end of a game as the pupil meets them, with no window:
// the boxes in their order, the record files read once at the start, the
// record and the register written once at the end.
#pragma once

#include "game/gamemodel.h"
#include "records/recordstore.h"

#include <QObject>

#include <optional>

namespace mirabolo::ui {

class Platform;

class GameController : public QObject
{
    Q_OBJECT

public:
    // `classFolder`: where a lab keeps its class record; empty for the
    // pupil's own data folder.
    GameController(Platform &desktop, game::RandomSource &draws, QString classFolder = {}, QObject *parent = nullptr);

    game::GameModel &model() { return game; }

    // The start-up before the window is built: the name prompt and the
    // greeting; the game begins.
    void greet();

    // The start-up once the clock runs: the record files, or the box that
    // says they cannot be used this game.
    void openRecords();

    // The new-game question. On Yes this game is over and only its register
    // line is written.
    bool confirmNewGame();

private:
    // The end of a game, once: the farewell, the record, the register and the
    // program's end; a game left unfinished only gets its register line.
    void finish(const game::GameSummary &summary);

    Platform &platform;
    QString classFolder;
    game::GameModel game;
    std::optional<records::RecordStore> store; // none: no folder for the records this game
    bool recordUsable = false; // false: only the register is written
};

} // namespace mirabolo::ui
