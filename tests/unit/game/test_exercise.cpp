#include "game/exercise.h"
#include "game/random.h"
#include "game/units.h"
#include "scriptedrandom.h"

#include <QSet>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace mirabolo::game;

namespace {

// A draw that the generator turns into the given unit number or quantity.
double drawForUnit(int unit)
{
    return (unit - 0.5) / 6.0;
}

double drawForQuantity(int quantity)
{
    return (quantity - 0.5) / 20.0;
}

} // namespace

class TestExercise : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void expectedAnswerText_data();
    void expectedAnswerText();
    void answerTextsOfAllExercises();
    void scriptedDraws_data();
    void scriptedDraws();
    void bandColour_data();
    void bandColour();
    void clockSeededDrawsCoverEveryExercise();
    void reseedStartsAFreshSequence();
    void unitNames_data();
    void unitNames();
};

void TestExercise::expectedAnswerText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("text");

    struct Row
    {
        const char *name;
        int source;
        int target;
        int quantity;
        QString italianText;
        QString cText;
    };
    // ml 1, cl 2, dl 3, l 4, dal 5, hl 6
    const Row rows[] = {
        {"3 dl into cl", 3, 2, 3, u"30"_s, u"30"_s},           {"3 cl into dl", 2, 3, 3, u"0,3"_s, u"0.3"_s},
        {"12 l into dal", 4, 5, 12, u"1,2"_s, u"1.2"_s},       {"11 dl into hl", 3, 6, 11, u"0,011"_s, u"0.011"_s},
        {"10 ml into hl", 1, 6, 10, u"0,0001"_s, u"0.0001"_s}, {"15 ml into hl", 1, 6, 15, u"0,00015"_s, u"0.00015"_s},
        {"19 hl into l", 6, 4, 19, u"1900"_s, u"1900"_s},      {"20 hl into ml", 6, 1, 20, u"2000000"_s, u"2000000"_s},
        {"1 ml into hl", 1, 6, 1, u"0,00001"_s, u"0.00001"_s}, {"9 ml into hl", 1, 6, 9, u"0,00009"_s, u"0.00009"_s},
        {"3 cl into l", 2, 4, 3, u"0,03"_s, u"0.03"_s},
    };
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (const Row &row : rows) {
        QTest::addRow("%s, it_IT", row.name) << italian << row.source << row.target << row.quantity << row.italianText;
        QTest::addRow("%s, C", row.name) << QLocale::c() << row.source << row.target << row.quantity << row.cText;
    }
}

// Goes the whole way from the draws to the text the pupil must type.
void TestExercise::expectedAnswerText()
{
    QFETCH(QLocale, locale);
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, text);

    ScriptedRandom random({0.5, 0.5, drawForUnit(source), drawForUnit(target), drawForQuantity(quantity)});
    const Exercise exercise = drawExercise(random);

    QCOMPARE(exercise.source, source);
    QCOMPARE(exercise.target, target);
    QCOMPARE(exercise.quantity, quantity);
    QCOMPARE(mirabolo::game::expectedAnswerText(exercise, locale), text);
}

// Every exercise the game can set reads as plain decimals: no exponent, no
// grouping, no binary noise, and the same digits in both locales.
void TestExercise::answerTextsOfAllExercises()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (int source = firstUnit; source <= lastUnit; ++source) {
        for (int target = firstUnit; target <= lastUnit; ++target) {
            if (source == target) {
                continue;
            }
            for (int quantity = 1; quantity <= 20; ++quantity) {
                Exercise exercise;
                exercise.source = source;
                exercise.target = target;
                exercise.quantity = quantity;
                exercise.expected = expectedValue(source, target, quantity);
                const QString cText = mirabolo::game::expectedAnswerText(exercise, QLocale::c());
                const QString itText = mirabolo::game::expectedAnswerText(exercise, italian);
                const QByteArray where = QByteArray::number(quantity) + ' ' + unitAbbreviation(source).toLatin1() +
                    " into " + unitAbbreviation(target).toLatin1() + ": " + cText.toLatin1();

                for (const QChar c : cText) {
                    QVERIFY2(c.isDigit() || c == u'.', where.constData());
                }
                QVERIFY2(!cText.endsWith(u'0') || !cText.contains(u'.'), where.constData());

                // The nearest double to the exact decimal answer.
                const int shift = source - target;
                const double exact = shift >= 0 ? quantity * std::pow(10.0, shift) : quantity / std::pow(10.0, -shift);
                bool ok = false;
                const double parsed = QLocale::c().toDouble(cText, &ok);
                QVERIFY2(ok && parsed == exact, where.constData());

                QString commaText = cText;
                commaText.replace(u'.', u',');
                QCOMPARE(itText, commaText);
            }
        }
    }
}

void TestExercise::scriptedDraws_data()
{
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("log");

    QTest::newRow("red redrawn on 0, green 0 kept")
        << QList<double>{0.05, 0.34, 0.0, 0.0, 0.2, 0.5} << 3 << 0 << 1 << 2 << 11 << u"RDDDRDDD"_s;
    QTest::newRow("red redrawn until not 0")
        << QList<double>{0.0, 0.09, 0.099, 0.95, 0.99, 0.99, 0.0, 0.0} << 9 << 9 << 6 << 1 << 1 << u"RDDDDDRDDD"_s;
    QTest::newRow("units redrawn while equal, source first")
        << QList<double>{0.5, 0.5, 0.0, 0.1, 0.9, 0.99, 0.3, 0.6, 0.999} << 5 << 5 << 2 << 4 << 20 << u"RDDRDDDDDDD"_s;
    QTest::newRow("edges of the unit draws")
        << QList<double>{0.1, 0.0, 0.1666, 0.1667, 0.05} << 1 << 0 << 1 << 2 << 2 << u"RDDRDDD"_s;
    QTest::newRow("draws outside 0..1 held in range")
        << QList<double>{1.0, 1.0, 1.0, -0.3, 1.0} << 9 << 9 << 6 << 1 << 20 << u"RDDRDDD"_s;
}

void TestExercise::scriptedDraws()
{
    QFETCH(QList<double>, draws);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, log);

    ScriptedRandom random(draws);
    const Exercise exercise = drawExercise(random);

    QCOMPARE(exercise.bandRed, red);
    QCOMPARE(exercise.bandGreen, green);
    QCOMPARE(exercise.source, source);
    QCOMPARE(exercise.target, target);
    QCOMPARE(exercise.quantity, quantity);
    QCOMPARE(exercise.expected, expectedValue(source, target, quantity));
    QCOMPARE(random.log(), log);
    QCOMPARE(random.remaining(), 0);
}

void TestExercise::bandColour_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("expectedRed");
    QTest::addColumn<int>("expectedGreen");
    QTest::addColumn<int>("expectedBlue");

    QTest::newRow("top band, palest tint") << 1 << 0 << 0 << 20 << 0 << 0;
    QTest::newRow("bottom band, palest tint") << 1 << 0 << bandCount - 1 << 20 << 0 << 255;
    QTest::newRow("middle band, strongest tint") << 9 << 9 << 128 << 180 << 180 << 128;
}

void TestExercise::bandColour()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, band);
    QFETCH(int, expectedRed);
    QFETCH(int, expectedGreen);
    QFETCH(int, expectedBlue);

    Exercise exercise;
    exercise.bandRed = red;
    exercise.bandGreen = green;
    const BandColour colour = mirabolo::game::bandColour(exercise, band);
    QCOMPARE(colour.red, expectedRed);
    QCOMPARE(colour.green, expectedGreen);
    QCOMPARE(colour.blue, expectedBlue);
}

void TestExercise::clockSeededDrawsCoverEveryExercise()
{
    ClockSeededRandom random;
    QSet<int> pairs;
    QSet<int> quantities;
    QSet<int> reds;
    QSet<int> greens;
    // 3000 runs leave a given pair out with a chance below 1e-40.
    for (int run = 0; run < 3000; ++run) {
        const Exercise exercise = drawExercise(random);
        QVERIFY(exercise.source >= firstUnit && exercise.source <= lastUnit);
        QVERIFY(exercise.target >= firstUnit && exercise.target <= lastUnit);
        QVERIFY(exercise.source != exercise.target);
        QVERIFY(exercise.quantity >= 1 && exercise.quantity <= 20);
        QVERIFY(exercise.bandRed >= 1 && exercise.bandRed <= 9);
        QVERIFY(exercise.bandGreen >= 0 && exercise.bandGreen <= 9);
        pairs.insert(exercise.source * 10 + exercise.target);
        quantities.insert(exercise.quantity);
        reds.insert(exercise.bandRed);
        greens.insert(exercise.bandGreen);
    }
    QCOMPARE(pairs.size(), 30);
    QCOMPARE(quantities.size(), 20);
    QCOMPARE(reds.size(), 9);
    QCOMPARE(greens.size(), 10);
}

void TestExercise::reseedStartsAFreshSequence()
{
    ClockSeededRandom random;
    QList<double> first;
    QList<double> second;
    random.reseed();
    for (int i = 0; i < 4; ++i) {
        first.append(random.next());
    }
    random.reseed();
    for (int i = 0; i < 4; ++i) {
        second.append(random.next());
    }
    QVERIFY(first != second);

    for (int i = 0; i < 100000; ++i) {
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

void TestExercise::unitNames_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("abbreviation");
    QTest::addColumn<int>("line");

    QTest::newRow("ml") << 1 << u"ml"_s << 6;
    QTest::newRow("cl") << 2 << u"cl"_s << 5;
    QTest::newRow("dl") << 3 << u"dl"_s << 4;
    QTest::newRow("l") << 4 << u"l"_s << 3;
    QTest::newRow("dal") << 5 << u"dal"_s << 2;
    QTest::newRow("hl") << 6 << u"hl"_s << 1;
    QTest::newRow("below the table") << 0 << QString() << 7;
    QTest::newRow("above the table") << 7 << QString() << 0;
}

void TestExercise::unitNames()
{
    QFETCH(int, unit);
    QFETCH(QString, abbreviation);
    QFETCH(int, line);

    QCOMPARE(unitAbbreviation(unit), abbreviation);
    QCOMPARE(referenceLineOf(unit), line);
}

QTEST_GUILESS_MAIN(TestExercise)
#include "test_exercise.moc"
