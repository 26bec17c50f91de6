// The answers of the class as the teacher's program holds them: the figures
// of the period shown, counted from the answers file as it is read, and what
// changed. Only figures are kept, never the lines.
#pragma once

#include "classregister/answerfigures.h"
#include "classregister/registerparser.h"

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

    // Counts afresh for `span` and `list` (another period or class list, or
    // the file read again): the figures shown stay until settle(), so that a
    // file read in slices never shows half its answers.
    void startOver(classregister::DateSpan span, const classregister::ClassList *list = nullptr);
    // Counts afresh from figures counted up to a point of the file (a
    // checkpoint), with the lines skipped up to there.
    void resume(classregister::AnswerFigures figures, qint64 skippedCount, QList<classregister::SkippedLine> lines);
    // Counts one more answer.
    void add(const classregister::AnswerRecord &answer);
    // A line of the answers file that could not be read.
    void skipped(const classregister::SkippedLine &line);
    // The end of a stretch of answers: the figures counted afresh are shown,
    // or those shown grew, with `statusMessage` as the file's state. Says
    // changed() once when anything did.
    void settle(const QString &statusMessage = {});
    // Counting afresh and not yet settled.
    bool rebuilding() const { return building.has_value(); }

    // Why there is nothing to show (no answers file yet, or it cannot be
    // read); empty when the file reads.
    QString statusMessage() const { return status; }

    // The lines of the answers file skipped, and the first of them.
    qint64 skippedCount() const { return shownSkipped.count; }
    const QList<classregister::SkippedLine> &skippedLines() const { return shownSkipped.lines; }

Q_SIGNALS:
    void changed();
    // Counting afresh has begun; changed() follows once it is done.
    void rebuildingStarted();

private:
    struct Skipped
    {
        qint64 count = 0;
        QList<classregister::SkippedLine> lines;
    };

    classregister::AnswerFigures shownFigures;
    Skipped shownSkipped;
    Skipped buildingSkipped;
    std::optional<classregister::AnswerFigures> building;
    bool grew = false;
    QString status;
};

} // namespace mirabolo::registro
