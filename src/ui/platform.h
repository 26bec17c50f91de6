// What the game asks of the desktop: modal boxes, the date and time, the user's
// regional settings and ending the program. The window talks only to this,
// so tests can answer every box from a script.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace mirabolo::ui {

class Platform
{
public:
    // Button sets and answers keep their traditional numbers.
    enum Buttons { OkOnly = 0, YesNoQuestionDefaultNo = 292 };
    enum Answer { Ok = 1, Yes = 6, No = 7 };

    virtual ~Platform() = default;

    // A modal message box. An empty title means the application title,
    // "Mirabolo".
    virtual int msgBox(const QString &prompt, Buttons buttons = OkOnly, const QString &title = {}) = 0;

    // A modal prompt for one line of text; "" when cancelled.
    virtual QString inputBox(const QString &prompt) = 0;

    // Local date and time.
    virtual QDateTime now() const = 0;
    virtual QLocale locale() const = 0;

    // Ends the program: every open box and event loop is left, and nothing
    // of the game runs afterwards.
    virtual void terminate() = 0;
};

inline constexpr char16_t applicationTitle[] = u"Mirabolo";

} // namespace mirabolo::ui
