#include "registro/classanswers.h"

namespace mirabolo::registro {

using classregister::AnswerTally;

ClassAnswers::ClassAnswers(QObject *parent)
    : QObject(parent)
{
}

const AnswerTally *ClassAnswers::tally(const QString &pupil) const
{
    const AnswerTally *found = pupil.isEmpty() ? &shownFigures.wholeClass() : shownFigures.pupil(pupil);
    return found != nullptr && found->answers() > 0 ? found : nullptr;
}

void ClassAnswers::startOver(classregister::DateSpan span, const classregister::ClassList *list)
{
    const bool started = !building;
    building.emplace(span, list);
    buildingSkipped = {};
    if (started)
        Q_EMIT rebuildingStarted();
}

void ClassAnswers::resume(classregister::AnswerFigures figures, qint64 skippedCount,
                          QList<classregister::SkippedLine> lines)
{
    const bool started = !building;
    building.emplace(std::move(figures));
    buildingSkipped = {skippedCount, std::move(lines)};
    if (started)
        Q_EMIT rebuildingStarted();
}

void ClassAnswers::add(const classregister::AnswerRecord &answer)
{
    if (building)
        building->add(answer);
    else
        grew = shownFigures.add(answer) || grew;
}

void ClassAnswers::skipped(const classregister::SkippedLine &line)
{
    Skipped &into = building ? buildingSkipped : shownSkipped;
    ++into.count;
    if (into.lines.size() < classregister::RegisterParser::maxSkippedLines)
        into.lines.append(line);
    grew = grew || !building;
}

void ClassAnswers::settle(const QString &statusMessage)
{
    const bool newStatus = std::exchange(status, statusMessage) != statusMessage;
    if (!building) {
        if (!std::exchange(grew, false) && !newStatus)
            return;
    } else {
        shownFigures = std::move(*building);
        shownSkipped = std::exchange(buildingSkipped, {});
        building.reset();
    }
    Q_EMIT changed();
}

} // namespace mirabolo::registro
