#include "game/exercise.h"
#include "game/scoring.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using namespace mirabolo::game;

namespace {

constexpr int largestCount = std::numeric_limits<qint16>::max();

QString italianAnswer(int source, int target, int quantity)
{
    Exercise exercise;
    exercise.source = source;
    exercise.target = target;
    exercise.quantity = quantity;
    exercise.expected = expectedValue(source, target, quantity);
    return expectedAnswerText(exercise, QLocale(QLocale::Italian, QLocale::Italy));
}

} // namespace

class TestScoring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void judge_data();
    void judge();
    void wrongThenRight();
    void sameExerciseJudgedOnce_data();
    void sameExerciseJudgedOnce();
    void resetClosesTheExercise();
    void countersStopAtTheirLargestValue_data();
    void countersStopAtTheirLargestValue();
};

void TestScoring::judge_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("message");

    // 3 cl into dl
    const QString tenths = u"Sbagliato!! 0,3"_s;
    QTest::newRow("0,3 is right") << 2 << 3 << 3 << u"0,3"_s << true << u"Esatto. Sei proprio ok!!!"_s;
    QTest::newRow("decimal point") << 2 << 3 << 3 << u"0.3"_s << false << tenths;
    QTest::newRow("trailing zero") << 2 << 3 << 3 << u"0,30"_s << false << tenths;
    QTest::newRow("no leading zero") << 2 << 3 << 3 << u",3"_s << false << tenths;
    QTest::newRow("trailing blank") << 2 << 3 << 3 << u"0,3 "_s << false << tenths;
    QTest::newRow("leading blank") << 2 << 3 << 3 << u" 0,3"_s << false << tenths;
    QTest::newRow("empty answer") << 2 << 3 << 3 << QString() << false << tenths;
    // 20 hl into ml
    const QString millions = u"Sbagliato!! 2000000"_s;
    QTest::newRow("2000000 is right") << 6 << 1 << 20 << u"2000000"_s << true << u"Esatto. Sei proprio ok!!!"_s;
    QTest::newRow("grouped with points") << 6 << 1 << 20 << u"2.000.000"_s << false << millions;
    QTest::newRow("grouped with blanks") << 6 << 1 << 20 << u"2 000 000"_s << false << millions;
    QTest::newRow("with decimals") << 6 << 1 << 20 << u"2000000,0"_s << false << millions;
    // 3 cl into l
    QTest::newRow("0,03 is right") << 2 << 4 << 3 << u"0,03"_s << true << u"Esatto. Sei proprio ok!!!"_s;
    QTest::newRow("one zero short") << 2 << 4 << 3 << u"0,3"_s << false << u"Sbagliato!! 0,03"_s;
}

void TestScoring::judge()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, typed);
    QFETCH(bool, right);
    QFETCH(QString, message);

    const QString expected = italianAnswer(source, target, quantity);
    Scoreboard board;
    board.reset();
    board.openExercise();
    const std::optional<Verdict> verdict = board.judge(typed, expected);

    QVERIFY(verdict.has_value());
    QCOMPARE(*verdict == Verdict::Right, right);
    QCOMPARE(verdictMessage(*verdict, expected), message);
    QCOMPARE(int(board.rightCount()), right ? 1 : 0);
    QCOMPARE(int(board.wrongCount()), right ? 0 : 1);
    QCOMPARE(board.totalCount(), 1);
    QVERIFY(!board.awaitingAnswer());
}

void TestScoring::wrongThenRight()
{
    const QString expected = italianAnswer(2, 3, 3);
    Scoreboard board;
    board.reset();

    board.openExercise();
    QCOMPARE(board.judge(u"0.3"_s, expected), std::optional<Verdict>(Verdict::Wrong));
    QCOMPARE(int(board.rightCount()), 0);
    QCOMPARE(int(board.wrongCount()), 1);
    QCOMPARE(board.totalCount(), 1);

    board.openExercise();
    QCOMPARE(board.judge(u"0,3"_s, expected), std::optional<Verdict>(Verdict::Right));
    QCOMPARE(int(board.rightCount()), 1);
    QCOMPARE(int(board.wrongCount()), 1);
    QCOMPARE(board.totalCount(), 2);
}

void TestScoring::sameExerciseJudgedOnce_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("rightCount");
    QTest::addColumn<int>("wrongCount");

    QTest::newRow("right, Enter again") << u"0,3"_s << u"0,3"_s << 1 << 0;
    QTest::newRow("wrong, Enter again") << u"0.3"_s << u"0.3"_s << 0 << 1;
    QTest::newRow("wrong, then corrected") << u"0.3"_s << u"0,3"_s << 0 << 1;
    QTest::newRow("right, then spoilt") << u"0,3"_s << u"3"_s << 1 << 0;
}

void TestScoring::sameExerciseJudgedOnce()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, rightCount);
    QFETCH(int, wrongCount);

    const QString expected = italianAnswer(2, 3, 3);
    Scoreboard board;
    board.reset();
    board.openExercise();
    QVERIFY(board.judge(first, expected).has_value());

    for (int press = 0; press < 3; ++press) {
        QCOMPARE(board.judge(second, expected), std::nullopt);
    }
    QCOMPARE(int(board.rightCount()), rightCount);
    QCOMPARE(int(board.wrongCount()), wrongCount);
    QVERIFY(!board.awaitingAnswer());
}

void TestScoring::resetClosesTheExercise()
{
    const QString expected = italianAnswer(6, 1, 20);
    Scoreboard board;
    board.reset();
    QCOMPARE(board.judge(expected, expected), std::nullopt);

    board.openExercise();
    QVERIFY(board.judge(expected, expected).has_value());
    board.openExercise();
    QVERIFY(board.judge(QString(), expected).has_value());
    board.openExercise();

    board.reset();
    QCOMPARE(int(board.rightCount()), 0);
    QCOMPARE(int(board.wrongCount()), 0);
    QVERIFY(!board.awaitingAnswer());
    QCOMPARE(board.judge(expected, expected), std::nullopt);
    QCOMPARE(board.totalCount(), 0);
}

void TestScoring::countersStopAtTheirLargestValue_data()
{
    QTest::addColumn<int>("rightAnswers");
    QTest::addColumn<int>("wrongAnswers");
    QTest::addColumn<int>("rightCount");
    QTest::addColumn<int>("wrongCount");

    QTest::newRow("right count just fills") << largestCount << 0 << largestCount << 0;
    QTest::newRow("right count past the top") << largestCount + 5 << 0 << largestCount << 0;
    QTest::newRow("wrong count past the top") << 0 << largestCount + 5 << 0 << largestCount;
    QTest::newRow("both past the top") << largestCount + 1 << largestCount + 1 << largestCount << largestCount;
}

void TestScoring::countersStopAtTheirLargestValue()
{
    QFETCH(int, rightAnswers);
    QFETCH(int, wrongAnswers);
    QFETCH(int, rightCount);
    QFETCH(int, wrongCount);

    const QString expected = italianAnswer(1, 2, 5);
    const QString wrong = u"x"_s;
    Scoreboard board;
    board.reset();
    for (int i = 0; i < rightAnswers; ++i) {
        board.openExercise();
        board.judge(expected, expected);
    }
    for (int i = 0; i < wrongAnswers; ++i) {
        board.openExercise();
        board.judge(wrong, expected);
    }
    QCOMPARE(int(board.rightCount()), rightCount);
    QCOMPARE(int(board.wrongCount()), wrongCount);
    QCOMPARE(board.totalCount(), rightCount + wrongCount);

    // A full counter still judges: the game goes on.
    board.openExercise();
    QCOMPARE(board.judge(expected, expected), std::optional<Verdict>(Verdict::Right));
    QCOMPARE(int(board.rightCount()), qMin(rightCount + 1, largestCount));
}

QTEST_GUILESS_MAIN(TestScoring)
#include "test_scoring.moc"
