// A random source that answers from a script and logs what was asked of it
// ('R' a reseed, 'D' a draw), so a test fixes every draw and checks their order.
#pragma once

#include "game/random.h"

#include <QList>
#include <QString>

class ScriptedRandom final : public mirabolo::game::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> script = {}) { draws = std::move(script); }

    void append(double draw) { draws.append(draw); }
    // One exercise's draws: the band tint, then source, target and quantity.
    void exercise(int source, int target, int quantity, int red = 5, int green = 5)
    {
        draws << (red + 0.5) / 10 << (green + 0.5) / 10 << (source - 0.5) / 6 << (target - 0.5) / 6
              << (quantity - 0.5) / 20;
    }
    void reseed() override { calls.append(u'R'); }
    double next() override
    {
        // Answering beyond the script could loop forever in a redraw.
        if (drawn >= draws.size())
            qFatal("ScriptedRandom: draw %d was not scripted", int(drawn + 1));
        calls.append(u'D');
        return draws.at(drawn++);
    }

    int remaining() const { return int(draws.size() - drawn); }
    QString log() const { return calls; }

private:
    QList<double> draws;
    qsizetype drawn = 0;
    QString calls;
};
