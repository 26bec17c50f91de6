// What the report says of the answers, laid out on its pages: the class's
// "Cosa ripassare" page, and a short section in each pupil's part.
#pragma once

#include <QString>

namespace mirabolo::classregister {
class AnswerTally;
}
namespace mirabolo::report {
class PageFlow;
}

namespace mirabolo::registro {

class ClassAnswers;

// The class's answers in the period, or why there are none.
void layOutClassAnswers(report::PageFlow &flow, const ClassAnswers &answers);
// A pupil's: what to go over and the wrong answers given most often; nothing
// when the pupil has no answers in the period.
void layOutPupilAnswers(report::PageFlow &flow, const classregister::AnswerTally *tally);

} // namespace mirabolo::registro
