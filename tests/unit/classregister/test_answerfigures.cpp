#include "answerbatches.h"
#include "classregister/answerfigures.h"
#include "classregister/classlist.h"
#include "game/units.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::classregister;
using mirabolo::game::MistakeKind;
using namespace mirabolo::test;

namespace {

AnswerFigures figuresOf(const Batches &batches, const ClassList *list = nullptr)
{
    AnswerFigures figures({}, list);
    forEachAnswer(batches, [&](const AnswerRecord &record) { figures.add(record); });
    return figures;
}

QString unit(int number)
{
    return mirabolo::game::unitAbbreviation(number);
}

// The figures as the rows below write them: "dl>cl 10/7" (answers, right),
// "Verso sbagliato 3", "3 dl in cl: 0,3 ×3" (count, "almeno" when not
// exact), "kind Verso sbagliato 3/10" (of the wrong), "dl>cl 3/10".
QStringList gridOf(const AnswerTally &tally)
{
    QStringList cells;
    for (int source = ml; source <= hl; ++source)
        for (int target = ml; target <= hl; ++target)
            if (const PairTally &pair = tally.pair(source, target); pair.answers > 0)
                cells << u"%1>%2 %3/%4"_s.arg(unit(source), unit(target)).arg(pair.answers).arg(pair.right);
    return cells;
}

QStringList kindsOf(const AnswerTally &tally)
{
    QStringList kinds;
    for (int kind = 0; kind < mistakeKindCount; ++kind)
        if (const qint64 count = tally.mistakes(MistakeKind(kind)); count > 0)
            kinds << u"%1 %2"_s.arg(mirabolo::game::mistakeKindName(MistakeKind(kind))).arg(count);
    return kinds;
}

QStringList commonOf(const CommonAnswers &common, qsizetype count = 5)
{
    QStringList lines;
    for (const CommonAnswer &item : common.mostCommon(count)) {
        const WrongAnswer &a = item.answer;
        lines << u"%1 %2 in %3: %4 ×%5%6"_s.arg(a.quantity)
                     .arg(unit(a.source), unit(a.target), a.typed)
                     .arg(item.count)
                     .arg(item.exact ? QString() : u" almeno"_s);
    }
    return lines;
}

QStringList reviewOf(const AnswerTally &tally)
{
    QStringList lines;
    for (const ReviewItem &item : tally.toReview()) {
        const QString subject = item.subject == ReviewItem::Subject::Kind
            ? mirabolo::game::mistakeKindName(item.kind)
            : u"%1>%2"_s.arg(unit(item.source), unit(item.target));
        lines << u"%1 %2/%3"_s.arg(subject).arg(item.wrong).arg(item.of);
    }
    return lines;
}

} // namespace

class TestAnswerFigures : public QObject
{
    Q_OBJECT

private slots:
    // The class, or the pupil named, after the answers of the rows.
    void figures_data()
    {
        QTest::addColumn<Batches>("batches");
        QTest::addColumn<QByteArray>("list"); // the class list's text
        QTest::addColumn<QString>("who"); // empty for the class
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QStringList>("common");
        struct Row
        {
            const char *tag;
            Batches batches;
            QString who = {};
            QStringList grid = {};
            QStringList kinds = {};
            QStringList common = {};
            QByteArray list = {};
        };
        const QList<Row> rows{
            {"kinds of wrong answers only",
             {{.times = 3, .typed = u"300"},
              {.typed = u"3000"},
              {.typed = u"0,3"},
              {.typed = u"31"},
              {.typed = u""},
              {.typed = u"30,"},
              {.from = dl, .to = l, .quantity = 5, .typed = u"0,05"},
              {.times = 4}},
             {},
             {u"dl>cl 12/4"_s, u"dl>l 1/0"_s},
             {u"Non è un numero 1"_s, u"Numero giusto scritto male 1"_s, u"Verso sbagliato 1"_s,
              u"Virgola fuori posto 1"_s, u"Un passaggio sbagliato 3"_s, u"Più passaggi sbagliati 1"_s,
              u"Cifre sbagliate 1"_s},
             {u"3 dl in cl: 300 ×3"_s, u"3 dl in cl:  ×1"_s, u"3 dl in cl: 0,3 ×1"_s, u"3 dl in cl: 30, ×1"_s,
              u"3 dl in cl: 3000 ×1"_s}},
            {"a pupil by any spelling, met again",
             {{.typed = u"300", .name = u"Ugo"},
              {.typed = u"300", .name = u"Zoe"},
              {.typed = u"300", .name = u"zoe "},
              {.typed = u"3", .name = u"ZOE"},
              {.name = u"Zoe"}},
             u" zOE"_s,
             {u"dl>cl 4/1"_s},
             {u"Un passaggio sbagliato 3"_s},
             {u"3 dl in cl: 300 ×2"_s, u"3 dl in cl: 3 ×1"_s}},
            {"spellings on the class list",
             {{.typed = u"300", .name = u"Zoé"}, {.typed = u"3", .name = u"zo"}, {.typed = u"300", .name = u"Zoe"}},
             u"Zoe Rossi"_s,
             {u"dl>cl 2/0"_s},
             {u"Un passaggio sbagliato 2"_s},
             {u"3 dl in cl: 3 ×1"_s, u"3 dl in cl: 300 ×1"_s},
             "Zoe Rossi = Zoé | ZO\n"},
        };
        for (const Row &row : rows)
            QTest::newRow(row.tag) << row.batches << row.list << row.who << row.grid << row.kinds << row.common;
    }
    void figures()
    {
        QFETCH(Batches, batches);
        QFETCH(QByteArray, list);
        QFETCH(QString, who);
        QFETCH(QStringList, grid);
        QFETCH(QStringList, kinds);
        QFETCH(QStringList, common);
        const ClassList classList = ClassList::parse(list);
        const AnswerFigures figures = figuresOf(batches, &classList);
        const AnswerTally *tally = who.isEmpty() ? &figures.wholeClass() : figures.pupil(who);
        QVERIFY(tally != nullptr);
        QCOMPARE(gridOf(*tally), grid);
        QCOMPARE(kindsOf(*tally), kinds);
        QCOMPARE(commonOf(tally->common()), common);
    }

    // Answers that no game could have written are not counted at all.
    void unusable_data()
    {
        QTest::addColumn<AnswerRecord>("record");
        QTest::addColumn<bool>("counted");
        AnswerRecord right = answer({});
        const auto changed = [](AnswerRecord record, auto change) {
            change(record);
            return record;
        };
        QTest::newRow("right") << right << true;
        QTest::newRow("no unit") << changed(right, [](AnswerRecord &r) { r.source = 0; }) << false;
        QTest::newRow("past hl") << changed(right, [](AnswerRecord &r) { r.target = 7; }) << false;
        QTest::newRow("same unit") << changed(right, [](AnswerRecord &r) { r.target = r.source; }) << false;
        QTest::newRow("right, as typed") << changed(right, [](AnswerRecord &r) { r.typed = u"300"_s; }) << false;
        QTest::newRow("wrong, as expected") << changed(right, [](AnswerRecord &r) { r.right = false; }) << false;
    }
    void unusable()
    {
        QFETCH(AnswerRecord, record);
        QFETCH(bool, counted);
        AnswerFigures figures;
        QCOMPARE(figures.add(record), counted);
        QCOMPARE(figures.wholeClass().answers(), counted ? 1 : 0);
        QCOMPARE(figures.pupilCount(), counted ? 1 : 0);
    }

    // A PC with a decimal point set the exercise: the pupil was asked for a
    // point, and a point is no slip.
    void pointOnThePC_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kind");
        QTest::newRow("comma moved") << u"0.05"_s << u"Virgola fuori posto"_s;
        QTest::newRow("multiplied") << u"50"_s << u"Verso sbagliato"_s;
    }
    void pointOnThePC()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kind);
        AnswerRecord record = answer({.from = dl, .to = l, .quantity = 5});
        record.expected = expectedText(dl, l, 5, QLocale::c());
        QCOMPARE(record.expected, u"0.5"_s);
        record.typed = typed;
        record.right = false;
        AnswerFigures figures;
        QVERIFY(figures.add(record));
        QCOMPARE(kindsOf(figures.wholeClass()), QStringList{kind + u" 1"_s});
    }

    // What the bounded table keeps: the texts typed to "3 dl in cl", in turn.
    void commonAnswers_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("common");
        QTest::addColumn<bool>("madeRoom");
        QTest::newRow("exact, most first")
            << 10 << QStringList{u"3"_s, u"300"_s, u"3"_s, u"0,3"_s, u"3"_s, u"300"_s} << 5
            << QStringList{u"3 dl in cl: 3 ×3"_s, u"3 dl in cl: 300 ×2"_s, u"3 dl in cl: 0,3 ×1"_s} << false;
        QTest::newRow("a tie by the text")
            << 10 << QStringList{u"b"_s, u"a"_s, u"c"_s, u"b"_s, u"a"_s} << 5
            << QStringList{u"3 dl in cl: a ×2"_s, u"3 dl in cl: b ×2"_s, u"3 dl in cl: c ×1"_s} << false;
        // Room for 2: each newcomer pushes out the least counted and takes
        // its count over, so the count shown is the part surely its own.
        QTest::newRow("the frequent one came late")
            << 2 << QStringList{u"x"_s, u"y"_s, u"z"_s, u"w"_s, u"k"_s, u"k"_s, u"k"_s, u"k"_s, u"k"_s} << 5
            << QStringList{u"3 dl in cl: k ×5 almeno"_s, u"3 dl in cl: z ×1 almeno"_s} << true;
        // Given every other time, among answers each given once.
        QStringList alternate;
        for (int i = 0; i < 40; ++i)
            alternate << (i % 2 == 0 ? u"300"_s : QString::number(1000 + i));
        QTest::newRow("every other time stays") << 3 << alternate << 1 << QStringList{u"3 dl in cl: 300 ×20"_s} << true;
        // Thousands of answers through a room of 4: each found again in
        // the table however often others came and went.
        QStringList churn;
        for (int i = 0; i < 3000; ++i)
            churn << (i % 3 == 0 ? u"300"_s : QString::number(i * 7919 % 37));
        QTest::newRow("churn") << 4 << churn << 1 << QStringList{u"3 dl in cl: 300 ×1000"_s} << true;
    }
    void commonAnswers()
    {
        QFETCH(int, capacity);
        QFETCH(QStringList, typed);
        QFETCH(int, shown);
        QFETCH(QStringList, common);
        QFETCH(bool, madeRoom);
        CommonAnswers table(capacity);
        for (const QString &text : typed)
            table.add(WrongAnswer{dl, cl, 3, text}, MistakeKind::OtherDigits);
        QCOMPARE(commonOf(table, shown), common);
        QCOMPARE(table.madeRoom(), madeRoom);
        QVERIFY(table.size() <= capacity);
        QSet<QString> kept; // once each
        for (const CommonAnswer &answer : table.mostCommon(capacity))
            kept.insert(answer.answer.typed);
        QCOMPARE(kept.size(), table.size());
    }

    void review_data()
    {
        QTest::addColumn<Batches>("batches");
        QTest::addColumn<QStringList>("review");
        const Batch oneStep{.typed = u"300"};
        const Batch reversed{.typed = u"0,3"};
        const Batch otherDigits{.typed = u"31"};
        const auto times = [](int n, Batch batch) {
            batch.times = n;
            return batch;
        };
        QTest::newRow("nine answers are too few") << Batches{times(9, oneStep)} << QStringList{};
        QTest::newRow("ten, 30% wrong") << Batches{times(3, oneStep), {.times = 7}} << QStringList{u"dl>cl 3/10"_s};
        QTest::newRow("ten, 20% wrong") << Batches{times(2, oneStep), {.times = 8}} << QStringList{};
        QTest::newRow("a kind ten times, 30% of the mistakes")
            << Batches{times(12, reversed), times(28, otherDigits)}
            << QStringList{u"Cifre sbagliate 28/40"_s, u"Verso sbagliato 12/40"_s, u"dl>cl 40/40"_s};
        QTest::newRow("a kind under 30% of the mistakes") << Batches{times(12, reversed), times(29, otherDigits)}
                                                          << QStringList{u"Cifre sbagliate 29/41"_s, u"dl>cl 41/41"_s};
        QTest::newRow("a kind nine times")
            << Batches{times(9, reversed), times(1, otherDigits)} << QStringList{u"dl>cl 10/10"_s};
        // By share, then by the wrong answers, then in the order of the units.
        QTest::newRow("worst first, five at most")
            << Batches{{.times = 6, .from = ml, .to = l, .quantity = 8, .typed = u"8"},
                       {.times = 4, .from = ml, .to = l, .quantity = 8, .typed = u"0,008"},
                       {.times = 5, .from = hl, .to = l, .quantity = 2, .typed = u"2"},
                       {.times = 5, .from = hl, .to = l, .quantity = 2, .typed = u"200"},
                       {.times = 10, .from = l, .to = hl, .quantity = 2, .typed = u"x"},
                       {.times = 10, .from = l, .to = hl, .quantity = 2, .typed = u"0,02"},
                       {.times = 5, .from = ml, .to = cl, .quantity = 1, .typed = u"x"},
                       {.times = 5, .from = ml, .to = cl, .quantity = 1, .typed = u"0,1"},
                       {.times = 3, .from = dal, .to = dl, .quantity = 1, .typed = u"x"},
                       {.times = 7, .from = dal, .to = dl, .quantity = 1, .typed = u"100"}}
            << QStringList{u"Non è un numero 18/29"_s, u"ml>l 6/10"_s, u"l>hl 10/20"_s, u"ml>cl 5/10"_s,
                           u"hl>l 5/10"_s};
    }
    void review()
    {
        QFETCH(Batches, batches);
        QFETCH(QStringList, review);
        QCOMPARE(reviewOf(figuresOf(batches).wholeClass()), review);
    }

    // A file of invented names costs no more than the pupils kept.
    void pupilsBounded()
    {
        AnswerFigures figures;
        for (qsizetype i = 0; i <= AnswerFigures::maxPupils; ++i) {
            AnswerRecord record = answer({});
            record.name = u"N%1"_s.arg(i);
            QVERIFY(figures.add(record));
        }
        QCOMPARE(figures.pupilCount(), AnswerFigures::maxPupils);
        QCOMPARE(figures.wholeClass().answers(), AnswerFigures::maxPupils + 1);
        QVERIFY(figures.pupil(u"n0"_s) != nullptr);
        QVERIFY(figures.pupil(u"N%1"_s.arg(AnswerFigures::maxPupils)) == nullptr);
    }
};

Q_DECLARE_METATYPE(AnswerRecord)

QTEST_GUILESS_MAIN(TestAnswerFigures)
#include "test_answerfigures.moc"
