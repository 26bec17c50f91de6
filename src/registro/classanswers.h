// The answers of the class as the teacher's program holds them: the figures
// of the period shown, counted from the answers file as it is read, and what
// changed. Only figures are kept, never the lines.
#pragma once

#include "classregister/answerfigures.h"

#include <QObject>

#include <optional>

namespace mirabolo::registro {

class ClassAnswers : public QObject
{
    Q_OBJECT

public:
    explicit ClassAnswers(QObject *parent = nullptr);

    const classregister::AnswerFigures &figures() const { return shownFigures; }
    // The class's for an empty name, else the pupil's; null when there are
    // no answers to show.
    const classregister::AnswerTally *tally(const QString &pupil) const;

    // Counts afresh for `span` (another period, or the file read again):
    // the figures shown stay until settle(), so that a file read in slices
    // never shows half its answers.
    void startOver(classregister::DateSpan span);
    // Counts one more answer.
    void add(const classregister::AnswerRecord &answer);
    // The end of a stretch of answers: the figures counted afresh are shown,
    // or those shown grew. Says changed() when they did.
    void settle();
    // Counting afresh and not yet settled.
    bool rebuilding() const { return building.has_value(); }

    // Why there is nothing to show (no answers file yet, or it cannot be
    // read); empty when the file reads.
    QString statusMessage() const { return status; }
    void setStatusMessage(const QString &message);

Q_SIGNALS:
    void changed();

private:
    classregister::AnswerFigures shownFigures;
    std::optional<classregister::AnswerFigures> building;
    bool grew = false;
    QString status;
};

} // namespace mirabolo::registro
