// Owns the window for the whole run: builds it, and on a new game destroys
// it and builds a fresh one from the form.
#pragma once

#include <QObject>
#include <QPointer>

namespace mirabolo::game {
class RandomSource;
}

namespace mirabolo::ui {

class Platform;
class Tavola;

class Session : public QObject
{
    Q_OBJECT

public:
    Session(Platform &desktop, game::RandomSource &draws, QObject *parent = nullptr);
    ~Session() override;

    // Builds the window, runs its start-up sequence and shows it.
    void start();

    Tavola *window() const;

Q_SIGNALS:
    // The pupil closed the window: the program ends.
    void finished();

private:
    void restart();

    Platform &platform;
    game::RandomSource &random;
    QPointer<Tavola> current;
};

} // namespace mirabolo::ui
