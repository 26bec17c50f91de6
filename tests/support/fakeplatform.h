// A scripted desktop for window tests: records every box and answers from
// queues. A hook lets a test act while a box is "open" (ticks, for example).
#pragma once

#include "platform.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace mirabolo::test {

struct Box
{
    QString prompt;
    int buttons = 0;
    QString title;
};

class FakePlatform final : public ui::Platform
{
public:
    int msgBox(const QString &prompt, Buttons buttons = OkOnly, const QString &title = {}) override
    {
        boxes.append({prompt, int(buttons), title.isEmpty() ? QString::fromUtf16(ui::applicationTitle) : title});
        if (whileBoxOpen)
            whileBoxOpen(boxes.last());
        return buttons == OkOnly ? Ok : answers.isEmpty() ? No : answers.dequeue();
    }

    QString inputBox(const QString &prompt) override
    {
        inputPrompts.append(prompt);
        return names.isEmpty() ? QString() : names.dequeue();
    }

    QDateTime now() const override { return time; }
    QLocale locale() const override { return regional; }
    void terminate() override { ++terminations; }

    QList<Box> boxes;
    QStringList inputPrompts;
    QQueue<int> answers; // for Yes/No boxes; No when empty
    QQueue<QString> names; // for the name prompt; "" (cancelled) when empty
    std::function<void(const Box &)> whileBoxOpen;
    QDateTime time{QDate(2026, 12, 6), QTime(17, 5, 9)};
    QLocale regional{QLocale::Italian, QLocale::Italy};
    int terminations = 0;
};

} // namespace mirabolo::test
