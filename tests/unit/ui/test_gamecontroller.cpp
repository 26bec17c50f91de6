// The start-up and end of a game with no window: every box in its order, the
// register line and the program's end, with ticks going on behind every box.
#include "fakeplatform.h"
#include "gamecontroller.h"
#include "scriptedrandom.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::game::GameEnd;
using Answer = mirabolo::ui::Platform::Answer;

namespace {

enum class Action { None, Exit, NewGame, CloseWindow };

const QString prompt = u"Come ti chiami?"_s;
const QString zoe = u" Zoe vediamo se sei un vero campione  "_s;
const QString question = u"INIZIARE NUOVA GARA: INIZIAMO UNA NUOVA GARA  ?"_s;
const QString stored = u"Ok ho registrato il tuo record, C A M P I O N E\""_s;
const QString unavailable = u"Non riesco a leggere o a creare i file dei record. Puoi giocare lo stesso, ma il "
                            u"record non potrà essere salvato."_s;

QString farewell(int seconds)
{
    return u"Data 06/12/26: Ciao a presto. Ore "_s + QString::number(seconds);
}

} // namespace

class TestGameController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"mirabolo"_s); }

    void startAndEnd_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed"); // the answer to 3 dl into cl
        QTest::addColumn<int>("ticks"); // before the action
        QTest::addColumn<Action>("action");
        QTest::addColumn<Answer>("reply"); // to the new-game question
        QTest::addColumn<QString>("obstacle"); // a folder made here, in the data home, before the start
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("terminations");
        QTest::addColumn<QString>("line"); // in the register, from the name on

        const QStringList start{prompt, zoe};
        QTest::newRow("exit") << u"Zoe"_s << u"30"_s << 157 << Action::Exit << Answer::No << QString()
                              << start + QStringList{farewell(743), stored} << 1 << u"Zoe;1;0;1;743;uscita;nuovo"_s;
        QTest::newRow("exit, no record") << u"Zoe"_s << u"3"_s << 0 << Action::Exit << Answer::No << QString()
                                         << start + QStringList{farewell(900)} << 1 << u"Zoe;0;1;1;900;uscita;"_s;
        QTest::newRow("time out") << u"Zoe"_s << u"30"_s << 901 << Action::None << Answer::No << QString()
                                  << start + QStringList{farewell(0), stored} << 1
                                  << u"Zoe;1;0;1;0;tempo scaduto;nuovo"_s;
        QTest::newRow("time out behind the question")
            << u"Zoe"_s << u"30"_s << 900 << Action::NewGame << Answer::Yes << QString()
            << start + QStringList{question, farewell(0), stored} << 1 << u"Zoe;1;0;1;0;tempo scaduto;nuovo"_s;
        QTest::newRow("new game") << u"Zoe"_s << u"30"_s << 0 << Action::NewGame << Answer::Yes << QString()
                                  << start + QStringList{question} << 0 << u"Zoe;1;0;1;897;nuova gara;"_s;
        QTest::newRow("no new game") << u"Zoe"_s << u"30"_s << 0 << Action::NewGame << Answer::No << QString()
                                     << start + QStringList{question} << 0 << QString();
        QTest::newRow("window closed") << u"Zoe"_s << u"30"_s << 0 << Action::CloseWindow << Answer::No << QString()
                                       << start << 0 << u"Zoe;1;0;1;900;finestra chiusa;"_s;
        QTest::newRow("cancelled name") << QString() << u"30"_s << 0 << Action::Exit << Answer::No << QString()
                                        << QStringList{prompt, u"  vediamo se sei un vero campione  "_s, farewell(900),
                                                       stored}
                                        << 1 << u";1;0;1;900;uscita;nuovo"_s;
        QTest::newRow("no data folder") << u"Zoe"_s << u"30"_s << 0 << Action::Exit << Answer::No << u"mirabolo"_s
                                        << start +
                QStringList{unavailable, farewell(900),
                            u"Purtroppo non sono riuscito a registrare il tuo "
                            u"record."_s}
                                        << 1 << QString();
        QTest::newRow("register not written")
            << u"Zoe"_s << u"30"_s << 0 << Action::Exit << Answer::No << u"mirabolo/registro.csv"_s
            << start + QStringList{farewell(900), stored, u"Non sono riuscito a scrivere il registro delle partite."_s}
            << 1 << QString();
    }

    void startAndEnd()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, ticks);
        QFETCH(Action, action);
        QFETCH(Answer, reply);
        QFETCH(QString, obstacle);
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        // A file in place of the data folder makes it unusable; a folder in
        // place of the register leaves only the register unwritable.
        QFile blocker(home.filePath(obstacle));
        QVERIFY(
            obstacle.isEmpty() ||
            (obstacle.endsWith(u".csv"_s) ? QDir(home.path()).mkpath(obstacle) : blocker.open(QIODevice::WriteOnly)));

        mirabolo::test::FakePlatform platform;
        ScriptedRandom random({0.5, 0.5, 2.5 / 6, 1.5 / 6, 2.5 / 20}); // 3 dl into cl
        mirabolo::ui::GameController controller(platform, random);
        mirabolo::game::GameModel &game = controller.model();
        platform.names.enqueue(name);
        controller.greet();
        controller.openRecords();
        game.nextExercise();
        game.answer(typed);
        for (int i = 0; i < ticks; ++i)
            game.tick();
        platform.whileBoxOpen = [&game] {
            for (int i = 0; i < 3; ++i)
                game.tick();
        };
        platform.answers.enqueue(reply);
        bool restart = false;
        if (action == Action::Exit)
            game.end(GameEnd::Exit);
        else if (action == Action::NewGame)
            restart = controller.confirmNewGame();
        else if (action == Action::CloseWindow)
            game.end(GameEnd::WindowClosed);

        QTEST(platform.boxes, "boxes");
        QTEST(platform.terminations, "terminations");
        QCOMPARE(restart, action == Action::NewGame && reply == Answer::Yes && ticks < 900);
        QFile games(home.filePath(u"mirabolo/registro.csv"_s)); // its line but for the date and time
        const QString line = games.open(QIODevice::ReadOnly) ? QString::fromUtf8(games.readAll()) : QString();
        QTEST(line.section(u"\r\n"_s, 1, 1).section(u';', 2), "line");
    }
};

QTEST_GUILESS_MAIN(TestGameController)
#include "test_gamecontroller.moc"
