#include "ui/session.h"

#include "ui/gamecontroller.h"
#include "ui/platform.h"
#include "ui/tavola.h"

#include <utility>

namespace mirabolo::ui {

Session::Session(Platform &desktop, game::RandomSource &draws, QString folder, QObject *parent)
    : QObject(parent)
    , platform(desktop)
    , random(draws)
    , classFolder(std::move(folder))
{
}

Session::~Session()
{
    delete current;
}

Tavola *Session::window() const
{
    return current;
}

void Session::start()
{
    // One controller and model per game; they go with their window.
    auto *controller = new GameController(platform, random, classFolder);
    auto *window = new Tavola(platform, *controller);
    controller->setParent(window);
    current = window;
    connect(window, &Tavola::restartRequested, this, &Session::restart);
    connect(window, &Tavola::closedByUser, this, &Session::finished);
    window->Form_Load();
    // The time may have run out while a start-up box was open.
    if (!window->hasEnded())
        window->show();
}

void Session::interrupt()
{
    if (current)
        current->interrupt();
    platform.terminate();
}

void Session::restart()
{
    // Called from inside the old window's handler: it is retired now and
    // deleted once that handler has returned.
    Tavola *old = current;
    old->disconnect(this);
    old->deleteLater();
    start();
}

} // namespace mirabolo::ui
