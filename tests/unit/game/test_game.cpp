#include "game/exercise.h"
#include "game/random.h"
#include "game/scoring.h"
#include "game/units.h"
#include "scriptedrandom.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using namespace mirabolo::game;

namespace {

// The exact decimal text of quantity × 10^shift, worked out on the digits
// rather than in floating point.
QString decimalText(int quantity, int shift)
{
    if (shift >= 0) {
        return QString::number(quantity) + QString(shift, u'0');
    }
    QString digits = QString::number(quantity).rightJustified(1 - shift, u'0');
    digits.insert(digits.size() + shift, u'.');
    return digits.remove(QRegularExpression(u"\\.?0+$"_s));
}

// Right, wrong and total, as the three score labels show them.
QList<int> counts(const Scoreboard &board)
{
    return {board.rightCount(), board.wrongCount(), board.totalCount()};
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void expectedAnswerText_data();
    void expectedAnswerText();
    void answerTextsOfAllExercises();
    void scriptedDraws_data();
    void scriptedDraws();
    void seededDrawsCoverEveryExercise();
    void judge_data();
    void judge();
    void wrongThenRight();
    void countersStopAtTheirLargestValue();
};

void TestGame::expectedAnswerText_data()
{
    QTest::addColumn<int>("source"); // ml 1, cl 2, dl 3, l 4, dal 5, hl 6
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("italianText");
    QTest::addColumn<QString>("cText");

    QTest::newRow("3 dl into cl") << 3 << 2 << 3 << u"30"_s << u"30"_s;
    QTest::newRow("3 cl into dl") << 2 << 3 << 3 << u"0,3"_s << u"0.3"_s;
    QTest::newRow("12 l into dal") << 4 << 5 << 12 << u"1,2"_s << u"1.2"_s;
    QTest::newRow("11 dl into hl") << 3 << 6 << 11 << u"0,011"_s << u"0.011"_s;
    QTest::newRow("10 ml into hl") << 1 << 6 << 10 << u"0,0001"_s << u"0.0001"_s;
    QTest::newRow("15 ml into hl") << 1 << 6 << 15 << u"0,00015"_s << u"0.00015"_s;
    QTest::newRow("19 hl into l") << 6 << 4 << 19 << u"1900"_s << u"1900"_s;
    QTest::newRow("20 hl into ml") << 6 << 1 << 20 << u"2000000"_s << u"2000000"_s;
    QTest::newRow("1 ml into hl") << 1 << 6 << 1 << u"0,00001"_s << u"0.00001"_s;
    QTest::newRow("9 ml into hl") << 1 << 6 << 9 << u"0,00009"_s << u"0.00009"_s;
}

// Goes the whole way from the draws to the text the pupil must type; the
// row names also check the unit abbreviations.
void TestGame::expectedAnswerText()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, italianText);
    QFETCH(QString, cText);

    ScriptedRandom random({0.5, 0.5, (source - 0.5) / 6, (target - 0.5) / 6, (quantity - 0.5) / 20});
    const Exercise e = drawExercise(random);
    QCOMPARE(u"%1 %2 into %3"_s.arg(e.quantity).arg(unitAbbreviation(e.source), unitAbbreviation(e.target)),
             QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(mirabolo::game::expectedAnswerText(e, QLocale(QLocale::Italian, QLocale::Italy)), italianText);
    QCOMPARE(mirabolo::game::expectedAnswerText(e, QLocale::c()), cText);
}

// Every exercise the game can set reads as plain decimals: no exponent, no
// grouping, no binary noise.
void TestGame::answerTextsOfAllExercises()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (int source = firstUnit; source <= lastUnit; ++source) {
        for (int target = firstUnit; target <= lastUnit; ++target) {
            for (int quantity = 1; quantity <= 20 && source != target; ++quantity) {
                const Exercise e{0, 0, source, target, quantity, expectedValue(source, target, quantity)};
                const QString exact = decimalText(quantity, source - target);
                QCOMPARE(mirabolo::game::expectedAnswerText(e, QLocale::c()), exact);
                QCOMPARE(mirabolo::game::expectedAnswerText(e, italian), QString(exact).replace(u'.', u','));
            }
        }
    }
}

void TestGame::scriptedDraws_data()
{
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QList<int>>("drawn"); // red, green, source, target, quantity
    QTest::addColumn<QString>("log"); // R: reseed, D: draw

    QTest::newRow("red redrawn on 0, green 0 kept")
        << QList<double>{0.05, 0.34, 0.0, 0.0, 0.2, 0.5} << QList<int>{3, 0, 1, 2, 11} << u"RDDDRDDD"_s;
    QTest::newRow("red redrawn until not 0")
        << QList<double>{0.0, 0.09, 0.099, 0.95, 0.99, 0.99, 0.0, 0.0} << QList<int>{9, 9, 6, 1, 1} << u"RDDDDDRDDD"_s;
    QTest::newRow("units redrawn while equal, source first")
        << QList<double>{0.5, 0.5, 0.0, 0.1, 0.9, 0.99, 0.3, 0.6, 0.999} << QList<int>{5, 5, 2, 4, 20}
        << u"RDDRDDDDDDD"_s;
    QTest::newRow("edges of the unit draws")
        << QList<double>{0.1, 0.0, 0.1666, 0.1667, 0.05} << QList<int>{1, 0, 1, 2, 2} << u"RDDRDDD"_s;
}

void TestGame::scriptedDraws()
{
    QFETCH(QList<double>, draws);
    QFETCH(QList<int>, drawn);
    QFETCH(QString, log);

    ScriptedRandom random(draws);
    const Exercise e = drawExercise(random);
    QCOMPARE((QList<int>{e.bandRed, e.bandGreen, e.source, e.target, e.quantity}), drawn);
    QCOMPARE(e.expected, expectedValue(e.source, e.target, e.quantity));
    QCOMPARE(random.log(), log);
    QCOMPARE(random.remaining(), 0);
}

// Also proves that every exercise reseeds afresh: a reseed that repeated the
// sequence would set the same exercise again and again.
void TestGame::seededDrawsCoverEveryExercise()
{
    ClockSeededRandom random;
    QSet<int> pairs, quantities, reds, greens;
    // 3000 runs leave a given pair out with a chance below 1e-40; a value
    // out of range would show as one too many.
    for (int run = 0; run < 3000; ++run) {
        const Exercise e = drawExercise(random);
        QVERIFY(e.source != e.target);
        pairs.insert(e.source * 10 + e.target);
        quantities.insert(e.quantity);
        reds.insert(e.bandRed);
        greens.insert(e.bandGreen);
    }
    QCOMPARE(pairs.size(), 30);
    QCOMPARE(quantities.size(), 20);
    QCOMPARE(reds.size(), 9);
    QCOMPARE(greens.size(), 10);
}

void TestGame::judge_data()
{
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("right");

    QTest::newRow("0,3 is right") << u"0,3"_s << u"0,3"_s << true;
    QTest::newRow("decimal point") << u"0,3"_s << u"0.3"_s << false;
    QTest::newRow("trailing zero") << u"0,3"_s << u"0,30"_s << false;
    QTest::newRow("no leading zero") << u"0,3"_s << u",3"_s << false;
    QTest::newRow("trailing blank") << u"0,3"_s << u"0,3 "_s << false;
    QTest::newRow("empty answer") << u"0,3"_s << QString() << false;
    QTest::newRow("2000000 is right") << u"2000000"_s << u"2000000"_s << true;
    QTest::newRow("grouped") << u"2000000"_s << u"2.000.000"_s << false;
}

// One verdict per exercise: Enter again, with the same or a corrected
// answer, changes nothing until the next exercise.
void TestGame::judge()
{
    QFETCH(QString, expected);
    QFETCH(QString, typed);
    QFETCH(bool, right);

    Scoreboard board;
    board.reset();
    board.openExercise();
    const std::optional<Verdict> verdict = board.judge(typed, expected);
    QCOMPARE(verdict, std::optional(right ? Verdict::Right : Verdict::Wrong));
    QCOMPARE(verdictMessage(*verdict, expected), right ? u"Esatto. Sei proprio ok!!!"_s : u"Sbagliato!! "_s + expected);
    QCOMPARE(board.judge(typed, expected), std::nullopt);
    QCOMPARE(board.judge(expected, expected), std::nullopt);
    QCOMPARE(counts(board), (QList<int>{right ? 1 : 0, right ? 0 : 1, 1}));
}

void TestGame::wrongThenRight()
{
    const QString expected = u"0,3"_s;
    Scoreboard board;
    board.reset();
    QCOMPARE(board.judge(expected, expected), std::nullopt); // no exercise on screen yet
    board.openExercise();
    QCOMPARE(board.judge(u"0.3"_s, expected), std::optional(Verdict::Wrong));
    QCOMPARE(counts(board), (QList<int>{0, 1, 1}));
    board.openExercise();
    QCOMPARE(board.judge(expected, expected), std::optional(Verdict::Right));
    QCOMPARE(counts(board), (QList<int>{1, 1, 2}));
}

void TestGame::countersStopAtTheirLargestValue()
{
    constexpr int largest = std::numeric_limits<qint16>::max();
    const QString expected = u"50"_s;
    Scoreboard board;
    board.reset();
    for (int i = 0; i < 2 * (largest + 1); ++i) {
        board.openExercise();
        board.judge(i <= largest ? expected : u"x"_s, expected);
    }
    QCOMPARE(counts(board), (QList<int>{largest, largest, 2 * largest}));
    // A full counter still judges: the game goes on.
    board.openExercise();
    QCOMPARE(board.judge(expected, expected), std::optional(Verdict::Right));
}

QTEST_GUILESS_MAIN(TestGame)
#include "test_game.moc"
