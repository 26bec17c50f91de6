// The teacher's window played through offscreen on a register in a scratch
// folder, with a fixed today: what only the window can get wrong, the class
// itself being the session's (tests/unit/registro). Periods chosen, sorting
// by value, a pupil chosen and kept, games reaching tables and charts, and
// the report written as a PDF.
#include "classregister/registerformat.h"
#include "registro/answertexts.h"
#include "registro/application.h"
#include "registro/chartview.h"
#include "registro/classlistdialog.h"
#include "registro/liveregister.h"
#include "registro/registerwindow.h"
#include "registro/report.h"
#include "registro/reviewpanel.h"
#include "sampleclass.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;
using mirabolo::classregister::RecordMark;
using mirabolo::game::GameEnd;
using mirabolo::game::GameSummary;
using mirabolo::game::MistakeKind;
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

// The access keys that more than one of the texts uses: Alt with such a key
// only moves the focus.
QString sharedAccessKeys(const QStringList &texts)
{
    QString seen;
    QString shared;
    for (const QString &text : texts) {
        const qsizetype at = QString(text).replace(u"&&"_s, u"__"_s).indexOf(u'&');
        const QChar key = at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
        if (!key.isNull() && seen.contains(key))
            shared += key;
        seen += key;
    }
    return shared;
}

// Painted white all over, as a chart with nothing to show used to be.
bool blank(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return false;
    return true;
}

int inotifyWarnings = 0;

void countInotifyWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(u"inotify"_s))
        ++inotifyWarnings;
}

// Shown whole inside the window, not cut off by its edge.
bool inSight(const QWidget &w, const QWidget *part)
{
    return part && part->isVisible() && !part->visibleRegion().isEmpty() &&
        w.rect().contains(QRect(part->mapTo(&w, QPoint()), part->size()));
}

// Not hidden, and not scrolled out of the table's sight.
bool columnInSight(const QTableView *view, int column)
{
    const int left = view->columnViewportPosition(column);
    return !view->isColumnHidden(column) && left >= 0 && left + view->columnWidth(column) <= view->viewport()->width();
}

// The box the window left open, closed once read.
QMessageBox *openBox(const RegisterWindow &w)
{
    for (QMessageBox *box : w.findChildren<QMessageBox *>())
        if (box->isVisible())
            return box;
    return nullptr;
}

} // namespace

class TestRegistro : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::registro::setUpApplication(*qApp); }

    // Within the first menu, and among the window's own menus, buttons,
    // labelled fields and tabs.
    void accessKeys()
    {
        RegisterWindow w(QString(), Period::All, [] { return QDate(2026, 12, 7); });
        QStringList menu;
        QStringList window;
        for (const QAction *action : w.menuBar()->actions().constFirst()->menu()->actions())
            menu << action->text();
        for (const QAction *action : w.menuBar()->actions())
            window << action->text();
        for (const QAbstractButton *button : w.findChildren<QAbstractButton *>())
            window << button->text();
        for (const QLabel *label : w.findChildren<QLabel *>())
            if (label->buddy())
                window << label->text();
        for (const QTabBar *tabs : w.findChildren<QTabBar *>())
            for (int tab = 0; tab < tabs->count(); ++tab)
                window << tabs->tabText(tab);
        QCOMPARE(sharedAccessKeys(menu), QString());
        QCOMPARE(sharedAccessKeys(window), QString());
    }

    void unreadable_data()
    {
        QTest::addColumn<bool>("folderClosed"); // else the register alone
        QTest::newRow("folder") << true;
        QTest::newRow("register") << false;
    }
    // What this account may not read is followed by polling, without a
    // warning at every poll, and read as soon as it may be.
    void unreadable()
    {
        QFETCH(bool, folderClosed);
        if (::geteuid() == 0) {
            // Root reads everything: an ordinary account plays the case.
            QTemporaryDir home;
            QVERIFY(::chown(QFile::encodeName(home.path()).constData(), 65534, 65534) == 0);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name :
                 {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
                env.insert(QString::fromLatin1(name), home.path());
            env.insert(u"XDG_CONFIG_DIRS"_s, home.path());
            QProcess child;
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(u"setpriv"_s,
                        {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, u"--"_s,
                         QCoreApplication::applicationFilePath(),
                         u"unreadable:"_s + QString::fromLatin1(QTest::currentDataTag())});
            if (!child.waitForStarted())
                QSKIP("setpriv (util-linux) is needed to run this as an ordinary account");
            QVERIFY(child.waitForFinished(60000));
            const QByteArray output = child.readAll();
            if (child.exitCode() != 0 && output.startsWith("setpriv:"))
                QSKIP(qPrintable(u"no ordinary account to run this as: "_s + QString::fromLocal8Bit(output)));
            QVERIFY2(child.exitCode() == 0, output.constData());
            return;
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"classe"_s);
        const QString path = folder + u"/registro.csv"_s;
        QVERIFY(QDir().mkdir(folder) && append(path, "2026-12-07;09:12;Zoe;9;1;10;0;uscita;\r\n"));
        const QString closed = folderClosed ? folder : path;
        const QFile::Permissions open = QFile::permissions(closed);
        QVERIFY(QFile::setPermissions(closed, QFile::WriteOwner));
        inotifyWarnings = 0;
        const QtMessageHandler before = qInstallMessageHandler(countInotifyWarnings);
        mirabolo::registro::LiveRegister live(path);
        live.setFollowing(true);
        for (int poll = 0; poll < 5; ++poll)
            live.refresh();
        const auto state = live.file().state();
        QVERIFY(QFile::setPermissions(closed, open));
        live.refresh();
        qInstallMessageHandler(before);
        QCOMPARE(state, mirabolo::classregister::RegisterFile::State::NotReadable);
        QCOMPARE(live.file().games().size(), 1);
        QCOMPARE(inotifyWarnings, 0);
    }

    void screens_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("beside"); // each chart with its table beside it
        QTest::newRow("1024×768") << QSize(1024, 768) << false;
        QTest::newRow("1366×768") << QSize(1366, 768) << true;
    }
    // A school's screen holds the whole window: the class, the pupil's games
    // with how each ended, and the count of unread lines.
    void screens()
    {
        QFETCH(QSize, screen);
        QFETCH(bool, beside);
        QTemporaryDir dir;
        // A share's long path in the status line, as the desktop mounts it.
        const QString folder = dir.filePath(u"smb-share:server=nas-segreteria.icpascoli.local,share=didattica/"
                                            u"Scuola primaria Giovanni Pascoli - plesso di via Roma - classe 4A"_s);
        const QString path = folder + u"/registro.csv"_s;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(append(path,
                       "2026-10-05;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-10-06;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-10-07;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "non è una partita\r\n"
                       "2026-12-01;10:00:00;Maria Vittoria;3;7;10;0;finestra chiusa;\r\n"));
        RegisterWindow w(path, Period::SchoolYear, [] { return QDate(2026, 12, 7); });
        w.session().setFollowing(false);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        QVERIFY(w.selectPupil(u"Maria Vittoria"_s));
        QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry()));

        // Room left by borders, a title bar and a desktop panel.
        const QSize room = screen - QSize(16, 96);
        const QSize least = w.minimumSize().expandedTo(w.minimumSizeHint());
        QVERIFY2(least.width() <= room.width() && least.height() <= room.height(),
                 qPrintable(u"%1×%2"_s.arg(least.width()).arg(least.height())));
        w.showNormal();
        w.resize(room);
        auto *pupils = named<QTableView>(w, u"Alunni della classe"_s);
        auto *games = named<QTableView>(w, u"Partite dell'alunno scelto, in numeri"_s);
        auto *chart = named<mirabolo::registro::ChartView>(w, u"Grafico: partite dell'alunno scelto"_s);
        QVERIFY(pupils && games && chart);
        QTRY_COMPARE(chart->mapTo(&w, QPoint()).y() == games->mapTo(&w, QPoint()).y(), beside);
        QVERIFY(inSight(w, pupils));
        QVERIFY(columnInSight(pupils, columnOf(pupils, u"Da seguire"_s)));
        QVERIFY(inSight(w, games));
        QCOMPARE(column(games, u"Fine"_s), QStringList({u"finestra chiusa"_s}));
        QVERIFY(columnInSight(games, columnOf(games, u"Fine"_s)));
        QVERIFY(inSight(w, w.findChild<QPushButton *>()));
    }

    void playThrough()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        QVERIFY(append(path, mirabolo::test::sampleRegister));
        RegisterWindow w(path, Period::SchoolYear, [] { return QDate(2026, 12, 7); });
        w.session().setFollowing(false); // the test says when to look
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        auto *pupils = named<QTableView>(w, u"Alunni della classe"_s);
        auto *games = named<QTableView>(w, u"Partite dell'alunno scelto, in numeri"_s);
        auto *ranking = named<QTableView>(w, u"Precisione per alunno, in numeri"_s);
        QVERIFY(pupils && games && ranking);
        QCOMPARE(w.findChild<QLabel *>(u"summary"_s)->text(),
                 u"Anno scolastico (dal 01/09/2026 al 31/08/2027) — Partite: 5 · Alunni: 2 · Minuti: 75 · Esatte: 18 "
                 u"· Errate: 32 · Precisione: 36,0%\nDa seguire: precisione sotto il 60% in almeno 3 partite"_s);
        auto *skipped = w.findChild<QPushButton *>();
        QVERIFY(skipped && skipped->isVisible());
        QCOMPARE(skipped->text(), u"1 riga non letta"_s);
        QTest::mouseClick(skipped, Qt::LeftButton);
        QMessageBox *box = openBox(w);
        QVERIFY(box);
        QCOMPARE(box->detailedText(), u"riga 5: mancano delle colonne"_s);
        box->close();
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
                 u"Zoe — Partite: 2 · Minuti: 30 · Precisione: 60,0% · Andamento: –"_s);

        // Games end while the window is open and reach the tables.
        QVERIFY(append(path,
                       "2026-12-07;10:30:00;Zoe;5;5;10;0;uscita;\r\n"
                       "2026-12-07;10:31:00;Ugo;1;0;1;0;uscita;\r\n"));
        w.session().refresh();
        QCOMPARE(column(games, u"Data"_s).size(), 3);
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s}));

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
        w.saveReport(pdf);
        box = openBox(w);
        QVERIFY(box);
        QVERIFY2(box->text().contains(u"«resoconto.pdf»"_s) && box->text().contains(dir.path()),
                 qPrintable(box->text()));
        box->close();
        const QString report = pdfText(pdf);
        for (const QString &fact :
             {u"Registro di Mirabolo"_s, u"Classe: "_s + dir.path(), u"Periodo: Tutto"_s,
              u"Resoconto del lunedì 7 dicembre 2026"_s, u"1 riga non letta — riga 5: mancano delle colonne."_s,
              u"Partite: 9 · Alunni: 4 · Minuti: 135 · Esatte: 38 · Errate: 43 · Precisione: 46,9%"_s, u"Mia"_s,
              u"Ugo"_s, u"Luca"_s, u"Zoe"_s, u"Partite: 3 · Minuti: 45 · Esatte: 17 · Errate: 13 · Precisione: 56,7%"_s,
              u"Precisione per alunno"_s, u"Luca: partite dal 05/10/2026 al 07/12/2026"_s, u"uscita"_s,
              u"finestra chiusa"_s, u"Fine è vuota quando la partita è finita allo scadere del tempo"_s})
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
        // Charts with nothing to show say so, rather than stand blank.
        for (auto *view : w.findChildren<mirabolo::registro::ChartView *>())
            QVERIFY2(!blank(view), qPrintable(view->accessibleName()));
    }

    // The term from the window alone: the class by its name with every
    // pupil, her rule, names on nobody's list added, the table taken to a
    // spreadsheet, and a pupil's page.
    void term()
    {
        QTemporaryDir dir;
        QTemporaryDir settings;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
        const QString path = dir.filePath(u"registro.csv"_s);
        QVERIFY(append(path,
                       "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                       "2026-10-05;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-10-06;10:00:00;Luca;3;7;10;300;uscita;\r\n"
                       "2026-10-07;10:00:00;Lucas;2;8;10;0;uscita;\r\n"
                       "2026-10-08;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                       "2026-12-07;09:12:00;Zoe;9;1;10;0;tempo scaduto;nuovo\r\n"
                       "2026-12-07;09:30:00;'=Ugo;1;0;1;870;uscita;\r\n"
                       "2026-12-07;09:40:00;\"a;b\";1;1;2;0;uscita;\r\n"));
        const QString listPath = mirabolo::classregister::classListPath(dir.path());
        QVERIFY(QDir().mkpath(QFileInfo(listPath).path()));
        QVERIFY(append(listPath, "Classe: 4\xC2\xAA A\nLuca\nZoe\nAnna\n"));
        RegisterWindow w(path, Period::SchoolYear, [] { return QDate(2026, 12, 7); });
        w.session().setFollowing(false);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        QCOMPARE(w.windowTitle(), u"Registro di Mirabolo — 4ª A"_s);
        auto *pupils = named<QTableView>(w, u"Alunni della classe"_s);
        QVERIFY(pupils);
        QCOMPARE(column(pupils, u"Nome"_s),
                 QStringList({u"=Ugo"_s, u"a;b"_s, u"Anna"_s, u"Luca"_s, u"Lucas"_s, u"Zoe"_s}));
        QCOMPARE(w.findChild<QLabel *>(u"summary"_s)->text().section(u" ("_s, 0, 0),
                 u"Classe 4ª A · Anno scolastico"_s);
        const auto *unlisted = w.findChild<QLabel *>(u"unlisted"_s);
        QVERIFY(unlisted && unlisted->isVisible());
        QCOMPARE(unlisted->text(),
                 u"Nomi che non sono nell'elenco della classe: Lucas (1 partita), =Ugo (1 partita), "
                 u"a;b (1 partita)"_s);
        // Luca, below 60% over three games: in bold on a tinted ground, and
        // said in words.
        const QModelIndex luca = pupils->model()->index(3, 0);
        QVERIFY(luca.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(luca.data(Qt::BackgroundRole).isValid());
        QVERIFY(!pupils->model()->index(5, 0).data(Qt::FontRole).isValid());

        // A pupil with no game: their heading says so, their chart too.
        QVERIFY(w.selectPupil(u"anna"_s));
        QCOMPARE(w.findChild<QLabel *>(u"pupilTitle"_s)->text(), u"Anna — nessuna partita nel periodo"_s);
        for (auto *view : w.findChildren<mirabolo::registro::ChartView *>())
            QVERIFY2(!blank(view), qPrintable(view->accessibleName()));

        // Her own rule, and a typed name joined to a pupil, from the dialog.
        QAction *editList = nullptr;
        for (QAction *action : w.findChildren<QAction *>())
            if (action->text() == u"&Elenco della classe…"_s)
                editList = action;
        QVERIFY(editList);
        editList->trigger();
        auto *dialog = w.findChild<mirabolo::registro::ClassListDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        auto *table = dialog->findChild<QTableWidget *>();
        table->setCurrentCell(0, 0); // Luca
        dialog->addAsSpelling(0);
        dialog->addAsPupil(0); // =Ugo
        auto spins = dialog->findChildren<QSpinBox *>();
        QCOMPARE(spins.size(), 2);
        spins[0]->setValue(50);
        spins[1]->setValue(1);
        dialog->accept();
        w.session().readToEnd();
        QCOMPARE(column(pupils, u"Nome"_s), QStringList({u"=Ugo"_s, u"a;b"_s, u"Anna"_s, u"Luca"_s, u"Zoe"_s}));
        QCOMPARE(column(pupils, u"Partite"_s), QStringList({u"1"_s, u"1"_s, u"0"_s, u"4"_s, u"1"_s}));
        QCOMPARE(column(pupils, u"Da seguire"_s),
                 QStringList({QString(), QString(), QString(), u"da seguire"_s, QString()}));
        QVERIFY(readBytes(listPath).endsWith("\nLuca = Lucas\nZoe\nAnna\n\"=Ugo\"\n"));
        QVERIFY(readBytes(listPath).contains("Soglia: 50%\nPartite minime: 1\n"));

        // The table to a spreadsheet: copied as rows and columns, and saved
        // as CSV; no name runs as a formula.
        pupils->setFocus();
        QTest::keyClick(pupils, Qt::Key_C, Qt::ControlModifier);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        const QStringList lines = copied->text().split(u'\n');
        QCOMPARE(lines.at(0),
                 u"Nome\tPartite\tMinuti\tEsatte\tErrate\tPrecisione\tMiglior partita\tUltima partita\t"
                 u"Andamento\tDa seguire"_s);
        QCOMPARE(lines.at(1).section(u'\t', 0, 2), u"'=Ugo\t1\t1"_s);
        QCOMPARE(lines.size(), 7); // the header, five pupils, the end of the last line
        QVERIFY(copied->html().contains(u"<td>a;b</td>"_s));
        QVERIFY(copied->html().contains(u"<th>Precisione</th>"_s));
        QString error;
        const QString csv = dir.filePath(u"alunni.csv"_s);
        w.saveTable(csv);
        QMessageBox *box = openBox(w);
        QVERIFY(box);
        QCOMPARE(box->text(),
                 u"La tabella degli alunni è stata salvata come «alunni.csv» nella cartella «%1»."_s.arg(
                     QDir::toNativeSeparators(dir.path())));
        box->close();
        const QList<QByteArray> rows = readBytes(csv).split('\n');
        QCOMPARE(rows.at(0).left(29), "\xEF\xBB\xBF\"Nome\";\"Partite\";\"Minuti\";");
        QCOMPARE(rows.at(1), "\"'=Ugo\";1;1;1;0;100,0%;1 esatte, 07/12/2026;07/12/2026 09:30;–;\r");
        QCOMPARE(rows.at(2).left(13), "\"a;b\";1;15;1;");

        // A range that ends before it starts is refused, the period kept.
        QVERIFY(!w.setRange(QDate(2026, 12, 7), QDate(2026, 12, 6), &error));
        QCOMPARE(error, u"la data di fine (06/12/2026) viene prima di quella d'inizio (07/12/2026)."_s);
        QCOMPARE(w.session().period(), Period::SchoolYear);

        // Luca's page, one A4 sheet, with what he should go over.
        QVERIFY(append(dir.filePath(u"risposte.csv"_s),
                       "2026-10-05;09:59:00;Luca;2026-10-05 09:45:00;dl;cl;3;30;0,3;9;errata\r\n"));
        w.session().readToEnd();
        QVERIFY(w.selectPupil(u"luca"_s));
        const QString sheet = dir.filePath(u"scheda.pdf"_s);
        QVERIFY2(w.exportSheet(sheet, &error), qPrintable(error));
        const QString text = pdfText(sheet);
        for (const QString &fact :
             {u"Scheda di Luca"_s, u"Classe: 4ª A"_s, u"Partite: 4 · Minuti: 55 · Esatte: 9 · Errate: 31"_s,
              u"Da seguire: precisione sotto il 50% in almeno 1 partita."_s, u"Pagina 1 di 1"_s, u"07/10"_s,
              u"Da ripassare: niente sopra la soglia"_s, u"3 dl in cl: 0,3 — 1 volta"_s})
            QVERIFY2(text.contains(fact), qPrintable(fact));
    }

    // A name is shown as the pupil typed it, wherever it appears: never as
    // markup that would load, block on or show what it names.
    // The page of what to go over names each kind of mistake and says in
    // full what it means: a cut name or explanation leaves the teacher
    // guessing.
    void reviewPage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        QVERIFY(append(path, "2026-12-07;09:12:00;Zoe;0;1;1;0;uscita;\r\n"));
        QVERIFY(
            append(dir.filePath(u"risposte.csv"_s),
                   "Data;Ora;Nome;Inizio partita;Da;A;Quantit\xC3\xA0;Soluzione;Risposta;Secondi impiegati;Esito\r\n"
                   "2026-12-07;09:11:00;Zoe;2026-12-07 09:10:00;dl;cl;3;30;0,3;9;errata\r\n"));
        RegisterWindow w(path, Period::All, [] { return QDate(2026, 12, 7); });
        w.session().setFollowing(false);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        const QString pdf = dir.filePath(u"resoconto.pdf"_s);
        QString error;
        QVERIFY2(w.exportPdf(pdf, &error), qPrintable(error));
        const QString report = pdfText(pdf);
        // Too few answers to go over anything: said in words, not an empty list.
        const auto *nothing = w.findChild<QLabel *>(u"nothingToReview"_s);
        const auto *review = named<QTableView>(w, u"Da ripassare"_s);
        QVERIFY(nothing && review);
        QVERIFY(!nothing->isHidden() && review->isHidden());
        QByteArray more;
        for (int answer = 0; answer < 10; ++answer)
            more += "2026-12-07;09:11:30;Zoe;2026-12-07 09:10:00;dl;cl;3;30;0,3;9;errata\r\n";
        QVERIFY(append(dir.filePath(u"risposte.csv"_s), more));
        w.session().refresh();
        QTRY_VERIFY(nothing->isHidden() && !review->isHidden());
        for (int kind = int(MistakeKind::None) + 1; kind < mirabolo::classregister::mistakeKindCount; ++kind) {
            for (const QString &said : {mirabolo::game::mistakeKindName(MistakeKind(kind)),
                                        mirabolo::registro::mistakeKindExplanation(MistakeKind(kind))})
                QVERIFY2(report.contains(said), qPrintable(said));
        }

        // While a school's answers are read, the tab says so, not that there are none.
        mirabolo::registro::ClassAnswers reading;
        mirabolo::registro::ReviewPanel panel(reading);
        const auto *notice = panel.findChild<QLabel *>(u"answersNotice"_s);
        QVERIFY(notice);
        reading.startOver({QDate(2026, 9, 1), QDate(2026, 12, 7)});
        QCOMPARE(notice->text(), mirabolo::registro::readingAnswersText());
        reading.settle();
        QCOMPARE(notice->text(), mirabolo::registro::noAnswersInPeriodText());
    }

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
        w.session().setFollowing(false);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.isReady(), 30000);
        QCOMPARE(column(named<QTableView>(w, u"Alunni della classe"_s), u"Nome"_s), QStringList({name, u"Zoe"_s}));
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
