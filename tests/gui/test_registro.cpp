// The teacher's window played through offscreen on a register in a scratch
// folder, with a fixed today: what only the window can get wrong, the class
// itself being the session's (tests/unit/registro). Periods chosen, sorting
// by value, a pupil chosen and kept, games reaching tables and charts, and
// the report written as a PDF.
#include "registro/application.h"
#include "registro/chartview.h"
#include "registro/registerwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;
using mirabolo::registro::RegisterWindow;

namespace {

// Counts the paintings of a widget, to see that a change reached the screen.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget &widget) { widget.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

template<typename T>
T *named(const RegisterWindow &w, const QString &name)
{
    for (T *view : w.findChildren<T *>())
        if (view->accessibleName() == name)
            return view;
    return nullptr;
}

int columnOf(const QTableView *view, const QString &title)
{
    int at = 0;
    while (at < view->model()->columnCount() && view->model()->headerData(at, Qt::Horizontal).toString() != title)
        ++at;
    return at;
}

// One column of a table as shown, found by its title, top to bottom.
QStringList column(const QTableView *view, const QString &title)
{
    const QAbstractItemModel *model = view->model();
    const int at = columnOf(view, title);
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->index(row, at).data().toString();
    return cells;
}

bool append(const QString &path, const QByteArray &lines)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(lines) == lines.size();
}

} // namespace

class TestRegistro : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::registro::setUpApplication(*qApp); }

    void playThrough()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        QVERIFY(append(path,
                       "\xEF\xBB\xBF"
                       "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                       "2025-05-10;11:00:00;Mia;10;0;10;0;tempo scaduto;nuovo\r\n"
                       "2026-10-05;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-10-06;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "non è una partita\r\n"
                       "2026-10-07;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "01/12/2026;10:00;zoe ;3;7;10;0;finestra chiusa;\r\n"
                       "2026-12-07;09:12:00;Zoe;9;1;10;0;tempo scaduto;nuovo\r\n"));
        RegisterWindow w(path, Period::SchoolYear, [] { return QDate(2026, 12, 7); });
        w.session().setFollowing(false); // the test says when to look
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        auto *pupils = named<QTableView>(w, u"Alunni della classe"_s);
        auto *games = named<QTableView>(w, u"Partite dell'alunno scelto, in numeri"_s);
        auto *ranking = named<QTableView>(w, u"Precisione per alunno, in numeri"_s);
        QVERIFY(pupils && games && ranking);
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"Luca"_s, u"Zoe"_s}));
        QCOMPARE(w.findChild<QLabel *>(u"summary"_s)->text(),
                 u"Anno scolastico (dal 01/09/2026 al 31/08/2027) — Partite: 5 · Alunni: 2 · Esatte: 18 · "
                 u"Errate: 32 · Precisione: 36,0%"_s);
        auto *skipped = w.findChild<QPushButton *>();
        QVERIFY(skipped && skipped->isVisible());
        QCOMPARE(skipped->text(), u"1 riga non letta"_s);
        // The first pupil is chosen at once.
        QCOMPARE(column(games, u"Data"_s).size(), 3);

        // Numbers sort by value: 100,0% above 60,0% and 20,0%.
        auto *period = w.findChild<QComboBox *>();
        QTest::keyClick(period, Qt::Key_End);
        QCOMPARE(w.session().period(), Period::All);
        pupils->sortByColumn(columnOf(pupils, u"Precisione"_s), Qt::DescendingOrder);
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"Mia"_s, u"Zoe"_s, u"Luca"_s}));

        // The pupil chosen: their games beside their chart, in time order.
        const QModelIndex zoe = pupils->model()->index(1, 0);
        QTest::mouseClick(pupils->viewport(), Qt::LeftButton, {}, pupils->visualRect(zoe).center());
        QCOMPARE(column(games, u"Data"_s), QStringList({u"01/12/2026"_s, u"07/12/2026"_s}));
        QCOMPARE(w.findChild<QLabel *>(u"pupilTitle"_s)->text(),
                 u"Zoe — Partite: 2 · Precisione: 60,0% · Andamento: –"_s);

        // Games end while the window is open and reach the tables.
        QVERIFY(append(path,
                       "2026-12-07;10:30:00;Zoe;5;5;10;0;uscita;\r\n"
                       "2026-12-07;10:31:00;Ugo;1;0;1;0;uscita;\r\n"));
        w.session().refresh();
        QCOMPARE(column(games, u"Data"_s).size(), 3);
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));
        QCOMPARE(column(ranking, u"Alunno"_s), QStringList({u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));

        // One that moves no pupil and adds no bar: the class chart is drawn
        // again all the same.
        auto *chart = named<mirabolo::registro::ChartView>(w, u"Grafico: precisione per alunno"_s);
        QVERIFY(chart);
        QCoreApplication::processEvents(); // what was already due to be painted
        PaintCounter paints(*chart);
        QVERIFY(append(path, "2026-12-07;11:00:00;Luca;4;6;10;0;uscita;\r\n"));
        w.session().refresh();
        QCOMPARE(column(ranking, u"Precisione"_s), QStringList({u"100,0%"_s, u"100,0%"_s, u"56,7%"_s, u"25,0%"_s}));
        QTRY_VERIFY(paints.count > 0);

        // Today only: the game of 1 December no longer counts, and Zoe stays
        // chosen.
        QTest::keyClick(period, Qt::Key_Home);
        QCOMPARE(w.session().period(), Period::Today);
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));
        QCOMPARE(column(games, u"Data"_s).size(), 2);

        // The report of what is shown, with every pupil in it.
        QTest::keyClick(period, Qt::Key_End);
        const QString pdf = dir.filePath(u"resoconto.pdf"_s);
        QString error;
        QVERIFY2(w.exportPdf(pdf, &error), qPrintable(error));
        QProcess text;
        text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY2(text.waitForFinished(60000) && text.exitCode() == 0, "pdftotext (poppler-utils) is needed");
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &fact :
             {u"Registro di Mirabolo"_s, u"Classe: "_s + dir.path(), u"Periodo: Tutto"_s,
              u"Resoconto del lunedì 7 dicembre 2026"_s, u"1 riga non letta (righe 5)"_s,
              u"Partite: 9 · Alunni: 4 · Esatte: 38 · Errate: 43 · Precisione: 46,9%"_s, u"Mia"_s, u"Ugo"_s, u"Luca"_s,
              u"Zoe"_s, u"Partite: 3 · Esatte: 17 · Errate: 13 · Precisione: 56,7%"_s, u"Precisione per alunno"_s,
              u"Luca: partite dal 05/10/2026 al 07/12/2026"_s, u"uscita"_s, u"finestra chiusa"_s,
              u"Fine è vuota quando la partita è finita allo scadere del tempo"_s})
            QVERIFY2(report.contains(fact), qPrintable(fact));
        QVERIFY(!report.contains(u"tempo scaduto"_s)); // the games that ran their time out leave Fine blank
        // A pupil's games under their year, dated by day and month.
        QVERIFY(QRegularExpression(u"^ *2026 *\n *05/10 +\\d"_s, QRegularExpression::MultilineOption)
                    .match(report)
                    .hasMatch());

        // Taken away: an empty class and a word on why, never a crash.
        QVERIFY(QFile::remove(path));
        w.session().refresh();
        QTRY_COMPARE(pupils->model()->rowCount(), 0);
        const auto *notice = w.findChild<QLabel *>(u"notice"_s);
        QVERIFY(notice && notice->isVisible());
        QVERIFY2(notice->text().contains(path), qPrintable(notice->text()));
        QVERIFY(!skipped->isVisible());
    }
};

QTEST_MAIN(TestRegistro)
#include "test_registro.moc"
