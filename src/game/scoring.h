// Judging answers and counting them.
#pragma once

#include <QString>

#include <optional>

namespace mirabolo::game {

enum class Verdict { Right, Wrong };

inline constexpr char16_t rightMessage[] = u"Esatto. Sei proprio ok!!!";
inline constexpr char16_t wrongMessagePrefix[] = u"Sbagliato!! ";

// The verdict line: the praise, or the reproach followed by the expected text.
QString verdictMessage(Verdict verdict, const QString &expectedText);

// The counts are the game state as the score labels show it; only judge()
// changes them, so that they saturate and count each exercise once.
struct Scoreboard
{
    // A new game: both counts 0, no exercise open.
    void reset();

    // A new exercise is on screen and may be judged once.
    void openExercise();

    // Compares the typed text with the expected text exactly (no trimming, no
    // conversion to numbers) and counts the verdict. Empty when the exercise
    // on screen has already been judged: the same answer is never counted
    // twice.
    std::optional<Verdict> judge(const QString &typed, const QString &expectedText);

    int totalCount() const { return int(rightCount) + int(wrongCount); }

    qint16 rightCount = 0;
    qint16 wrongCount = 0;
    bool awaitingAnswer = false;
};

} // namespace mirabolo::game
