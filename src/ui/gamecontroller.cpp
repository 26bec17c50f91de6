#include "ui/gamecontroller.h"

#include "ui/platform.h"

#include "records/endgame.h"
#include "runtime/numbers.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

GameController::GameController(Platform &desktop, game::RandomSource &draws, QString folder, QObject *parent)
    : QObject(parent)
    , platform(desktop)
    , classFolder(std::move(folder))
    , game(draws, desktop.locale(), [&desktop] { return desktop.now(); })
{
    connect(&game, &game::GameModel::ended, this, &GameController::finish);
}

void GameController::greet()
{
    const QString name = platform.inputBox(u"Come ti chiami?"_s);
    platform.msgBox(u" "_s + name + u" vediamo se sei un vero campione  "_s);
    game.begin(name);
}

void GameController::openRecords()
{
    std::optional<QString> recordText;
    std::optional<QString> holderText;
    if (const std::optional<QString> folder = records::recordFolder(classFolder)) {
        records::RecordStore files(*folder, !classFolder.isEmpty());
        if (files.ensureFilesExist()) {
            recordText = records::Leggifiletxt(files.recordFilePath());
            holderText = records::Leggifiletxt(files.holderFilePath());
        }
        recordUsable = recordText && holderText;
        // Record files that cannot be used (a pipe, a folder in their place)
        // must not keep the game out of the register.
        store = std::move(files);
    }
    game.setRecordAtStart(recordText.value_or(QString()), holderText.value_or(QString()));
    if (!recordUsable) // the pupil plays on with an empty record line
        platform.msgBox(QString::fromUtf16(records::recordsUnavailableMessage));
}

bool GameController::confirmNewGame()
{
    if (game.hasEnded())
        return false;
    const Platform::Answer answer = platform.msgBox(
        u"INIZIAMO UNA NUOVA GARA  ?"_s, Platform::Buttons::YesNoQuestionDefaultNo, u"INIZIARE NUOVA GARA"_s);
    // The time may have run out while the question was open.
    if (game.hasEnded() || answer != Platform::Answer::Yes)
        return false;
    game.end(game::GameEnd::NewGame);
    return true;
}

void GameController::finish(const game::GameSummary &summary)
{
    const QString scoreText = runtime::formatWhole(summary.right, u"####0");
    if (!game::comparesRecord(summary.ending)) {
        if (store)
            store->registerOnly(summary);
        return;
    }

    platform.msgBox(records::farewellPrompt(summary.secondsLeft), Platform::Buttons::OkOnly,
                    records::farewellTitle(summary.end.date(), platform.locale()));
    // Without usable record files the record is neither compared nor
    // written, and a beaten record is reported as not saved; the register
    // still gets the game when it can.
    records::EndOfGame result{records::beatsRecord(scoreText, game.recordText()) ? records::StoreOutcome::Failed
                                                                                 : records::StoreOutcome::NotBeaten};
    if (store && recordUsable)
        result = store->finishGame(scoreText, game.recordText(), summary);
    else if (store)
        result.registered = store->registerOnly(summary);

    if (result.record == records::StoreOutcome::Stored)
        platform.msgBox(QString::fromUtf16(records::newRecordMessage));
    else if (result.record == records::StoreOutcome::Failed)
        platform.msgBox(QString::fromUtf16(records::recordNotSavedMessage));
    if (!result.registered)
        platform.msgBox(QString::fromUtf16(records::registerNotWrittenMessage));
    platform.terminate();
}

} // namespace mirabolo::ui
