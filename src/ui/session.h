// Owns the window for the whole run: builds it with its game, and on a new
// game destroys both and builds fresh ones.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

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
    // `classFolder`: where a lab keeps its class record; empty for the
    // pupil's own data folder.
    Session(Platform &desktop, game::RandomSource &draws, QString classFolder = {}, QObject *parent = nullptr);
    ~Session() override;

    // Builds the window, runs its start-up sequence and shows it.
    void start();

    Tavola *window() const;

    // The desktop is ending the session: the game ends as when its window is
    // closed, with its own word in the register, and so does the program,
    // whatever box is open.
    void interrupt();

Q_SIGNALS:
    // The pupil closed the window: the program ends.
    void finished();

private:
    void restart();

    Platform &platform;
    game::RandomSource &random;
    QString classFolder;
    QPointer<Tavola> current;
};

} // namespace mirabolo::ui
