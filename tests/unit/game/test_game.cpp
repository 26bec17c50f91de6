#include "fakeplatform.h"
#include "game/exercise.h"
#include "game/gamemodel.h"
#include "game/mistakes.h"
#include "game/random.h"
#include "game/speech.h"
#include "game/units.h"
#include "privatexdg.h"
#include "records/answerswriter.h"
#include "records/folderfile.h"
#include "scriptedrandom.h"
#include "tsvrows.h"
#include "ui/gamecontroller.h"

#include <QDir>
#include <QSemaphore>
#include <QSet>
#include <QTemporaryDir>

#include <limits>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace mirabolo::game;

class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"mirabolo"_s); }

    void expectedAnswerText_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("answers.tsv")); }

    // From the draws to the text the pupil must type; the row's tag checks the
    // abbreviations too.
    void expectedAnswerText()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see answers.tsv
        ScriptedRandom random;
        random.exercise(row[u"source"].toInt(), row[u"target"].toInt(), row[u"quantity"].toInt());
        const Exercise e = drawExercise(random);
        QCOMPARE(u"%1 %2 into %3"_s.arg(e.quantity).arg(unitAbbreviation(e.source), unitAbbreviation(e.target)),
                 row[u"tag"]);
        QCOMPARE(mirabolo::game::expectedAnswerText(e, QLocale(QLocale::Italian, QLocale::Italy)), row[u"italian"]);
        QCOMPARE(mirabolo::game::expectedAnswerText(e, QLocale::c()), row[u"c"]);
    }

    void classifyAnswer_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("mistakes.tsv")); }

    // Each wrong answer's kind, against the text the game itself expects.
    void classifyAnswer()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see mistakes.tsv
        const QLocale italian(QLocale::Italian, QLocale::Italy);
        Exercise e;
        e.source = row[u"source"].toInt();
        e.target = row[u"target"].toInt();
        e.quantity = row[u"quantity"].toInt();
        e.expected = expectedValue(e.source, e.target, e.quantity);
        const QString expected = mirabolo::game::expectedAnswerText(e, italian);
        QCOMPARE(mistakeKindName(
                     mirabolo::game::classifyAnswer(row[u"typed"], expected, e.source, e.target, e.quantity, italian)),
                 row[u"kind"]);
    }

    void scriptedDraws_data()
    {
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QList<int>>("drawn"); // red, green, source, target, quantity
        QTest::addColumn<QString>("log"); // R: reseed, D: draw

        QTest::newRow("red redrawn on 0, green 0 kept")
            << QList<double>{0.05, 0.34, 0.0, 0.0, 0.2, 0.5} << QList<int>{3, 0, 1, 2, 11} << u"RDDDRDDD"_s;
        QTest::newRow("red redrawn until not 0, largest values")
            << QList<double>{0.0, 0.09, 0.099, 0.95, 0.99, 0.99, 0.0, 0.999} << QList<int>{9, 9, 6, 1, 20}
            << u"RDDDDDRDDD"_s;
        QTest::newRow("units redrawn while equal, source first")
            << QList<double>{0.5, 0.5, 0.0, 0.1, 0.9, 0.99, 0.3, 0.6, 0.999} << QList<int>{5, 5, 2, 4, 20}
            << u"RDDRDDDDDDD"_s;
    }

    void scriptedDraws()
    {
        QFETCH(QList<double>, draws);
        QFETCH(QList<int>, drawn);
        QFETCH(QString, log);

        ScriptedRandom random(draws);
        const Exercise e = drawExercise(random);
        QCOMPARE((QList<int>{e.bandRed, e.bandGreen, e.source, e.target, e.quantity}), drawn);
        QCOMPARE(random.log(), log);
        QCOMPARE(random.remaining(), 0);
    }

    // A reseed that repeated its sequence would set the same exercise again and
    // again; a draw out of range would show as one value too many.
    void seededDrawsCoverEveryExercise()
    {
        ClockSeededRandom random;
        QSet<int> pairs, quantities, reds, greens;
        for (int run = 0; run < 3000; ++run) { // a pair is left out with a chance below 1e-40
            const Exercise e = drawExercise(random);
            pairs.insert(e.source * 10 + e.target);
            quantities.insert(e.quantity);
            reds.insert(e.bandRed);
            greens.insert(e.bandGreen);
        }
        QCOMPARE((QList<qsizetype>{pairs.size(), quantities.size(), reds.size(), greens.size()}),
                 (QList<qsizetype>{30, 20, 9, 10}));
    }

    void play_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("play.tsv")); }

    // Whatever comes after the end (ticks behind its boxes, answers, the
    // button again) changes nothing, and the game ends once.
    void play()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see play.tsv
        const int ticks = row[u"ticks"].toInt();
        const QString ending = row[u"ending"];

        ScriptedRandom random;
        GameModel game(random, QLocale(QLocale::Italian, QLocale::Italy),
                       [] { return QDateTime(QDate(2026, 1, 2), {}); });
        QList<GameSummary> ends;
        connect(&game, &GameModel::ended, this, [&ends](const GameSummary &summary) { ends.append(summary); });
        game.begin(u"Zoe"_s);
        for (const QString &typed : row.from(u"first", row[u"exercises"].toInt())) {
            random.exercise(2, 3, 3);
            game.nextExercise();
            QCOMPARE(game.verdict(), std::nullopt);
            game.answer(typed);
            if (row[u"again"] == u"yes"_s)
                QCOMPARE(game.answer(u"0,3"_s), std::nullopt);
        }
        for (int i = 0; i < ticks; ++i)
            game.tick();
        if (row[u"exit"] == u"yes"_s)
            game.end(GameEnd::Exit);
        QCOMPARE(game.message(), row[u"message"]);
        QCOMPARE(game.countdown().text(), row[u"clock"]);
        QCOMPARE(game.hasEnded(), !ending.isEmpty());

        for (int i = 0; i < 1000; ++i)
            game.tick();
        game.nextExercise(); // not a draw left: it would end the test
        game.answer(u"0,3"_s);
        game.end(GameEnd::Exit);
        QCOMPARE(game.countdown().text(), ending.isEmpty() ? u"00:00:00"_s : row[u"clock"]);
        QCOMPARE(ends.size(), 1);
        const GameSummary &end = ends.front();
        QCOMPARE(
            (QList<int>{end.right, end.wrong, end.secondsLeft}),
            (QList<int>{row[u"right"].toInt(), row[u"wrong"].toInt(), ending.isEmpty() ? 0 : qMax(900 - ticks, 0)}));
        QCOMPARE(end.ending, ending == u"exit"_s ? GameEnd::Exit : GameEnd::TimeOut);
        QCOMPARE(end.name + end.end.toString(Qt::ISODate), u"Zoe2026-01-02T00:00:00"_s);
    }

    // The start-up and end of a game with no window: every box in its order,
    // the register line and the program's end, ticks going on behind every box.
    void startAndEnd_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("endings.tsv")); }

    void startAndEnd()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see endings.tsv
        const QString action = row[u"action"], obstacle = row[u"obstacle"];
        QTemporaryDir home;
        mirabolo::test::usePrivateXdg(home.path());
        QFile blocker(home.filePath(obstacle));
        if (obstacle.endsWith(u".txt"_s))
            QVERIFY(QDir(home.path()).mkdir(u"mirabolo"_s) &&
                    ::mkfifo(QFile::encodeName(blocker.fileName()), 0600) == 0);
        else
            QVERIFY(obstacle.isEmpty() ||
                    (obstacle.endsWith(u".csv"_s) ? QDir(home.path()).mkpath(obstacle)
                                                  : blocker.open(QIODevice::WriteOnly)));

        mirabolo::test::FakePlatform platform;
        ScriptedRandom random;
        random.exercise(3, 2, 3);
        mirabolo::records::AnswersWriter answers;
        mirabolo::ui::GameController controller(platform, random, answers);
        GameModel &game = controller.model();
        platform.names.enqueue(row[u"name"]);
        controller.greet();
        controller.openRecords();
        game.nextExercise();
        game.answer(row[u"typed"]);
        for (int i = 0; i < row[u"ticks"].toInt(); ++i)
            game.tick();
        platform.whileBoxOpen = [&game] { game.tick(), game.tick(), game.tick(); };
        using Answer = mirabolo::ui::Platform::Answer;
        platform.answers.enqueue(row[u"reply"] == u"yes"_s ? Answer::Yes : Answer::No);
        bool restart = false;
        if (action == u"exit"_s)
            game.end(GameEnd::Exit);
        else if (action == u"menu"_s)
            restart = controller.confirmNewGame();
        else if (action == u"close"_s)
            game.end(GameEnd::WindowClosed);
        else if (action == u"logout"_s)
            game.end(GameEnd::Interrupted);

        QCOMPARE(platform.boxes, row.from(u"boxes"));
        QCOMPARE(platform.terminations, row[u"ends"].toInt());
        QCOMPARE(restart, row[u"reply"] == u"yes"_s && platform.terminations == 0); // a new window only then
        QFile games(home.filePath(u"mirabolo/registro.csv"_s)); // its line but for the date and time
        const QString line = games.open(QIODevice::ReadOnly) ? QString::fromUtf8(games.readAll()) : QString();
        QCOMPARE(line.section(u"\r\n"_s, 1, 1).section(u';', 2), row[u"line"]);
        if (action == u"menu"_s) // a new game leaves them to the writer; any other end waits for them
            answers.flush(QDeadlineTimer::Forever);
        QFile kept(home.filePath(u"mirabolo/risposte.csv"_s));
        const QString answer = kept.open(QIODevice::ReadOnly) ? QString::fromUtf8(kept.readAll()) : QString();
        QCOMPARE(answer.section(u"\r\n"_s, 1).section(u';', 2),
                 row[u"answer"].isEmpty() ? QString() : row[u"answer"] + u"\r\n"_s);
    }

    void judgedAnswers_data()
    {
        QTest::addColumn<QStringList>("play"); // per exercise: ticks before the answer, then what is typed
        QTest::addColumn<QStringList>("kept"); // name, game's start, verdict's time, exercise, texts, seconds
        QTest::newRow("right after 7 seconds") << QStringList{u"7 30"_s} << QStringList{u"Zoe 0 1 3>2 3 30 '30' 1 7"_s};
        QTest::newRow("each from its own exercise")
            << QStringList{u"5 3"_s, u"2 30"_s}
            << QStringList{u"Zoe 0 1 3>2 3 30 '3' 0 5"_s, u"Zoe 0 2 3>2 3 30 '30' 1 2"_s};
        QTest::newRow("Enter again") << QStringList{u"1 =3"_s, u"again 30"_s}
                                     << QStringList{u"Zoe 0 1 3>2 3 30 '=3' 0 1"_s};
        QTest::newRow("after the end") << QStringList{u"0 30"_s, u"end 30"_s}
                                       << QStringList{u"Zoe 0 1 3>2 3 30 '30' 1 0"_s};
    }
    // Every verdict, and nothing else, is kept with its exercise, the text as
    // typed, the seconds it took, when it was judged and when its game began.
    void judgedAnswers()
    {
        QFETCH(QStringList, play);
        ScriptedRandom random;
        int minutes = 0; // each reading of the clock a minute later
        GameModel game(random, QLocale(QLocale::Italian, QLocale::Italy),
                       [&minutes] { return QDateTime(QDate(2026, 1, 2), QTime(9, minutes++)); });
        QStringList kept;
        connect(&game, &GameModel::answered, this, [&kept](const JudgedAnswer &a) {
            kept << u"%1 %2 %3 %4>%5 %6 %7 '%8' %9"_s.arg(a.name)
                        .arg(a.gameStart.time().minute())
                        .arg(a.when.time().minute())
                        .arg(a.source)
                        .arg(a.target)
                        .arg(a.quantity)
                        .arg(a.expected, a.typed)
                        .arg(a.right) +
                    u' ' + QString::number(a.seconds);
        });
        game.begin(u"Zoe"_s);
        for (const QString &step : play) {
            const QString first = step.section(u' ', 0, 0), typed = step.section(u' ', 1);
            if (first == u"end"_s) {
                game.end(GameEnd::Exit);
            } else if (first != u"again"_s) {
                random.exercise(3, 2, 3);
                game.nextExercise();
                for (int i = first.toInt(); i > 0; --i)
                    game.tick();
            }
            game.answer(typed);
        }
        QTEST(kept, "kept");
    }

    // A lock held by another PC holds up no exercise: the answers wait for
    // it, and the end says plainly what could not be written in its time. A
    // file that refuses them ends the wait at once, however long the bound.
    void stalledShare_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("lastBox");
        QTest::addColumn<int>("kept");
        const QString neither = u"Non sono riuscito a scrivere il registro delle partite. "_s;
        const QString answers = u"Non sono riuscito a salvare tutte le tue risposte."_s;
        QTest::newRow("lock held through the end") << u"held"_s << neither + answers << 0;
        QTest::newRow("lock let go before the end")
            << u"let go"_s << u"Ok ho registrato il tuo record, C A M P I O N E\""_s << 3;
        QTest::newRow("a folder in the way") << u"folder"_s << answers << 0;
    }
    void stalledShare()
    {
        QFETCH(QString, obstacle);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"risposte.csv"_s);
        auto lock = std::make_unique<mirabolo::records::FolderLock>();
        QVERIFY(obstacle == u"folder"_s ? QDir().mkdir(path) : lock->take(folder.filePath(u"eqc.lock"_s), true, {}));
        QSemaphore tried;
        mirabolo::records::AnswersWriter answers(
            std::chrono::seconds(1), [&tried](mirabolo::records::RecordStore::Appended) { tried.release(); });
        mirabolo::test::FakePlatform platform;
        ScriptedRandom random;
        mirabolo::ui::GameController controller(platform, random, answers, folder.path(),
                                                obstacle == u"held"_s ? std::chrono::hours(0) : std::chrono::hours(24));
        GameModel &game = controller.model();
        platform.names.enqueue(u"Zoe"_s);
        controller.greet();
        controller.openRecords();
        for (int i = 0; i < 3; ++i) {
            random.exercise(3, 2, 3);
            game.nextExercise();
            QCOMPARE(game.answer(u"30"_s), Verdict::Right);
        }
        tried.acquire();
        QVERIFY(!QFileInfo(path).isFile());
        if (obstacle == u"let go"_s)
            lock.reset();
        game.end(GameEnd::Exit);
        QTEST(platform.boxes.last(), "lastBox");
        QFile file(path);
        QTEST(file.open(QIODevice::ReadOnly) ? int(file.readAll().count(";esatta\r\n")) : 0, "kept");
    }
    void countersStopAtTheirLargestValue()
    {
        constexpr int largest = std::numeric_limits<qint16>::max();
        Scoreboard board;
        for (int i = 0; i < 2 * (largest + 1); ++i) {
            board.openExercise();
            board.judge(i <= largest ? u"5"_s : u"x"_s, u"5"_s);
        }
        QCOMPARE((QList<int>{board.rightCount(), board.wrongCount(), board.totalCount()}),
                 (QList<int>{largest, largest, 2 * largest}));
    }

    void speech_data()
    {
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("expected");

        QTest::newRow("19 cl into ml") << exerciseQuestion(Exercise{1, 0, 2, 1, 19, 190.0})
                                       << u"Quanti millilitri sono 19 centilitri?"_s;
        QTest::newRow("1 hl into dal") << exerciseQuestion(Exercise{1, 0, 6, 5, 1, 10.0})
                                       << u"Quanti decalitri sono 1 ettolitro?"_s;
        QTest::newRow("wrong, minutes") << verdictSpeech(u"Sbagliato!! 190"_s, 3, 1, 779)
                                        << u"Sbagliato!! 190. Esatte 3, errate 1, totali 4. Restano 12 minuti."_s;
        QTest::newRow("right, one minute")
            << verdictSpeech(u"Esatto. Sei proprio ok!!!"_s, 1, 0, 60)
            << u"Esatto. Sei proprio ok!!! Esatte 1, errate 0, totali 1. Resta 1 minuto."_s;
        QTest::newRow("last second") << timeLeftSpeech(1) << u"Resta 1 secondo"_s;
        QTest::newRow("record") << startSpeech(u"Zoe"_s, u"12\r\n"_s, u"Ada\r\n"_s)
                                << u"Sfidante Zoe. Il record è di Ada con 12 punti."_s;
        QTest::newRow("one point") << startSpeech(u"Zoe"_s, u"1"_s, u"Ada"_s)
                                   << u"Sfidante Zoe. Il record è di Ada con 1 punto."_s;
        QTest::newRow("no record, no name") << startSpeech(QString(), QString(), QString()) << QString();
    }

    // What a pupil hears; the expected answer is never part of the question.
    void speech()
    {
        QFETCH(QString, spoken);
        QTEST(spoken, "expected");
    }
};

QTEST_GUILESS_MAIN(TestGame)
#include "test_game.moc"
