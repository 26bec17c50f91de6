// A label whose caption is a store of the program, not a text for the pupil:
// it is never shown, and assistive technology never reads its caption either
// (the expected answer must not be spoken before the answer is judged).
#pragma once

#include <QLabel>

namespace mirabolo::ui {

class SecretLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SecretLabel(QWidget *parent = nullptr);
};

} // namespace mirabolo::ui
