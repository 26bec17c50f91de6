#pragma once

#include "platform.h"

namespace mirabolo::ui {

class QtPlatform final : public Platform
{
public:
    int msgBox(const QString &prompt, Buttons buttons = OkOnly, const QString &title = {}) override;
    QString inputBox(const QString &prompt) override;
    QDateTime now() const override;
    QLocale locale() const override;
    void terminate() override;
};

} // namespace mirabolo::ui
