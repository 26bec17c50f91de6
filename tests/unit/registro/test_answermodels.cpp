#include "answerbatches.h"
#include "registro/answermodels.h"
#include "registro/classanswers.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::registro;
using namespace mirabolo::test;

namespace {

void feed(ClassAnswers &answers, const Batches &batches)
{
    forEachAnswer(batches, [&](const mirabolo::classregister::AnswerRecord &record) { answers.add(record); });
    answers.settle();
}

// "row heading, column heading: text" for each cell with answers, or each
// row of a list, as a screen reader gets them.
QStringList cellsOf(const QAbstractItemModel &model, bool skipEmpty = false)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < model.columnCount(); ++column)
            texts << model.index(row, column).data(Qt::AccessibleTextRole).toString();
        if (!skipEmpty || !texts.join(QString()).contains(u"nessuna risposta"_s))
            cells << texts.join(u" | "_s);
    }
    return cells;
}

} // namespace

class TestAnswerModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    // What each table says of the class, or of the pupil named.
    void tables_data()
    {
        QTest::addColumn<Batches>("batches");
        QTest::addColumn<QString>("pupil");
        QTest::addColumn<QStringList>("grid"); // rows with answers
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QStringList>("common");
        QTest::addColumn<QStringList>("review");
        const QStringList noKinds{u"Non è un numero | 0 | –"_s,        u"Numero giusto scritto male | 0 | –"_s,
                                  u"Verso sbagliato | 0 | –"_s,        u"Virgola fuori posto | 0 | –"_s,
                                  u"Un passaggio sbagliato | 0 | –"_s, u"Più passaggi sbagliati | 0 | –"_s,
                                  u"Cifre sbagliate | 0 | –"_s};
        QTest::newRow("no answers") << Batches{} << QString() << QStringList{} << noKinds << QStringList{}
                                    << QStringList{};
        const Batches lesson{{.times = 6, .typed = u"0,3", .name = u"Zoe"},
                             {.times = 6, .typed = u"30", .name = u"Zoe"},
                             {.times = 1, .from = hl, .to = l, .quantity = 2, .typed = u"20", .name = u"Ugo"},
                             {.times = 3, .from = hl, .to = l, .quantity = 2, .typed = u"200", .name = u"Ugo"}};
        QTest::newRow("class")
            << lesson << QString()
            << QStringList{u"da dl a cl: 50% giuste su 12 risposte"_s, u"da hl a l: 75% giuste su 4 risposte"_s}
            << QStringList{u"Non è un numero | 0 | 0%"_s,         u"Numero giusto scritto male | 0 | 0%"_s,
                           u"Verso sbagliato | 6 | 86%"_s,        u"Virgola fuori posto | 0 | 0%"_s,
                           u"Un passaggio sbagliato | 1 | 14%"_s, u"Più passaggi sbagliati | 0 | 0%"_s,
                           u"Cifre sbagliate | 0 | 0%"_s}
            << QStringList{u"3 dl in cl | 0,3 | 6 volte | Verso sbagliato"_s,
                           u"2 hl in l | 20 | 1 volta | Un passaggio sbagliato"_s}
            << QStringList{u"da dl a cl: 6 sbagliate su 12 (50%)"_s};
        QTest::newRow("a pupil")
            << lesson << u"ugo"_s << QStringList{u"da hl a l: 75% giuste su 4 risposte"_s}
            << QStringList{u"Non è un numero | 0 | 0%"_s,          u"Numero giusto scritto male | 0 | 0%"_s,
                           u"Verso sbagliato | 0 | 0%"_s,          u"Virgola fuori posto | 0 | 0%"_s,
                           u"Un passaggio sbagliato | 1 | 100%"_s, u"Più passaggi sbagliati | 0 | 0%"_s,
                           u"Cifre sbagliate | 0 | 0%"_s}
            << QStringList{u"2 hl in l | 20 | 1 volta | Un passaggio sbagliato"_s} << QStringList{};
        QTest::newRow("thousands") << Batches{{.times = 1200, .typed = u"0,3"}} << QString()
                                   << QStringList{u"da dl a cl: 0% giuste su 1.200 risposte"_s}
                                   << QStringList{u"Non è un numero | 0 | 0%"_s,
                                                  u"Numero giusto scritto male | 0 | 0%"_s,
                                                  u"Verso sbagliato | 1.200 | 100%"_s,
                                                  u"Virgola fuori posto | 0 | 0%"_s,
                                                  u"Un passaggio sbagliato | 0 | 0%"_s,
                                                  u"Più passaggi sbagliati | 0 | 0%"_s,
                                                  u"Cifre sbagliate | 0 | 0%"_s}
                                   << QStringList{u"3 dl in cl | 0,3 | 1.200 volte | Verso sbagliato"_s}
                                   << QStringList{u"Verso sbagliato: 1.200 errori su 1.200 (100%)"_s,
                                                  u"da dl a cl: 1.200 sbagliate su 1.200 (100%)"_s};
    }
    void tables()
    {
        QFETCH(Batches, batches);
        QFETCH(QString, pupil);
        QFETCH(QStringList, grid);
        QFETCH(QStringList, kinds);
        QFETCH(QStringList, common);
        QFETCH(QStringList, review);
        ClassAnswers answers;
        PairGridModel gridModel(answers);
        MistakeKindsModel kindsModel(answers);
        CommonAnswersModel commonModel(answers);
        ReviewModel reviewModel(answers);
        for (AnswerTallyModel *model :
             {static_cast<AnswerTallyModel *>(&gridModel), static_cast<AnswerTallyModel *>(&kindsModel),
              static_cast<AnswerTallyModel *>(&commonModel), static_cast<AnswerTallyModel *>(&reviewModel)}) {
            new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
            model->setPupil(pupil);
        }
        feed(answers, batches);
        QStringList cells;
        for (const QString &row : cellsOf(gridModel))
            for (const QString &cell : row.split(u" | "_s))
                if (!cell.isEmpty() && !cell.endsWith(u"nessuna risposta"_s))
                    cells << cell;
        QCOMPARE(cells, grid);
        QCOMPARE(cellsOf(kindsModel), kinds);
        QCOMPARE(cellsOf(commonModel), common);
        QCOMPARE(cellsOf(reviewModel), review);
    }

    // Each cell says its share and count, on a colour from red (none right)
    // to green (all right), with black text; a unit into itself is no cell.
    void gridCells()
    {
        ClassAnswers answers;
        PairGridModel grid(answers);
        feed(answers,
             {{.times = 2, .typed = u"3"},
              {.from = ml, .to = l, .typed = u"0,003"},
              {.times = 2, .from = l, .to = ml},
              {.times = 2, .from = l, .to = ml, .typed = u"3000"}});
        const auto cell = [&](Unit from, Unit to) { return grid.index(from - 1, to - 1); };
        QCOMPARE(cell(dl, cl).data().toString(), u"0% · 2"_s);
        QCOMPARE(cell(l, ml).data().toString(), u"50% · 4"_s);
        QCOMPARE(cell(ml, l).data().toString(), u"100% · 1"_s);
        QCOMPARE(cell(cl, dl).data().toString(), u"–"_s);
        const auto hue = [&](Unit from, Unit to) {
            return cell(from, to).data(Qt::BackgroundRole).value<QColor>().hue();
        };
        QVERIFY(hue(dl, cl) < hue(l, ml));
        QVERIFY(hue(l, ml) < hue(ml, l));
        QCOMPARE(cell(l, ml).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        QVERIFY(!cell(cl, dl).data(Qt::BackgroundRole).isValid());
        QCOMPARE(grid.flags(cell(dl, dl)), Qt::NoItemFlags);
        QCOMPARE(grid.headerData(dal - 1, Qt::Vertical).toString(), u"da dal"_s);
        QCOMPARE(grid.headerData(dal - 1, Qt::Horizontal).toString(), u"a dal"_s);
    }

    // A file read again shows its figures once it has been read whole; the
    // answers of a game ending show at once, and so does another pupil's.
    void counting()
    {
        ClassAnswers answers;
        CommonAnswersModel common(answers);
        new QAbstractItemModelTester(&common, QAbstractItemModelTester::FailureReportingMode::QtTest, &common);
        QSignalSpy changed(&answers, &ClassAnswers::changed);
        QSignalSpy inserted(&common, &QAbstractItemModel::rowsInserted);
        feed(answers, {{.times = 2, .typed = u"300"}});
        QCOMPARE(changed.size(), 1);
        answers.settle();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(cellsOf(common), QStringList{u"3 dl in cl | 300 | 2 volte | Un passaggio sbagliato"_s});

        answers.startOver({});
        forEachAnswer({{.typed = u"3"}}, [&](const auto &record) { answers.add(record); });
        QCOMPARE(cellsOf(common), QStringList{u"3 dl in cl | 300 | 2 volte | Un passaggio sbagliato"_s});
        QCOMPARE(changed.size(), 1);
        answers.settle();
        QCOMPARE(cellsOf(common), QStringList{u"3 dl in cl | 3 | 1 volta | Un passaggio sbagliato"_s});

        feed(answers, {{.typed = u"0,3"}, {.typed = u"0,3"}});
        QCOMPARE(changed.size(), 3);
        QCOMPARE(cellsOf(common),
                 (QStringList{u"3 dl in cl | 0,3 | 2 volte | Verso sbagliato"_s,
                              u"3 dl in cl | 3 | 1 volta | Un passaggio sbagliato"_s}));
        common.setPupil(u"Ida"_s);
        QCOMPARE(common.rowCount(), 0);
        common.setPupil(u"zoe"_s);
        QCOMPARE(common.rowCount(), 2);
        QCOMPARE(inserted.size(), 3);
    }

    void rebuilding_data()
    {
        QTest::addColumn<bool>("skippedLine"); // else an answer
        QTest::newRow("answers") << false;
        QTest::newRow("skipped lines") << true;
    }
    // What is counted afresh stays out of the figures shown until it settles.
    void rebuilding()
    {
        QFETCH(bool, skippedLine);
        ClassAnswers answers;
        const auto count = [&] { skippedLine ? answers.skipped({.number = 2}) : answers.add(answer({})); };
        const auto shown = [&] {
            return QList<qint64>{answers.figures().wholeClass().answers(), answers.skippedCount(),
                                 answers.skippedLines().size()};
        };
        count();
        count();
        answers.settle();
        const QList<qint64> before = shown();
        answers.startOver({});
        count();
        QCOMPARE(shown(), before);
        answers.settle();
        QCOMPARE(shown(), (skippedLine ? QList<qint64>{0, 1, 1} : QList<qint64>{1, 0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestAnswerModels)
#include "test_answermodels.moc"
