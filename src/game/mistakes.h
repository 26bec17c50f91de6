// The kind of a wrong answer, so that a teacher sees which idea to go over
// again rather than a score.
#pragma once

#include <QLocale>
#include <QString>

namespace mirabolo::game {

enum class MistakeKind {
    None, // the answer is right
    NotANumber, // empty, letters, two commas
    WrittenWrongly, // the right number written otherwise: a point, a trailing comma, extra zeros, blanks
    Reversed, // multiplied where it should divide, or the reverse
    CommaMisplaced, // the right digits, the comma moved (decimals on either side)
    OneStep, // whole numbers, a factor of 10 off
    ManySteps, // whole numbers, a factor of 100 or more off
    OtherDigits, // a calculation or reading slip
};

// Compares digits, never floating-point values: `typed` is read as the
// locale writes decimals (a point is taken for the comma), `expected` is the
// text a right answer must match. `source` and `target` are unit numbers.
MistakeKind classifyAnswer(const QString &typed, const QString &expected, int source, int target, int quantity,
                           const QLocale &locale);

// The kind's name as the teacher reads it.
QString mistakeKindName(MistakeKind kind);

} // namespace mirabolo::game
