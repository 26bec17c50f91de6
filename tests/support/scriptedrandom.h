// A random source that answers from a script and logs what was asked of it,
// so that a test fixes every draw and checks the order of draws and reseeds.
#pragma once

#include "game/random.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <utility>

class ScriptedRandom final : public mirabolo::game::RandomSource
{
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(QList<double> draws)
        : m_draws(std::move(draws))
    {
    }

    void append(double draw) { m_draws.append(draw); }

    void reseed() override { m_log.append(u'R'); }

    double next() override
    {
        // Answering anything beyond the script could loop forever in a redraw.
        if (m_next >= m_draws.size()) {
            qFatal("ScriptedRandom: draw %d was not scripted", int(m_next + 1));
        }
        m_log.append(u'D');
        return m_draws.at(m_next++);
    }

    int remaining() const { return int(m_draws.size() - m_next); }
    // 'R' for a reseed, 'D' for a draw, in the order they happened.
    QString log() const { return m_log; }

private:
    QList<double> m_draws;
    qsizetype m_next = 0;
    QString m_log;
};
