#pragma once

#include "platform.h"

namespace mirabolo::ui {

class QtPlatform final : public Platform
{
public:
    int msgBox(const QString &prompt, Buttons buttons = OkOnly, const QString &title = {}) override;
    QString inputBox(const QString &prompt) override;
    QDate today() const override;
    QLocale locale() const override;
    void terminate() override;
};

} // namespace mirabolo::ui
