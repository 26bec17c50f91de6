// How the answers' figures read in the window and in the report alike: what
// to go over, the grid of conversions, the kinds of mistake and the wrong
// answers given most often.
#pragma once

#include "classregister/answerfigures.h"

#include <QString>

namespace mirabolo::registro {

// "Nessuna risposta registrata ancora": no answers file, or none in it yet.
QString noAnswersText();
// The same for a period without answers of the class, or of the pupil.
QString noAnswersInPeriodText();
// While the answers are being read.
QString readingAnswersText();

// "7", "1.234": counts of answers, which a school's register takes past an int.
QString answerCountText(qint64 count);

// "ml", "cl", ... as the grid's headings: "da ml", "a cl".
QString fromUnitText(int unit);
QString toUnitText(int unit);

// A cell of the grid: "85% · 40" (right, then answers); "–" for none.
QString pairCellText(const classregister::PairTally &pair);
// What a screen reader says of it: "da dl a cl: 85% giuste su 40 risposte".
QString pairAccessibleText(int source, int target, const classregister::PairTally &pair);

// "Verso sbagliato" and what it means, for a tooltip and the guide.
QString mistakeKindExplanation(game::MistakeKind kind);
// Of the wrong answers: "35%"; "–" with none.
QString mistakeShareText(qint64 mistakes, qint64 wrong);

// "3 dl in cl".
QString exerciseText(const classregister::WrongAnswer &answer);
// The answer as typed, "(vuota)" when nothing was.
QString typedText(const classregister::WrongAnswer &answer);
// "7 volte", "1 volta", "almeno 7 volte" when the table had to make room.
QString timesText(const classregister::CommonAnswer &answer);
// "3 dl in cl: 0,3 — 7 volte".
QString commonAnswerText(const classregister::CommonAnswer &answer);

// "Verso sbagliato: 12 errori su 30 (40%)", "da dl a cl: 8 sbagliate su 20
// (40%)".
QString reviewItemText(const classregister::ReviewItem &item);
// The rule, as the window and the report say it under the list.
QString reviewRuleText();
// When nothing passes it.
QString nothingToReviewText();

} // namespace mirabolo::registro
