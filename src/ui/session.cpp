#include "session.h"

#include "tavola.h"

namespace mirabolo::ui {

Session::Session(Platform &platform, game::RandomSource &random, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_random(random)
{
}

Session::~Session()
{
    delete m_window;
}

Tavola *Session::window() const
{
    return m_window;
}

void Session::start()
{
    auto *window = new Tavola(m_platform, m_random);
    m_window = window;
    connect(window, &Tavola::restartRequested, this, &Session::restart);
    connect(window, &Tavola::closedByUser, this, &Session::finished);
    window->Form_Load();
    // The time may have run out while a start-up box was open.
    if (!window->hasEnded())
        window->show();
}

void Session::restart()
{
    // Called from inside the old window's handler: it is retired now and
    // deleted once that handler has returned.
    Tavola *old = m_window;
    old->disconnect(this);
    old->deleteLater();
    start();
}

} // namespace mirabolo::ui
