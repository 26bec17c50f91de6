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

// The counts of one game. Only judge() changes them, so that they saturate
// and count each exercise once.
class Scoreboard
{
public:
    // A new game: both counts 0, no exercise open.
    void reset();

    // A new exercise is on screen and may be judged once.
    void openExercise() { awaiting = true; }

    // Compares the typed text with the expected text exactly (no trimming, no
    // conversion to numbers) and counts the verdict. Empty when the exercise
    // on screen has already been judged: the same answer is never counted
    // twice.
    std::optional<Verdict> judge(const QString &typed, const QString &expectedText);

    int rightCount() const { return right; }
    int wrongCount() const { return wrong; }
    int totalCount() const { return int(right) + int(wrong); }

private:
    qint16 right = 0;
    qint16 wrong = 0;
    bool awaiting = false;
};

} // namespace mirabolo::game
