// A real window under the offscreen platform, with scripted boxes and draws.
#pragma once

#include "application.h"
#include "fakeplatform.h"
#include "scriptedrandom.h"
#include "session.h"
#include "tavola.h"
#include "ui_tavola.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace mirabolo::test {

// Right, wrong and total answers as the three score labels show them.
inline QString scores(const Ui::Tavola &ui)
{
    return ui.lblScore->text() + u'/' + ui.lblScore1->text() + u'/' + ui.lblScore2->text();
}

// Queues the draws of one exercise: a band tint, then source, target and
// quantity taken as they are.
inline void scriptExercise(ScriptedRandom &random, int source, int target, int quantity, int red = 5, int green = 5)
{
    auto pick = [](int value, int first, int count) { return (value - first + 0.5) / count; };
    for (double draw :
         {pick(red, 0, 10), pick(green, 0, 10), pick(source, 1, 6), pick(target, 1, 6), pick(quantity, 1, 20)})
        random.append(draw);
}

// Band b of the 256 starts at device row floor(b * 2 * height / 512).
inline QColor bandColour(int row, int height, int red, int green)
{
    int band = 0;
    while (band < 255 && (band + 1) * 2 * height / 512 <= row)
        ++band;
    return QColor(20 * red, 20 * green, band);
}

struct WindowHarness
{
    QTemporaryDir home; // a fresh data home: no record of an earlier test
    FakePlatform platform;
    ScriptedRandom random;
    std::unique_ptr<ui::Session> session;

    WindowHarness() { qputenv("XDG_DATA_HOME", home.path().toLocal8Bit()); }
    QString dataDir() const { return home.path() + QStringLiteral("/mirabolo/"); }

    // Starts a game, as the program does, whose first exercise is `source` ->
    // `target`; true once that exercise is on screen and the window active.
    bool open(int source = 3, int target = 2, int quantity = 3, const QString &name = QStringLiteral("Zoe"))
    {
        platform.names.enqueue(name);
        scriptExercise(random, source, target, quantity);
        session = std::make_unique<ui::Session>(platform, random);
        session->start();
        if (!QTest::qWaitForWindowExposed(window()) || !QTest::qWaitFor([this] { return random.remaining() == 0; }))
            return false;
        window()->activateWindow();
        return QTest::qWaitForWindowActive(window());
    }

    ui::Tavola *window() const { return session->window(); }
    const Ui::Tavola &ui() const { return window()->form(); }

    void answer(const QString &typed)
    {
        ui().txtAnswer->setFocus();
        ui().txtAnswer->setText(typed);
        QTest::keyClick(ui().txtAnswer, Qt::Key_Return);
    }

    void nextExercise(int source, int target, int quantity, int red = 5, int green = 5)
    {
        scriptExercise(random, source, target, quantity, red, green);
        QTest::keyClick(ui().cmdNext, Qt::Key_Return);
    }
};

} // namespace mirabolo::test

#define MIRABOLO_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        mirabolo::ui::setUpApplication(app);                                                                           \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
