// A whole run: new games, ticks while the question is open, closing.
#include "windowharness.h"

#include <QPointer>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using mirabolo::test::scores;
using mirabolo::test::scriptExercise;
using mirabolo::test::WindowHarness;
using mirabolo::ui::Platform;
using mirabolo::ui::Session;
using mirabolo::ui::Tavola;

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newGame_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Platform::Yes);
        QTest::newRow("no") << int(Platform::No);
    }

    void newGame()
    {
        QFETCH(int, answer);
        WindowHarness h;
        QVERIFY(h.open());
        QPointer<Tavola> first = h.window();
        first->form().txtAnswer->setText(u"30"_s);
        first->txtAnswer_KeyPress(13);
        // The clock keeps running while the question is open.
        QStringList seen;
        h.platform.whileBoxOpen = [&](const mirabolo::test::Box &box) {
            for (int i = 0; first && box.buttons == Platform::YesNoQuestionDefaultNo && i < 3; ++i) {
                first->Timer1_Timer();
                seen.append(first->form().lblconto->text());
            }
        };
        h.platform.answers.enqueue(answer);
        h.platform.names.enqueue(u"Ugo"_s);
        scriptExercise(h.random, 1, 2, 4);
        first->form().Next->trigger();

        const mirabolo::test::Box question = h.platform.boxes.value(1);
        QCOMPARE(question.prompt, u"INIZIAMO UNA NUOVA GARA  ?"_s);
        QCOMPARE(question.buttons, 292);
        QCOMPARE(question.title, u"INIZIARE NUOVA GARA"_s);
        QCOMPARE(seen, (QStringList{u"00:14:59"_s, u"00:14:58"_s, u"00:14:57"_s}));
        if (answer == Platform::No) {
            QCOMPARE(h.window(), first.data());
            QCOMPARE(scores(first->form()), u"1/0/1"_s);
            QCOMPARE(first->form().lblMessage->text(), u"Esatto. Sei proprio ok!!!"_s);
            QVERIFY(first->timerRunning());
            QCOMPARE(h.platform.inputPrompts.size(), 1);
            // Closing the window ends the program without a farewell or a record.
            QSignalSpy finished(h.session.get(), &Session::finished);
            const qsizetype boxes = h.platform.boxes.size();
            first->close();
            QCOMPARE(finished.size(), 1);
            QCOMPARE(h.platform.boxes.size(), boxes);
            QFile record(h.dataDir() + u"eqc.txt"_s);
            QVERIFY(record.open(QIODevice::ReadOnly));
            QCOMPARE(record.readAll(), QByteArray());
            return;
        }
        // A fresh window from the form: the old one and its timer are gone.
        Tavola *second = h.window();
        QVERIFY(second != first.data());
        QVERIFY(!first || !first->timerRunning());
        QTRY_VERIFY(first.isNull());
        QCOMPARE(h.platform.inputPrompts.size(), 2);
        QCOMPARE(second->form().lblnome1->text(), u"Ugo"_s);
        QCOMPARE(second->form().lblconto->text(), u"00:15:00"_s);
        QCOMPARE(second->timeLeft().secondsLeft, qint16(900));
        QCOMPARE(scores(second->form()), u"0/0/0"_s);
        QTRY_COMPARE(second->form().Label2->text(), u"0,4"_s);
        QCOMPARE(h.platform.terminations, 0);
    }

    void manyNewGamesLeaveOneWindow()
    {
        WindowHarness h;
        QVERIFY(h.open());
        for (int game = 0; game < 100; ++game) {
            h.platform.answers.enqueue(Platform::Yes);
            h.platform.names.enqueue(u"Zoe"_s);
            scriptExercise(h.random, 1 + game % 6, 1 + (game + 1) % 6, 1 + game % 20);
            h.window()->Next_Click();
            QTRY_COMPARE(h.random.remaining(), 0);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Every old window, with its controls and timer, is gone.
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.cbegin(), windows.cend(),
                               [](const QWidget *w) { return qobject_cast<const Tavola *>(w) != nullptr; }),
                 1);
        QCOMPARE(h.platform.inputPrompts.size(), 101);
    }
};

MIRABOLO_GUI_TEST_MAIN(TestSession)

#include "test_session.moc"
