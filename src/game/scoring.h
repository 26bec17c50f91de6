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

class Scoreboard
{
public:
    // A new game: both counts 0, no exercise open.
    void reset();

    // A new exercise is on screen and may be judged once.
    void openExercise();

    // Compares the typed text with the expected text exactly (no trimming, no
    // conversion to numbers) and counts the verdict. Empty when the exercise
    // on screen has already been judged: the same answer is never counted
    // twice.
    std::optional<Verdict> judge(const QString &typed, const QString &expectedText);

    qint16 rightCount() const { return m_rightCount; }
    qint16 wrongCount() const { return m_wrongCount; }
    int totalCount() const { return int(m_rightCount) + int(m_wrongCount); }
    bool awaitingAnswer() const { return m_awaitingAnswer; }

private:
    qint16 m_rightCount = 0;
    qint16 m_wrongCount = 0;
    bool m_awaitingAnswer = false;
};

} // namespace mirabolo::game
