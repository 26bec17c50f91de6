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

void ClassAnswers::startOver(classregister::DateSpan span)
{
    building.emplace(span);
}

void ClassAnswers::add(const classregister::AnswerRecord &answer)
{
    if (building)
        building->add(answer);
    else
        grew = shownFigures.add(answer) || grew;
}

void ClassAnswers::settle()
{
    if (!building) {
        if (!std::exchange(grew, false))
            return;
    } else {
        shownFigures = std::move(*building);
        building.reset();
    }
    Q_EMIT changed();
}

void ClassAnswers::setStatusMessage(const QString &message)
{
    if (message == status)
        return;
    status = message;
    Q_EMIT changed();
}

} // namespace mirabolo::registro
