// A real window under the offscreen platform, with scripted boxes and draws.
// Its timer never runs: a test calls Timer1_Timer itself.
#pragma once

#include "privatexdg.h"

#include "fakeplatform.h"
#include "scriptedrandom.h"
#include "ui/session.h"
#include "ui/tavola.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace mirabolo::test {

struct GameWindow
{
    QTemporaryDir home; // a fresh data home: no record of an earlier test
    FakePlatform platform;
    ScriptedRandom random;
    std::unique_ptr<ui::Session> session;

    GameWindow() { usePrivateXdg(home.path()); }

    // True once the first exercise is on screen and the window active.
    bool open(const QString &name, int source = 3, int target = 2, int quantity = 3)
    {
        platform.names.enqueue(name);
        random.exercise(source, target, quantity);
        session = std::make_unique<ui::Session>(platform, random);
        session->start();
        QCoreApplication::sendPostedEvents(); // the first exercise
        window()->activateWindow();
        return random.remaining() == 0 && QTest::qWaitForWindowActive(window());
    }

    ui::Tavola *window() const { return session->window(); }
    QWidget *control(const QString &name) const { return window()->findChild<QWidget *>(name); }
    QString text(const QString &name) const { return control(name)->property("text").toString(); }

    void answer(const QString &typed) { QTest::keyClicks(control(QStringLiteral("txtAnswer")), typed + u'\r'); }
};

} // namespace mirabolo::test
