// The teacher's program without its window: the class session over a register
// in a scratch folder, with a fixed today, and the item models over it. Each
// case reads the register, then something happens (games end, the file is
// replaced or taken away, the period changes) and the models must show the
// class as a fresh reading would, having said no more than what changed.
#include "registro/application.h"
#include "registro/classanswers.h"
#include "registro/classmodels.h"
#include "registro/classsession.h"
#include "registro/reportcontent.h"
#include "registro/texts.h"
#include "sampleclass.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::classregister::DateSpan;
using mirabolo::classregister::Period;
using namespace mirabolo::registro;

namespace {

const QDate today(2026, 12, 7);

const QByteArray &classRegister = mirabolo::test::sampleRegister;

// Beside it, the answers of Luca's and Zoe's games: one line a spreadsheet
// could not have come from, and one of an earlier school year.
const QByteArray classAnswers = "\xEF\xBB\xBF"
                                "Data;Ora;Nome;Inizio partita;Da;A;Quantit\xC3\xA0;Soluzione;Risposta;"
                                "Secondi impiegati;Esito\r\n"
                                "2025-05-10;10:50:00;Mia;2025-05-10 10:45:00;dl;cl;3;30;30;4;esatta\r\n"
                                "2026-10-05;09:50:00;Luca;2026-10-05 09:45:00;dl;cl;3;30;0,3;9;errata\r\n"
                                "2026-10-05;09:51:00;Luca;2026-10-05 09:45:00;l;ml;2;2000;200;6;errata\r\n"
                                "2026-10-05;09:52:00;Luca;2026-10-05;dl;cl;3;30;30;7;esatta\r\n"
                                "2026-12-07;09:10:00;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;5;esatta\r\n";

enum class Change { None, Append, Replace, Remove, Period };

struct Case
{
    Period period = Period::All;
    QString chosen = {}; // whose games the games model shows
    Change change = Change::None;
    QByteArray lines = {}; // appended, or the new file
    Period newPeriod = Period::All;
    // Afterwards: each pupil as "name games accuracy" in the pupils model's
    // order, the ranking's names, the chosen pupil's games as "date time",
    // and what the session said ("reset", "pupil ROW", "game ROW at POSITION").
    QStringList pupils = {};
    QStringList ranking = {};
    QStringList games = {};
    QStringList told = {};
};

bool write(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

// The cells of one column, found by its title, top to bottom.
QStringList column(const QAbstractItemModel &model, const QString &title)
{
    int at = 0;
    while (at < model.columnCount() && model.headerData(at, Qt::Horizontal).toString() != title)
        ++at;
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells << model.index(row, at).data().toString();
    return cells;
}

QStringList joined(const QList<QStringList> &columns)
{
    QStringList rows = columns.value(0);
    for (qsizetype c = 1; c < columns.size(); ++c)
        for (qsizetype r = 0; r < rows.size(); ++r)
            rows[r] += u' ' + columns.at(c).value(r);
    return rows;
}

// A session with its three models, each checked by Qt's model tester at
// every change it announces.
struct Class
{
    QTemporaryDir dir;
    QString path = dir.filePath(u"registro.csv"_s);
    std::optional<ClassSession> session;
    std::optional<PupilsModel> pupils;
    std::optional<ClassRankingModel> ranking;
    std::optional<PupilGamesModel> games;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    QStringList told = {};

    explicit Class(Period period, const QByteArray &bytes = classRegister)
    {
        write(path, bytes, QIODevice::WriteOnly);
        session.emplace(path, period, [] { return today; });
        pupils.emplace(*session);
        ranking.emplace(*session);
        games.emplace(*session);
        for (QAbstractItemModel *model : std::initializer_list<QAbstractItemModel *>{&*pupils, &*ranking, &*games})
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        QObject::connect(&*session, &ClassSession::reset, [this] { told << u"reset"_s; });
        QObject::connect(&*session, &ClassSession::pupilChanged,
                         [this](qsizetype row) { told << u"pupil %1"_s.arg(row); });
        QObject::connect(&*session, &ClassSession::gameInserted,
                         [this](qsizetype row, qsizetype at) { told << u"game %1 at %2"_s.arg(row).arg(at); });
    }

    QStringList pupilRows() const
    {
        return joined({column(*pupils, u"Nome"_s), column(*pupils, u"Partite"_s), column(*pupils, u"Precisione"_s)});
    }
    QStringList gameRows() const { return joined({column(*games, u"Data"_s), column(*games, u"Ora"_s)}); }

    // Every row of the three models, to be followed across a change as a
    // view's selection is.
    QList<std::pair<QPersistentModelIndex, QString>> rows() const
    {
        QList<std::pair<QPersistentModelIndex, QString>> all;
        for (const QAbstractItemModel *model :
             std::initializer_list<const QAbstractItemModel *>{&*pupils, &*ranking, &*games})
            for (int row = 0; row < model->rowCount(); ++row)
                all.append({model->index(row, 0), model->index(row, 0).data().toString().toCaseFolded()});
        return all;
    }
};

} // namespace

Q_DECLARE_METATYPE(Case)

class TestClassSession : public QObject
{
    Q_OBJECT

    QTemporaryDir settings;

private Q_SLOTS:
    void initTestCase()
    {
        setUpApplication(*QCoreApplication::instance());
        // The class lists the sessions read and save, apart from any other run's.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    }

    void classList_data()
    {
        QTest::addColumn<QByteArray>("list"); // the teacher's, for the class folder
        QTest::addColumn<Period>("period");
        QTest::addColumn<QStringList>("pupils"); // name, games, accuracy, best game, da seguire
        QTest::addColumn<QStringList>("ranking");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("unlisted"); // in the period
        QTest::addColumn<QStringList>("unlistedNames"); // in the whole register
        QTest::addColumn<QStringList>("problems");
        const QByteArray list = "Classe: 4\xC2\xAA A\nLuca = Lucas\nZoe Bianchi = zoe\nAnna\n";
        QTest::newRow("spellings joined, a pupil with no game")
            << list << Period::SchoolYear
            << QStringList{u"Luca 3 20,0% 2 esatte, 05/10/2026 da seguire"_s,
                           u"Zoe Bianchi 2 60,0% 9 esatte, 07/12/2026 "_s, u"Anna 0 – nessuna partita "_s}
            << QStringList{u"Zoe Bianchi"_s, u"Luca"_s}
            << u"Partite: 5 · 2 di 3 hanno giocato · Minuti: 75 · Esatte: 18 · Errate: 32 · Precisione: 36,0%"_s
            << QString() << QStringList{u"Mia"_s} << QStringList();
        QTest::newRow("a name on nobody's list")
            << list << Period::All
            << QStringList{u"Luca 3 20,0% 2 esatte, 05/10/2026 da seguire"_s,
                           u"Zoe Bianchi 2 60,0% 9 esatte, 07/12/2026 "_s, u"Anna 0 – nessuna partita "_s,
                           u"Mia 1 100,0% 10 esatte, 10/05/2025 "_s}
            << QStringList{u"Mia"_s, u"Zoe Bianchi"_s, u"Luca"_s}
            << u"Partite: 6 · 2 di 3 hanno giocato · Minuti: 90 · Esatte: 28 · Errate: 32 · Precisione: 46,7%"_s
            << u"Nomi che non sono nell'elenco della classe: Mia (1 partita)"_s << QStringList{u"Mia"_s}
            << QStringList();
        QTest::newRow("a list with errors")
            << QByteArray("Classe: 4A\nLuca\nluca = Mia\nMia\nMaestra: Rossi\n") << Period::All
            << QStringList{u"Luca 3 20,0% 2 esatte, 05/10/2026 da seguire"_s, u"Mia 1 100,0% 10 esatte, 10/05/2025 "_s,
                           u"Zoe 2 60,0% 9 esatte, 07/12/2026 "_s}
            << QStringList{u"Mia"_s, u"Zoe"_s, u"Luca"_s}
            << u"Partite: 6 · 2 di 2 hanno giocato · Minuti: 90 · Esatte: 28 · Errate: 32 · Precisione: 46,7%"_s
            << u"Nomi che non sono nell'elenco della classe: Zoe (2 partite)"_s << QStringList{u"Zoe"_s}
            << QStringList{u"Riga 3: «luca» è già un nome di Luca (riga 2): questa riga non conta."_s,
                           u"Riga 5: «Maestra: Rossi» non si capisce. Una riga è un alunno, oppure «Classe:», "
                           u"«Soglia:» o «Partite minime:»; un nome con i due punti va tra virgolette."_s};
        QTest::newRow("her rule, no pupils")
            << QByteArray("Soglia: 70%\nPartite minime: 2\n") << Period::All
            << QStringList{u"Mia 1 100,0% 10 esatte, 10/05/2025 "_s, u"Luca 3 20,0% 2 esatte, 05/10/2026 da seguire"_s,
                           u"Zoe 2 60,0% 9 esatte, 07/12/2026 da seguire"_s}
            << QStringList{u"Mia"_s, u"Zoe"_s, u"Luca"_s}
            << u"Partite: 6 · Alunni: 3 · Minuti: 90 · Esatte: 28 · Errate: 32 · Precisione: 46,7%"_s << QString()
            << QStringList{u"Mia"_s, u"Luca"_s, u"Zoe"_s} << QStringList();
    }
    // The teacher's list for the class folder, found by the session: the
    // class by its name with every pupil, names typed otherwise joined, and
    // those on nobody's list said.
    void classList()
    {
        QFETCH(QByteArray, list);
        QFETCH(Period, period);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        QVERIFY(write(path, classRegister, QIODevice::WriteOnly));
        const QString listPath = mirabolo::classregister::classListPath(dir.path());
        QVERIFY(QDir().mkpath(QFileInfo(listPath).path()) && write(listPath, list, QIODevice::WriteOnly));
        ClassSession session(path, period, [] { return today; });
        PupilsModel pupils(session);
        ClassRankingModel ranking(session);
        session.readToEnd();
        QTEST(joined({column(pupils, u"Nome"_s), column(pupils, u"Partite"_s), column(pupils, u"Precisione"_s),
                      column(pupils, u"Miglior partita"_s), column(pupils, u"Da seguire"_s)}),
              "pupils");
        QTEST(column(ranking, u"Alunno"_s), "ranking");
        QTEST(classSummaryText(session.figures()), "summary");
        QTEST(unlistedText(session.figures()), "unlisted");
        QTEST(session.unlistedNames(), "unlistedNames");
        QTEST(session.classListProblems(), "problems");
        QCOMPARE(session.reportContent().classTitle(),
                 session.classList().className().isEmpty() ? dir.path() : session.classList().className());
    }

    void following_data()
    {
        QTest::addColumn<Case>("c");
        const QStringList all{u"Mia 1 100,0%"_s, u"Luca 3 20,0%"_s, u"Zoe 2 60,0%"_s};
        const QStringList zoe{u"01/12/2026 10:00"_s, u"07/12/2026 09:12"_s};
        QTest::newRow("read whole, school year") << Case{.period = Period::SchoolYear,
                                                         .chosen = u"zoe"_s,
                                                         .pupils = {u"Luca 3 20,0%"_s, u"Zoe 2 60,0%"_s},
                                                         .ranking = {u"Zoe"_s, u"Luca"_s},
                                                         .games = zoe};
        QTest::newRow("a game of the pupil shown") << Case{.chosen = u"Zoe"_s,
                                                           .change = Change::Append,
                                                           .lines = "2026-12-07;10:30:00;Zoe;5;5;10;0;uscita;\r\n",
                                                           .pupils = {all[0], all[1], u"Zoe 3 56,7%"_s},
                                                           .ranking = {u"Mia"_s, u"Zoe"_s, u"Luca"_s},
                                                           .games = zoe + QStringList{u"07/12/2026 10:30"_s},
                                                           .told = {u"pupil 2"_s, u"game 2 at 2"_s}};
        QTest::newRow("a new pupil, level with the best")
            << Case{.chosen = u"Zoe"_s,
                    .change = Change::Append,
                    .lines = "2026-12-07;10:31:00;Ugo;1;0;1;0;uscita;\r\n",
                    .pupils = all + QStringList{u"Ugo 1 100,0%"_s},
                    .ranking = {u"Mia"_s, u"Ugo"_s, u"Zoe"_s, u"Luca"_s},
                    .games = zoe,
                    .told = {u"pupil 3"_s, u"game 3 at 0"_s}};
        QTest::newRow("a game that moves no pupil") << Case{.chosen = u"Zoe"_s,
                                                            .change = Change::Append,
                                                            .lines = "2026-12-07;11:00:00;Luca;4;6;10;0;uscita;\r\n",
                                                            .pupils = {all[0], u"Luca 4 25,0%"_s, all[2]},
                                                            .ranking = {u"Mia"_s, u"Zoe"_s, u"Luca"_s},
                                                            .games = zoe,
                                                            .told = {u"pupil 1"_s, u"game 1 at 3"_s}};
        QTest::newRow("a game that moves a pupil up") << Case{.chosen = u"Zoe"_s,
                                                              .change = Change::Append,
                                                              .lines = "2026-12-07;11:10:00;Luca;40;0;40;0;uscita;\r\n",
                                                              .pupils = {all[0], u"Luca 4 65,7%"_s, all[2]},
                                                              .ranking = {u"Mia"_s, u"Luca"_s, u"Zoe"_s},
                                                              .games = zoe,
                                                              .told = {u"pupil 1"_s, u"game 1 at 3"_s}};
        QTest::newRow("a game that moves a pupil down")
            << Case{.chosen = u"Zoe"_s,
                    .change = Change::Append,
                    .lines = "2026-12-07;11:10:00;Mia;0;40;40;0;uscita;\r\n",
                    .pupils = {u"Mia 2 20,0%"_s, all[1], all[2]},
                    .ranking = {u"Zoe"_s, u"Luca"_s, u"Mia"_s},
                    .games = zoe,
                    .told = {u"pupil 0"_s, u"game 0 at 1"_s}};
        QTest::newRow("an earlier game of the pupil shown")
            << Case{.chosen = u"Zoe"_s,
                    .change = Change::Append,
                    .lines = "2026-11-30;09:00:00;Zoe;1;1;2;0;uscita;\r\n",
                    .pupils = {all[0], all[1], u"Zoe 3 59,1%"_s},
                    .ranking = {u"Mia"_s, u"Zoe"_s, u"Luca"_s},
                    .games = QStringList{u"30/11/2026 09:00"_s} + zoe,
                    .told = {u"pupil 2"_s, u"game 2 at 0"_s}};
        QTest::newRow("a spelling used most")
            << Case{.chosen = u"Zoe"_s,
                    .change = Change::Append,
                    .lines = "2026-12-07;12:00:00;ZOE;0;0;0;900;uscita;\r\n"
                             "2026-12-07;12:01:00;ZOE;0;0;0;900;uscita;\r\n",
                    .pupils = {all[0], all[1], u"ZOE 4 60,0%"_s},
                    .ranking = {u"Mia"_s, u"ZOE"_s, u"Luca"_s},
                    .games = zoe + QStringList{u"07/12/2026 12:00"_s, u"07/12/2026 12:01"_s},
                    .told = {u"pupil 2"_s, u"game 2 at 2"_s, u"pupil 2"_s, u"game 2 at 3"_s}};
        QTest::newRow("a game outside the period") << Case{.period = Period::ThisMonth,
                                                           .chosen = u"Zoe"_s,
                                                           .change = Change::Append,
                                                           .lines = "2026-11-30;09:00:00;Zoe;1;1;2;0;uscita;\r\n",
                                                           .pupils = {u"Zoe 2 60,0%"_s},
                                                           .ranking = {u"Zoe"_s},
                                                           .games = zoe};
        QTest::newRow("the pupil chosen has games again")
            << Case{.period = Period::Today,
                    .chosen = u"Luca"_s,
                    .change = Change::Append,
                    .lines = "2026-12-07;13:00:00;luca;1;1;2;0;uscita;\r\n",
                    .pupils = {u"Zoe 1 90,0%"_s, u"luca 1 50,0%"_s},
                    .ranking = {u"Zoe"_s, u"luca"_s},
                    .games = {u"07/12/2026 13:00"_s},
                    .told = {u"pupil 1"_s, u"game 1 at 0"_s}};
        QTest::newRow("another period, the pupil chosen kept") << Case{.chosen = u"Zoe"_s,
                                                                       .change = Change::Period,
                                                                       .newPeriod = Period::Today,
                                                                       .pupils = {u"Zoe 1 90,0%"_s},
                                                                       .ranking = {u"Zoe"_s},
                                                                       .games = {u"07/12/2026 09:12"_s},
                                                                       .told = {u"reset"_s}};
        QTest::newRow("the register replaced") << Case{.chosen = u"Zoe"_s,
                                                       .change = Change::Replace,
                                                       .lines = "2026-12-07;12:00:00;Eva;5;5;10;0;uscita;\r\n",
                                                       .pupils = {u"Eva 1 50,0%"_s},
                                                       .ranking = {u"Eva"_s},
                                                       .told = {u"reset"_s}};
        QTest::newRow("the register taken away")
            << Case{.chosen = u"Zoe"_s, .change = Change::Remove, .told = {u"reset"_s}};
    }
    void following()
    {
        QFETCH(Case, c);
        Class shown(c.period);
        shown.session->readToEnd();
        shown.games->setPupil(c.chosen);
        shown.told.clear();
        const auto followed = shown.rows();
        const QString other = shown.dir.filePath(u"nuovo.csv"_s);
        switch (c.change) {
        case Change::None:
            break;
        case Change::Append:
            QVERIFY(write(shown.path, c.lines, QIODevice::Append));
            break;
        case Change::Replace:
            QVERIFY(write(other, c.lines, QIODevice::WriteOnly));
            QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(shown.path).constData()) == 0);
            break;
        case Change::Remove:
            QVERIFY(QFile::remove(shown.path));
            break;
        case Change::Period:
            shown.session->setPeriod(c.newPeriod);
            break;
        }
        shown.session->readToEnd();
        QCOMPARE(shown.pupilRows(), c.pupils);
        QCOMPARE(column(*shown.ranking, u"Alunno"_s), c.ranking);
        QCOMPARE(shown.gameRows(), c.games);
        QCOMPARE(shown.told, c.told);
        for (const auto &[row, text] : followed)
            if (row.isValid())
                QCOMPARE(row.data().toString().toCaseFolded(), text);
    }

    // The answers beside the register are counted with it and followed
    // like it: for the period, by the list's spellings, skipped lines
    // counted, a missing file said plainly, and what is added counted once.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("before"); // the answers file; null: none
        QTest::addColumn<Change>("change");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<Period>("period"); // the period after the change
        QTest::addColumn<QStringList>("counts"); // "who answers right": the class's (""), Luca's, Zoe's
        QTest::addColumn<QString>("notice"); // in the status or the skipped lines' text
        const QByteArray zoe = "2026-12-07;10:31:00;zoe;2026-12-07 10:30:00;cl;l;4;0,04;4;8;errata\r\n";
        QTest::newRow("none yet") << QByteArray() << Change::None << QByteArray() << Period::All
                                  << QStringList{u" 0 0"_s, u"Luca 0 0"_s, u"Zoe 0 0"_s} << u"Non ci sono ancora"_s;
        QTest::newRow("read with the register")
            << classAnswers << Change::None << QByteArray() << Period::All
            << QStringList{u" 4 2"_s, u"Luca 2 0"_s, u"Zoe 1 1"_s} << u"1 riga non letta — riga 5"_s;
        QTest::newRow("a game's answers added")
            << classAnswers << Change::Append << zoe + zoe << Period::All
            << QStringList{u" 6 2"_s, u"Luca 2 0"_s, u"Zoe 3 1"_s} << u"1 riga non letta"_s;
        QTest::newRow("half a line is not an answer yet")
            << classAnswers << Change::Append << zoe + zoe.first(30) << Period::All
            << QStringList{u" 5 2"_s, u"Luca 2 0"_s, u"Zoe 2 1"_s} << u"1 riga non letta"_s;
        QTest::newRow("another period") << classAnswers << Change::Period << QByteArray() << Period::Today
                                        << QStringList{u" 1 1"_s, u"Luca 0 0"_s, u"Zoe 1 1"_s} << u"riga 5"_s;
        QTest::newRow("the file taken away")
            << classAnswers << Change::Remove << QByteArray() << Period::All
            << QStringList{u" 0 0"_s, u"Luca 0 0"_s, u"Zoe 0 0"_s} << u"Non ci sono ancora"_s;
        QTest::newRow("the file at last") << QByteArray() << Change::Replace << classAnswers << Period::All
                                          << QStringList{u" 4 2"_s, u"Luca 2 0"_s, u"Zoe 1 1"_s} << u"riga 5"_s;
    }
    void answers()
    {
        QFETCH(QByteArray, before);
        QFETCH(Change, change);
        QFETCH(QByteArray, lines);
        QFETCH(Period, period);
        QFETCH(QStringList, counts);
        QFETCH(QString, notice);
        Class shown(Period::All);
        const QString answersPath = shown.dir.filePath(u"risposte.csv"_s);
        if (!before.isNull())
            QVERIFY(write(answersPath, before, QIODevice::WriteOnly));
        shown.session->readToEnd();
        QSignalSpy changed(&shown.session->answers(), &ClassAnswers::changed);
        switch (change) {
        case Change::None:
            break;
        case Change::Append:
            QVERIFY(write(answersPath, lines, QIODevice::Append));
            break;
        case Change::Replace:
            QVERIFY(write(answersPath, lines, QIODevice::WriteOnly));
            break;
        case Change::Remove:
            QVERIFY(QFile::remove(answersPath));
            break;
        case Change::Period:
            shown.session->setPeriod(period);
            break;
        }
        shown.session->readToEnd();
        QCOMPARE(changed.size(), change == Change::None ? 0 : 1);
        const ClassAnswers &answers = shown.session->answers();
        QStringList shownCounts;
        for (const QString &who : {QString(), u"Luca"_s, u"Zoe"_s}) {
            const auto *tally = answers.tally(who);
            shownCounts << u"%1 %2 %3"_s.arg(who).arg(tally ? tally->answers() : 0).arg(tally ? tally->right() : 0);
        }
        QCOMPARE(shownCounts, counts);
        const QString said =
            answers.statusMessage() + u'|' + answersSkippedText(answers.skippedCount(), answers.skippedLines());
        QVERIFY2(said.contains(notice), qPrintable(said));
    }

    // The answers of a pupil typed under another spelling of the class list
    // are that pupil's, and saving the list counts them afresh.
    void answersByTheList()
    {
        Class shown(Period::All);
        QVERIFY(write(shown.dir.filePath(u"risposte.csv"_s), classAnswers, QIODevice::WriteOnly));
        shown.session->readToEnd();
        QCOMPARE(shown.session->answers().tally(u"Luca"_s)->answers(), 2);
        mirabolo::classregister::ClassList list;
        QVERIFY(list.addPupil(u"Luchino"_s));
        QVERIFY(list.addSpelling(0, u"Luca"_s));
        QString error;
        QVERIFY2(shown.session->saveClassList(list, &error), qPrintable(error));
        shown.session->readToEnd();
        const auto *listed = shown.session->answers().tally(u"Luchino"_s);
        QVERIFY(listed != nullptr);
        QCOMPARE(listed->answers(), 2);
    }

    // The answers read are kept, and the next session reads only the lines
    // the games added since: a line changed before them goes unseen then.
    // Anything but the same file grown, for the same days and class list, is
    // read from its start (a damaged checkpoint is the codec's test's).
    void checkpoints_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("takenUp");
        QTest::newRow("the same file grown") << u"grown"_s << true;
        QTest::newRow("the same file, nothing added") << u"same"_s << true;
        QTest::newRow("another period") << u"period"_s << false;
        QTest::newRow("another class list") << u"list"_s << false;
        QTest::newRow("a copy in its place") << u"copy"_s << false;
        QTest::newRow("its last line rewritten") << u"last"_s << false;
        QTest::newRow("too little read to keep") << u"little"_s << false;
    }
    void checkpoints()
    {
        QFETCH(QString, change);
        QFETCH(bool, takenUp);
        Class first(Period::All);
        const QString answersPath = first.dir.filePath(u"risposte.csv"_s);
        QVERIFY(write(answersPath, classAnswers, QIODevice::WriteOnly));
        const QString kept = first.dir.filePath(u"cache"_s);
        first.session->setCheckpointFolder(kept, change == u"little"_s ? 1 << 20 : 0);
        first.session->readToEnd();

        // Untouched, the file is the one read: nothing tells the readings apart
        // but that the second is ready with the figures.
        QByteArray now = classAnswers;
        if (change != u"same"_s)
            now.replace(";0,3;", ";0,4;");
        if (change == u"last"_s)
            now.replace(";30;30;5;esatta", ";30;30;6;esatta");
        const QByteArray zoe = change == u"same"_s
            ? QByteArray()
            : "2026-12-07;10:31:00;Zoe;2026-12-07 10:30:00;cl;l;4;0,04;4;8;errata\r\n";
        if (change == u"copy"_s) {
            QVERIFY(write(answersPath + u".new"_s, now + zoe, QIODevice::WriteOnly));
            QVERIFY(QFile::remove(answersPath) && QFile::rename(answersPath + u".new"_s, answersPath));
        } else if (change != u"same"_s) {
            QFile file(answersPath);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.write(now + zoe) == now.size() + zoe.size());
        }
        ClassSession again(first.path, change == u"period"_s ? Period::SchoolYear : Period::All, [] { return today; });
        again.setCheckpointFolder(kept, 0);
        if (change == u"list"_s) {
            const QString list = first.dir.filePath(u"elenco.txt"_s);
            QVERIFY(write(list, "Luca\nZoe\n", QIODevice::WriteOnly));
            again.setClassListPath(list);
        }
        again.readToEnd();
        QVERIFY(again.isReady());
        QVERIFY(again.answers().tally(u"Luca"_s) != nullptr);
        QStringList typed;
        for (const auto &common : again.answers().tally(u"Luca"_s)->common().mostCommon(10))
            typed << common.answer.typed;
        QCOMPARE(typed.contains(u"0,3"_s), takenUp);
        QCOMPARE(typed.contains(u"0,4"_s), !takenUp);
        QCOMPARE(again.answers().tally(u"Zoe"_s)->answers(), zoe.isEmpty() ? 1 : 2);
        QCOMPARE(again.answers().skippedCount(), 1);
    }

    // Saved from the window, the list counts at once and is read again by
    // the next session; one given on the command line is read and saved
    // where it is; a range of days counts its own.
    void savingTheList()
    {
        Class shown(Period::SchoolYear);
        shown.session->readToEnd();
        mirabolo::classregister::ClassList list;
        list.setClassName(u"4ª B"_s);
        QVERIFY(list.addPupil(u"Luca"_s) && list.addPupil(u"Eva"_s));
        list.setRule({50, 1});
        QString error;
        shown.told.clear();
        QVERIFY2(shown.session->saveClassList(list, &error), qPrintable(error));
        shown.session->readToEnd();
        QCOMPARE(shown.told, QStringList{u"reset"_s});
        QCOMPARE(shown.pupilRows(), QStringList({u"Luca 3 20,0%"_s, u"Eva 0 –"_s, u"Zoe 2 60,0%"_s}));
        QCOMPARE(shown.session->className(), u"4ª B"_s);
        QCOMPARE(column(*shown.pupils, u"Da seguire"_s), QStringList({u"da seguire"_s, QString(), QString()}));

        ClassSession again(shown.path, Period::SchoolYear, [] { return today; });
        QCOMPARE(again.classList().pupils(), list.pupils());
        QCOMPARE(again.classListPath(), mirabolo::classregister::classListPath(shown.dir.path()));

        const QString given = shown.dir.filePath(u"elenco.txt"_s);
        QVERIFY(write(given, "Zoe\n", QIODevice::WriteOnly));
        again.setClassListPath(given);
        again.openRegister(shown.path); // another register keeps the list given
        again.readToEnd();
        QCOMPARE(again.figures().listed(), 1);
        QVERIFY(again.saveClassList(list, &error));
        QCOMPARE(mirabolo::classregister::readClassList(given).list.pupils(), list.pupils());

        // Where nothing can be written: said, and not taken for saved.
        again.setClassListPath(shown.dir.filePath(u"registro.csv/elenco.txt"_s));
        QVERIFY(!again.saveClassList(list, &error));
        QVERIFY2(error.contains(u"registro.csv/elenco.txt"_s), qPrintable(error));
        QVERIFY(again.classList().isEmpty());

        shown.session->setRange({QDate(2026, 10, 6), QDate(2026, 12, 1)});
        shown.session->readToEnd();
        QCOMPARE(shown.pupilRows(), QStringList({u"Luca 2 20,0%"_s, u"Eva 0 –"_s, u"zoe 1 30,0%"_s}));
        QCOMPARE(periodSummaryText(shown.session->period(), shown.session->figures()).section(u" — "_s, 0, 0),
                 u"Dal 06/10/2026 al 01/12/2026"_s);
    }

    // A register larger than a slice is read over several turns of the event
    // loop, one reset for them all, and is ready once, as if read at once;
    // with no event loop (the report from the command line), all at once.
    void slices()
    {
        // Answers in more slices than the register: ready waits for them.
        QByteArray answers = classAnswers;
        for (int i = 0; i < 10; ++i)
            answers += "2026-12-07;09:10:00;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;5;esatta\r\n";
        Class atOnce(Period::All);
        QVERIFY(write(atOnce.dir.filePath(u"risposte.csv"_s), answers, QIODevice::WriteOnly));
        atOnce.session->setSliceBytes(100);
        atOnce.session->readToEnd();
        QVERIFY(atOnce.session->isReady());
        QCOMPARE(atOnce.session->answers().tally({})->answers(), 14);

        Class shown(Period::All);
        QVERIFY(write(shown.dir.filePath(u"risposte.csv"_s), answers, QIODevice::WriteOnly));
        shown.session->setSliceBytes(100);
        QSignalSpy ready(&*shown.session, &ClassSession::ready);
        qint64 answersWhenReady = -1;
        QObject::connect(&*shown.session, &ClassSession::ready, [&shown, &answersWhenReady] {
            const auto *tally = shown.session->answers().tally({});
            answersWhenReady = tally ? tally->answers() : 0;
        });
        shown.session->refresh();
        QVERIFY(shown.session->loading());
        QCOMPARE(shown.pupils->rowCount(), 0); // no class half counted meanwhile
        QTRY_VERIFY(shown.session->isReady());
        QCOMPARE(ready.size(), 1);
        QCOMPARE(answersWhenReady, 14);
        QCOMPARE(shown.told, QStringList{u"reset"_s});
        QCOMPARE(shown.pupilRows(), QStringList({u"Mia 1 100,0%"_s, u"Luca 3 20,0%"_s, u"Zoe 2 60,0%"_s}));
        QCOMPARE(atOnce.pupilRows(), shown.pupilRows());
        QCOMPARE(shown.session->file().skippedCount(), 1);
    }

    // What the report says comes from the session: the class folder as its
    // source, the period of the figures, the lines skipped, why it is empty.
    void reportContent()
    {
        Class shown(Period::Today);
        shown.session->readToEnd();
        const ReportContent content = shown.session->reportContent();
        QCOMPARE(content.source, shown.dir.path());
        QCOMPARE((std::tuple(content.period, content.today, content.figures->games())),
                 std::tuple(Period::Today, today, 1));
        QCOMPARE(skippedSummaryText(content), u"1 riga non letta — riga 5: mancano delle colonne."_s);
        QVERIFY(QFile::remove(shown.path));
        shown.session->readToEnd();
        QVERIFY2(shown.session->reportContent().notice.contains(shown.path),
                 qPrintable(shown.session->reportContent().notice));
        QCOMPARE(noticeText({}, Period::Today, shown.session->figures(), 0),
                 u"Nessuna partita nel periodo scelto: oggi (07/12/2026)."_s);
    }

    // How a figure reads in the window and the report alike.
    void texts_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected");
        QTest::newRow("count") << countText(999) << u"999"_s;
        QTest::newRow("count in thousands") << countText(1234) << u"1.234"_s;
        QTest::newRow("nothing answered") << percentText({}) << u"–"_s;
        QTest::newRow("no earlier games") << trendText({}) << u"–"_s;
        QTest::newRow("rising") << trendText(5.24) << u"+5,2 punti"_s;
        QTest::newRow("falling") << trendText(-3.0) << u"−3,0 punti"_s;
        QTest::newRow("level, a hair up") << trendText(0.04) << u"0,0 punti"_s;
        QTest::newRow("level, a hair down") << trendText(-0.04) << u"0,0 punti"_s;
        QTest::newRow("one day") << periodText(Period::Today, DateSpan{today, today}) << u"Oggi (07/12/2026)"_s;
        QTest::newRow("a week") << periodText(Period::ThisWeek, DateSpan{today, today.addDays(6)})
                                << u"Questa settimana (dal 07/12/2026 al 13/12/2026)"_s;
        QTest::newRow("open span") << periodText(Period::All, DateSpan{}) << u"Tutto"_s;
    }
    void texts()
    {
        QFETCH(QString, shown);
        QTEST(shown, "expected");
    }
};

QTEST_GUILESS_MAIN(TestClassSession)
#include "test_classsession.moc"
