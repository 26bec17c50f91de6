#pragma once

#include "ui/platform.h"

namespace mirabolo::ui {

class QtPlatform final : public Platform
{
public:
    Answer msgBox(const QString &prompt, Buttons buttons = Buttons::OkOnly, const QString &title = {}) override;
    QString inputBox(const QString &prompt) override;
    void startTimer(QTimer &timer) override;
    QDateTime now() const override;
    QLocale locale() const override;
    void terminate() override;
};

} // namespace mirabolo::ui
