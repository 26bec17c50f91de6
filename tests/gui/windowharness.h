// A real window under the offscreen platform, with scripted boxes and draws.
#pragma once

#include "fakeplatform.h"
#include "scriptedrandom.h"
#include "tavola.h"

#include <QTest>

#include <memory>

namespace mirabolo::test {

// Queues the draws that make one exercise: a band tint, then source, target
// and quantity taken as they are.
inline void scriptExercise(ScriptedRandom &random, int source, int target, int quantity, int red = 5, int green = 5)
{
    auto pick = [](int value, int first, int count) { return (value - first + 0.5) / count; };
    random.append(pick(red, 0, 10));
    random.append(pick(green, 0, 10));
    random.append(pick(source, 1, 6));
    random.append(pick(target, 1, 6));
    random.append(pick(quantity, 1, 20));
}

struct WindowHarness
{
    FakePlatform platform;
    ScriptedRandom random;
    std::unique_ptr<ui::Tavola> window;

    // Loads and shows a window whose first exercise is `source` -> `target`.
    void open(int source = 3, int target = 2, int quantity = 3, const QString &name = QStringLiteral("Zoe"))
    {
        platform.names.enqueue(name);
        scriptExercise(random, source, target, quantity);
        window = std::make_unique<ui::Tavola>(platform, random);
        window->Form_Load();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(random.remaining(), 0); // the first exercise is on screen
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    const Ui::Tavola &ui() const { return window->form(); }

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
