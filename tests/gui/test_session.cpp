// A whole run: start, new games, ticks while boxes are open, closing.
#include "application.h"
#include "fakeplatform.h"
#include "scriptedrandom.h"
#include "session.h"
#include "tavola.h"
#include "windowharness.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using mirabolo::test::FakePlatform;
using mirabolo::test::scriptExercise;
using mirabolo::ui::Platform;
using mirabolo::ui::Session;
using mirabolo::ui::Tavola;

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void newGame_data();
    void newGame();
    void ticksWhileQuestionOpen();
    void timeRunsOutDuringQuestion();
    void closingEndsWithoutEndGame();
    void manyNewGamesLeaveOneWindow();

private:
    bool startSession(Session &session);
    QTemporaryDir m_data;
    FakePlatform m_platform;
    ScriptedRandom m_random;
};

void TestSession::init()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    m_platform = {};
    m_random = ScriptedRandom();
}

bool TestSession::startSession(Session &session)
{
    m_platform.names.enqueue(u"Zoe"_s);
    scriptExercise(m_random, 3, 2, 3);
    session.start();
    if (!QTest::qWaitForWindowExposed(session.window()))
        return false;
    return QTest::qWaitFor([&] { return m_random.remaining() == 0; }); // the first exercise is on screen
}

void TestSession::newGame_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(Platform::Yes);
    QTest::newRow("no") << int(Platform::No);
}

void TestSession::newGame()
{
    QFETCH(int, answer);
    Session session(m_platform, m_random);
    QVERIFY(startSession(session));
    QPointer<Tavola> first = session.window();
    first->form().txtAnswer->setText(u"3"_s);
    first->txtAnswer_KeyPress(13);
    QCOMPARE(first->form().lblScore1->text(), u"1"_s);

    m_platform.answers.enqueue(answer);
    m_platform.names.enqueue(u"Ugo"_s);
    scriptExercise(m_random, 1, 2, 4);
    first->form().Next->trigger();

    const mirabolo::test::Box question = m_platform.boxes.at(1);
    QCOMPARE(question.prompt, u"INIZIAMO UNA NUOVA GARA  ?"_s);
    QCOMPARE(question.buttons, 292);
    QCOMPARE(question.title, u"INIZIARE NUOVA GARA"_s);

    if (answer == Platform::No) {
        QCOMPARE(session.window(), first.data());
        QCOMPARE(first->form().lblScore1->text(), u"1"_s);
        QCOMPARE(first->form().lblScore2->text(), u"1"_s);
        QCOMPARE(first->form().Label2->text(), u"30"_s);
        QCOMPARE(first->form().lblMessage->text(), u"Sbagliato!! 30"_s);
        QVERIFY(first->timerRunning());
        QCOMPARE(m_platform.inputPrompts.size(), 1);
        return;
    }

    // A fresh window from the form: the old one and its timer are gone.
    Tavola *second = session.window();
    QVERIFY(second != first.data());
    QVERIFY(!first->timerRunning());
    QTRY_VERIFY(first.isNull());
    QCOMPARE(m_platform.inputPrompts.size(), 2);
    QCOMPARE(second->form().lblnome1->text(), u"Ugo"_s);
    QCOMPARE(second->form().lblconto->text(), u"00:15:00"_s);
    QCOMPARE(second->countdown().secondsLeft(), qint16(900));
    QCOMPARE(second->scoreboard().totalCount(), 0);
    QCOMPARE(second->form().lblScore->text(), u"0"_s);
    QCOMPARE(second->form().lblScore1->text(), u"0"_s);
    QCOMPARE(second->form().lblScore2->text(), u"0"_s);
    QTRY_COMPARE(second->form().Label2->text(), u"0,4"_s);
    QCOMPARE(m_platform.terminations, 0);
}

void TestSession::ticksWhileQuestionOpen()
{
    Session session(m_platform, m_random);
    QVERIFY(startSession(session));
    Tavola *window = session.window();
    QStringList seen;
    m_platform.whileBoxOpen = [&](const mirabolo::test::Box &) {
        for (int i = 0; i < 3; ++i) {
            window->Timer1_Timer();
            seen.append(window->form().lblconto->text());
        }
    };
    m_platform.answers.enqueue(Platform::No);
    window->Next_Click();
    QCOMPARE(seen, (QStringList{u"00:14:59"_s, u"00:14:58"_s, u"00:14:57"_s}));
    QCOMPARE(session.window(), window);
}

void TestSession::timeRunsOutDuringQuestion()
{
    Session session(m_platform, m_random);
    QVERIFY(startSession(session));
    QPointer<Tavola> window = session.window();
    for (int i = 0; i < 900; ++i)
        window->Timer1_Timer();
    QCOMPARE(window->form().lblconto->text(), u"00:00:00"_s);

    // The tick that ends the game arrives while the question is open, and
    // more ticks keep arriving behind the farewell box.
    m_platform.whileBoxOpen = [&](const mirabolo::test::Box &) {
        for (int i = 0; i < 3; ++i)
            window->Timer1_Timer();
    };
    m_platform.answers.enqueue(Platform::Yes);
    window->Next_Click();

    QCOMPARE(m_platform.terminations, 1);
    const QStringList prompts = m_platform.prompts();
    QCOMPARE(prompts.count(u"Ciao a presto. Ore 0"_s), 1);
    QCOMPARE(session.window(), window.data()); // no new game after the end
    QCOMPARE(m_platform.inputPrompts.size(), 1);
}

void TestSession::closingEndsWithoutEndGame()
{
    Session session(m_platform, m_random);
    QVERIFY(startSession(session));
    QSignalSpy finished(&session, &Session::finished);
    Tavola *window = session.window();
    window->form().txtAnswer->setText(u"30"_s);
    window->txtAnswer_KeyPress(13);
    const qsizetype boxesBefore = m_platform.boxes.size();

    window->close();

    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_platform.boxes.size(), boxesBefore); // no farewell
    QFile record(m_data.path() + u"/mirabolo/eqc.txt"_s);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll(), QByteArray()); // the right answer was not stored
}

void TestSession::manyNewGamesLeaveOneWindow()
{
    Session session(m_platform, m_random);
    QVERIFY(startSession(session));
    for (int game = 0; game < 100; ++game) {
        m_platform.answers.enqueue(Platform::Yes);
        m_platform.names.enqueue(u"Zoe"_s);
        scriptExercise(m_random, 1 + game % 6, 1 + (game + 1) % 6, 1 + game % 20);
        session.window()->Next_Click();
        QTRY_COMPARE(m_random.remaining(), 0);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Every old window, with its controls and timer, is gone.
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto alive = std::count_if(windows.cbegin(), windows.cend(),
                                     [](const QWidget *w) { return qobject_cast<const Tavola *>(w) != nullptr; });
    QCOMPARE(alive, 1);
    QCOMPARE(m_platform.inputPrompts.size(), 101);
    QCOMPARE(m_random.remaining(), 0);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mirabolo::ui::setUpApplication(app);
    TestSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_session.moc"
