// What the game asks of the desktop: modal boxes, the passing of time, the
// date, the user's regional settings and ending the program. The game talks
// only to this, so tests answer every box and deliver every tick themselves.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class QTimer;

namespace mirabolo::ui {

class Platform
{
public:
    enum class Buttons { OkOnly, YesNoQuestionDefaultNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Platform() = default;

    // A modal message box. An empty title means the application title,
    // "Mirabolo".
    virtual Answer msgBox(const QString &prompt, Buttons buttons = Buttons::OkOnly, const QString &title = {}) = 0;

    // A modal prompt for one line of text; "" when cancelled.
    virtual QString inputBox(const QString &prompt) = 0;

    // Lets the desktop's clock drive one of the game's timers.
    virtual void startTimer(QTimer &timer) = 0;

    // Local date and time.
    virtual QDateTime now() const = 0;
    virtual QLocale locale() const = 0;

    // Ends the program: every open box and event loop is left, and nothing
    // of the game runs afterwards.
    virtual void terminate() = 0;
};

inline constexpr char16_t applicationTitle[] = u"Mirabolo";

} // namespace mirabolo::ui
