// A scripted desktop for window tests: records every box as "title: prompt"
// (the prompt alone when untitled) and answers from queues. A hook lets a test
// act while a box is open.
#pragma once

#include "platform.h"

#include <QQueue>
#include <QStringList>

#include <functional>

namespace mirabolo::test {

class FakePlatform final : public ui::Platform
{
public:
    int msgBox(const QString &prompt, Buttons buttons = OkOnly, const QString &title = {}) override
    {
        boxes.append(title.isEmpty() ? prompt : title + QStringLiteral(": ") + prompt);
        whileBoxOpen();
        return buttons == OkOnly ? Ok : answers.isEmpty() ? No : answers.dequeue();
    }

    QString inputBox(const QString &prompt) override
    {
        boxes.append(prompt);
        return names.isEmpty() ? QString() : names.dequeue();
    }

    QDateTime now() const override { return {QDate(2026, 12, 6), QTime(17, 5, 9)}; }
    QLocale locale() const override { return {QLocale::Italian, QLocale::Italy}; }
    void terminate() override { ++terminations; }

    QStringList boxes;
    QQueue<int> answers; // for Yes/No boxes; No when empty
    QQueue<QString> names; // "" (cancelled) when empty
    std::function<void()> whileBoxOpen = [] {};
    int terminations = 0;
};

} // namespace mirabolo::test
