// A scripted desktop: records every box as "title: prompt" (the prompt alone
// when untitled) and answers from queues. A hook lets a test act while a box
// is open. Its clock never runs: a test delivers each tick itself.
#pragma once

#include "ui/platform.h"

#include <QQueue>
#include <QStringList>

#include <functional>

namespace mirabolo::test {

class FakePlatform final : public ui::Platform
{
public:
    Answer msgBox(const QString &prompt, Buttons buttons = Buttons::OkOnly, const QString &title = {}) override
    {
        boxes.append(title.isEmpty() ? prompt : title + QStringLiteral(": ") + prompt);
        whileBoxOpen();
        return buttons == Buttons::OkOnly ? Answer::Ok : answers.isEmpty() ? Answer::No : answers.dequeue();
    }

    QString inputBox(const QString &prompt) override
    {
        boxes.append(prompt);
        return names.isEmpty() ? QString() : names.dequeue();
    }

    void startTimer(QTimer &) override { }
    QDateTime now() const override { return {QDate(2026, 12, 6), QTime(17, 5, 9)}; }
    QLocale locale() const override { return {QLocale::Italian, QLocale::Italy}; }
    void terminate() override { ++terminations; }

    QStringList boxes;
    QQueue<Answer> answers; // for Yes/No boxes; No when empty
    QQueue<QString> names; // "" (cancelled) when empty
    std::function<void()> whileBoxOpen = [] {};
    int terminations = 0;
};

} // namespace mirabolo::test
