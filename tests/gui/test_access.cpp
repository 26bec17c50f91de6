// Keys that carry their text, as a real keyboard's do, and what Orca reads.
#include "gamewindow.h"

using namespace Qt::StringLiterals;
using mirabolo::test::GameWindow;

class TestAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::test::setUpWindowTests(); }

    void keys_data()
    {
        QTest::addColumn<bool>("judged"); // cmdNext enabled
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed"); // the answer box afterwards
        QTest::addColumn<QString>("expected"); // 0,3 for the next exercise
        const int alt = Qt::AltModifier;
        QTest::newRow("Alt+N, button disabled") << false << int(Qt::Key_N) << alt << u"n"_s << u""_s << u"30"_s;
        QTest::newRow("Alt+Q") << false << int(Qt::Key_Q) << alt << u"q"_s << u""_s << u"30"_s;
        QTest::newRow("plain n") << false << int(Qt::Key_N) << 0 << u"n"_s << u"n"_s << u"30"_s;
        QTest::newRow("AltGr+E as Ctrl+Alt")
            << false << int(Qt::Key_E) << int(Qt::ControlModifier | Qt::AltModifier) << u"€"_s << u"€"_s << u"30"_s;
        QTest::newRow("Alt+N, button enabled") << true << int(Qt::Key_N) << alt << u"n"_s << u""_s << u"0,3"_s;
    }
    void keys()
    {
        QFETCH(bool, judged);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s, 3, 2, 3));
        QWidget *answer = g.control(u"txtAnswer"_s);
        if (judged) {
            g.answer(u"30"_s);
            answer->setFocus();
        }
        g.script(2, 3, 3);
        QTest::sendKeyEvent(QTest::Press, answer, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(!g.control(u"cmdNext"_s)->property("down").toBool());
        QTEST(g.text(u"Label2"_s), "expected");
        QTEST(g.text(u"txtAnswer"_s), "typed");
    }

    // Read out with the focus; the expected answer never is.
    void speech()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s, 3, 2, 3));
        QCOMPARE(g.window()->accessibleDescription(), u"Sfidante Zoe."_s);
        QCOMPARE(g.control(u"txtAnswer"_s)->accessibleDescription(),
                 u"Quanti centilitri sono 3 decilitri? Inserisci il risultato e  premi il tasto  Invio"_s);
        QCOMPARE(g.control(u"txtAnswer"_s)->toolTip(), u"Inserisci il risultato e  premi il tasto  Invio"_s);
        g.answer(u"3"_s);
        QCOMPARE(g.control(u"cmdNext"_s)->accessibleDescription(),
                 u"Sbagliato!! 30. Esatte 0, errate 1, totali 1. Restano 15 minuti."_s);
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
