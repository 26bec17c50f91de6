// The teacher's window played through offscreen on a register in a scratch
// folder, with a fixed today: periods, sorting, a pupil chosen, a game
// appended while the window is open, and the report written as a PDF.
#include "classregister/registerformat.h"
#include "registro/application.h"
#include "registro/chartview.h"
#include "registro/liveregister.h"
#include "registro/pupiltablemodel.h"
#include "registro/registerwindow.h"
#include "registro/report.h"
#include "registro/texts.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using mirabolo::classregister::DateSpan;
using mirabolo::classregister::Period;
using mirabolo::classregister::RecordMark;
using mirabolo::game::GameEnd;
using mirabolo::game::GameSummary;
using mirabolo::registro::PupilTableModel;
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

QTableView *table(const RegisterWindow &w, const QString &name)
{
    for (QTableView *view : w.findChildren<QTableView *>())
        if (view->accessibleName() == name)
            return view;
    return nullptr;
}

// One column of a table as shown, top to bottom.
QStringList column(const QTableView *view, int column)
{
    QStringList cells;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        cells << view->model()->index(row, column).data().toString();
    return cells;
}

bool append(const QString &path, const QByteArray &lines)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(lines) == lines.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The report's text as laid out, by pdftotext (poppler-utils).
QString pdfText(const QString &pdf)
{
    QProcess text;
    text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    if (!text.waitForFinished(60000) || text.exitCode() != 0)
        qFatal("pdftotext (poppler-utils) is needed");
    return QString::fromUtf8(text.readAllStandardOutput());
}

// What a pupil leaves at the report's name.
enum class Planted { Link, DanglingLink, OpenFile, Folder };

} // namespace

class TestRegistro : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::registro::setUpApplication(*qApp); }

    // How a figure reads in the window and the report alike.
    void texts_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected");
        using namespace mirabolo::registro;
        QTest::newRow("count") << countText(999) << u"999"_s;
        QTest::newRow("count in thousands") << countText(1234) << u"1.234"_s;
        QTest::newRow("nothing answered") << percentText({}) << u"–"_s;
        QTest::newRow("accuracy") << percentText(5.0 / 6) << u"83,3%"_s;
        QTest::newRow("all right") << percentText(1.0) << u"100,0%"_s;
        QTest::newRow("one game, whole percent") << wholePercentText(2.0 / 3) << u"67%"_s;
        QTest::newRow("no earlier games") << trendText({}) << u"–"_s;
        QTest::newRow("rising") << trendText(5.24) << u"+5,2 punti"_s;
        QTest::newRow("falling") << trendText(-3.0) << u"−3,0 punti"_s;
        QTest::newRow("level, a hair up") << trendText(0.04) << u"0,0 punti"_s;
        QTest::newRow("level, a hair down") << trendText(-0.04) << u"0,0 punti"_s;
        const QDate monday(2026, 12, 7);
        QTest::newRow("one day") << periodText(Period::Today, DateSpan{monday, monday}) << u"Oggi (07/12/2026)"_s;
        QTest::newRow("a week") << periodText(Period::ThisWeek, DateSpan{monday, monday.addDays(6)})
                                << u"Questa settimana (dal 07/12/2026 al 13/12/2026)"_s;
        QTest::newRow("open span") << periodText(Period::All, DateSpan{}) << u"Tutto"_s;
    }
    void texts()
    {
        QFETCH(QString, shown);
        QTEST(shown, "expected");
    }

    void playThrough()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        // As the game writes it, then a line as a spreadsheet saves it again.
        QVERIFY(append(path,
                       "\xEF\xBB\xBF"
                       "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                       "2025-05-10;11:00:00;Mia;10;0;10;0;tempo scaduto;nuovo\r\n"
                       "2026-10-05;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-10-06;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "non è una partita\r\n"
                       "2026-10-07;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "01/12/2026;10:00;zoe ;3;7;10;0;finestra chiusa;\r\n"
                       "2026-12-07;\"09:12:00\";\"Zoe\";9;1;10;0;\"tempo scaduto\";\"nuovo\"\n"));
        RegisterWindow w(path, Period::SchoolYear, [] { return QDate(2026, 12, 7); });
        w.live()->setPolling(false); // the test says when to look
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        QTableView *pupils = table(w, u"Alunni della classe"_s);
        QVERIFY(pupils);
        QCOMPARE(column(pupils, PupilTableModel::Name), QStringList({u"Luca"_s, u"Zoe"_s}));
        QCOMPARE(column(pupils, PupilTableModel::Games), QStringList({u"3"_s, u"2"_s}));
        QCOMPARE(column(pupils, PupilTableModel::Accuracy), QStringList({u"20,0%"_s, u"60,0%"_s}));
        QCOMPARE(column(pupils, PupilTableModel::Follow), QStringList({u"da seguire"_s, QString()}));
        auto *skipped = w.findChild<QPushButton *>();
        QVERIFY(skipped && skipped->isVisible());
        QCOMPARE(skipped->text(), u"1 riga non letta"_s);

        // Numbers sort by value: 100,0% above 60,0% and 20,0%.
        auto *period = w.findChild<QComboBox *>();
        QTest::keyClick(period, Qt::Key_End);
        QCOMPARE(w.period(), Period::All);
        pupils->sortByColumn(PupilTableModel::Accuracy, Qt::DescendingOrder);
        QCOMPARE(column(pupils, PupilTableModel::Name), QStringList({u"Mia"_s, u"Zoe"_s, u"Luca"_s}));

        // The pupil chosen: their games beside their chart, in time order.
        const QModelIndex zoe = pupils->model()->index(1, 0);
        QTest::mouseClick(pupils->viewport(), Qt::LeftButton, {}, pupils->visualRect(zoe).center());
        QTableView *games = table(w, u"Partite dell'alunno scelto, in numeri"_s);
        QVERIFY(games);
        QCOMPARE(column(games, 0), QStringList({u"01/12/2026"_s, u"07/12/2026"_s}));

        // Games end while the window is open: one by a pupil already shown,
        // one by a new pupil.
        QVERIFY(append(path,
                       "2026-12-07;10:30:00;Zoe;5;5;10;0;uscita;\r\n"
                       "2026-12-07;10:31:00;Ugo;1;0;1;0;uscita;\r\n"));
        w.live()->refresh();
        QTRY_COMPARE(column(games, 0).size(), 3);
        QCOMPARE(column(pupils, PupilTableModel::Name), QStringList({u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));
        QCOMPARE(column(pupils, PupilTableModel::Games), QStringList({u"1"_s, u"1"_s, u"3"_s, u"3"_s}));
        QCOMPARE(column(table(w, u"Precisione per alunno, in numeri"_s), 0),
                 QStringList({u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));

        // Today only: the game of 1 December no longer counts.
        QTest::keyClick(period, Qt::Key_Home);
        QCOMPARE(w.period(), Period::Today);
        QCOMPARE(column(pupils, PupilTableModel::Name), QStringList({u"Ugo"_s, u"Zoe"_s}));
        QCOMPARE(column(pupils, PupilTableModel::Right), QStringList({u"1"_s, u"14"_s}));
        QCOMPARE(column(games, 0).size(), 2); // Zoe stays chosen

        // The report of what is shown, with every pupil in it.
        QTest::keyClick(period, Qt::Key_End);
        const QString pdf = dir.filePath(u"resoconto.pdf"_s);
        QString error;
        QVERIFY2(w.exportPdf(pdf, &error), qPrintable(error));
        const QString report = pdfText(pdf);
        for (const QString &fact :
             {u"Registro di Mirabolo"_s, u"Classe: "_s + dir.path(), u"Periodo: Tutto"_s,
              u"Resoconto del lunedì 7 dicembre 2026"_s, u"1 riga non letta (righe 5)"_s,
              u"Partite: 8 · Alunni: 4 · Esatte: 34 · Errate: 37 · Precisione: 47,9%"_s, u"Mia"_s, u"Ugo"_s, u"Luca"_s,
              u"Zoe"_s, u"Partite: 3 · Esatte: 17 · Errate: 13 · Precisione: 56,7%"_s, u"Precisione per alunno"_s,
              u"Luca: partite dal 05/10/2026 al 07/10/2026"_s, u"uscita"_s, u"finestra chiusa"_s,
              u"Fine è vuota quando la partita è finita allo scadere del tempo"_s})
            QVERIFY2(report.contains(fact), qPrintable(fact));
        QVERIFY(!report.contains(u"tempo scaduto"_s)); // the games that ran their time out leave Fine blank
        // A pupil's games under their year, dated by day and month.
        QVERIFY(QRegularExpression(u"^ *2026 *\n *05/10 +\\d"_s, QRegularExpression::MultilineOption)
                    .match(report)
                    .hasMatch());

        // A game that moves no pupil: that pupil's bar changes in place, and
        // the chart is drawn again.
        QWidget *chart = nullptr;
        for (auto *view : w.findChildren<mirabolo::registro::ChartView *>())
            if (view->accessibleName() == u"Grafico: precisione per alunno"_s)
                chart = view;
        QVERIFY(chart);
        QCoreApplication::processEvents(); // what was already due to be painted
        PaintCounter paints(*chart);
        const auto bars = [&w] {
            QStringList shown;
            for (const auto &bar : w.classChart().bars())
                shown << u"%1 %2"_s.arg(bar.name).arg(bar.accuracy.value_or(-1));
            return shown;
        };
        QVERIFY(append(path, "2026-12-07;11:00:00;Luca;4;6;10;0;uscita;\r\n"));
        w.live()->refresh();
        QCOMPARE(column(table(w, u"Precisione per alunno, in numeri"_s), 1),
                 QStringList({u"100,0%"_s, u"100,0%"_s, u"56,7%"_s, u"25,0%"_s}));
        QCOMPARE(bars(), QStringList({u"Mia 1"_s, u"Ugo 1"_s, u"Zoe 0.566667"_s, u"Luca 0.25"_s}));
        QTRY_VERIFY(paints.count > 0);

        // One that moves him above Zoe: names and bars change places.
        QVERIFY(append(path, "2026-12-07;11:10:00;Luca;40;0;40;0;uscita;\r\n"));
        w.live()->refresh();
        QCOMPARE(column(table(w, u"Precisione per alunno, in numeri"_s), 0),
                 QStringList({u"Mia"_s, u"Ugo"_s, u"Luca"_s, u"Zoe"_s}));
        QCOMPARE(bars(), QStringList({u"Mia 1"_s, u"Ugo 1"_s, u"Luca 0.625"_s, u"Zoe 0.566667"_s}));

        // A game of the pupil chosen that ended before the others shown goes
        // in its place among them.
        QVERIFY(append(path, "2026-11-30;09:00:00;Zoe;1;1;2;0;uscita;\r\n"));
        w.live()->refresh();
        QCOMPARE(column(games, 0), QStringList({u"30/11/2026"_s, u"01/12/2026"_s, u"07/12/2026"_s, u"07/12/2026"_s}));

        // A new school year: the register replaced by a new file, read again whole.
        const QString fresh = dir.filePath(u"nuovo.csv"_s);
        QVERIFY(append(fresh, "2026-12-07;12:00:00;Eva;5;5;10;0;uscita;\r\n"));
        QVERIFY(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) == 0);
        w.live()->refresh();
        QTRY_COMPARE(column(pupils, PupilTableModel::Name), QStringList({u"Eva"_s}));
        QVERIFY(!skipped->isVisible());

        // Taken away: an empty class and a word on why, never a crash.
        QVERIFY(QFile::remove(path));
        w.live()->refresh();
        QTRY_COMPARE(pupils->model()->rowCount(), 0);
        const auto *notice = w.findChild<QLabel *>(u"notice"_s);
        QVERIFY(notice && notice->isVisible());
        QVERIFY2(notice->text().contains(path), qPrintable(notice->text()));
    }

    // A name is shown as the pupil typed it, wherever it appears: never as
    // markup that would load, block on or show what it names.
    void hostileNames_data()
    {
        QTest::addColumn<QString>("name"); // %1: the class folder
        QTest::newRow("bold") << u"<b>x</b>"_s;
        QTest::newRow("pipe") << u"<img src=%1/tubo>"_s;
        QTest::newRow("endless device") << u"<img src=/dev/zero>"_s;
        QTest::newRow("private picture") << u"<img src=%1/privata.png>"_s;
    }
    void hostileNames()
    {
        QTemporaryDir dir;
        QFETCH(QString, name);
        name.replace(u"%1"_s, dir.path());
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(u"tubo"_s)).constData(), 0600) == 0);
        QImage picture(40, 40, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath(u"privata.png"_s)));
        const QString path = dir.filePath(u"registro.csv"_s);
        const GameSummary game{QDateTime(QDate(2026, 12, 7), QTime(9, 0)), name, 3, 1, 0, GameEnd::Exit};
        QVERIFY(append(path,
                       mirabolo::classregister::registerLine(game, RecordMark::NotBeaten) +
                           "2026-12-07;09:05:00;Zoe;1;0;1;0;uscita;\r\n"));
        RegisterWindow w(path, Period::All, [] { return QDate(2026, 12, 7); });
        w.live()->setPolling(false);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        QCOMPARE(column(table(w, u"Alunni della classe"_s), PupilTableModel::Name), QStringList({name, u"Zoe"_s}));
        // Chosen at start, as '<' sorts first: the heading shows the name as
        // typed, and a screen reader reads it so.
        int labels = 0;
        for (QLabel *label : w.findChildren<QLabel *>()) {
            if (!label->text().contains(name))
                continue;
            ++labels;
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), label->text());
        }
        QCOMPARE(labels, 1);
        const QString pdf = dir.filePath(u"resoconto.pdf"_s);
        QString error;
        QVERIFY2(w.exportPdf(pdf, &error), qPrintable(error));
        QVERIFY(pdfText(pdf).contains(name));
    }

    // The report goes where it was asked, never through what a pupil put at
    // that name, with this account's usual mode; where it cannot, it says so.
    void reportOutput_data()
    {
        QTest::addColumn<Planted>("planted");
        QTest::addColumn<bool>("written");
        QTest::newRow("link to the teacher's file") << Planted::Link << true;
        QTest::newRow("dangling link") << Planted::DanglingLink << true;
        QTest::newRow("pupil's file for all") << Planted::OpenFile << true;
        QTest::newRow("folder") << Planted::Folder << false;
    }
    void reportOutput()
    {
        QFETCH(Planted, planted);
        QTemporaryDir dir;
        QTemporaryDir home;
        const QString out = dir.filePath(u"registro-4a-2026-12-07.pdf"_s);
        const QString mine = home.filePath(u"relazione.odt"_s);
        const QString elsewhere = home.filePath(u"nuovo.pdf"_s);
        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QVERIFY(append(mine, "mia") && QFile::setPermissions(mine, own));
        QVERIFY(planted == Planted::Link               ? QFile::link(mine, out)
                    : planted == Planted::DanglingLink ? QFile::link(elsewhere, out)
                    : planted == Planted::OpenFile
                    ? append(out, "x") && QFile::setPermissions(out, QFileDevice::Permissions(0x6666))
                    : QDir(dir.path()).mkdir(out));
        const mode_t umask = ::umask(022);
        mirabolo::classregister::ClassFigures figures;
        QString error;
        const bool written = mirabolo::registro::writePdfReport(
            out, {dir.path(), Period::All, QDate(2026, 12, 7), &figures, {}, 0, {}, 0}, &error);
        ::umask(umask);
        QTEST(written, "written");
        QCOMPARE(QFile(mine).permissions(), own);
        QCOMPARE(readBytes(mine), "mia");
        QVERIFY(!QFileInfo::exists(elsewhere));
        if (written) {
            QVERIFY(!QFileInfo(out).isSymLink());
            QCOMPARE(QFile(out).permissions(), own | QFile::ReadGroup | QFile::ReadOther);
            QVERIFY(readBytes(out).startsWith("%PDF"));
        } else {
            QVERIFY2(error.startsWith(u"Impossibile scrivere "_s + out), qPrintable(error));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(out).fileName()});
    }
};

QTEST_MAIN(TestRegistro)
#include "test_registro.moc"
