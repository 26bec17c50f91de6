// The window driven from inside: scripted boxes and draws, direct ticks.
#include "windowharness.h"

#include "application.h"
#include "bandcanvas.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using mirabolo::test::WindowHarness;

namespace {

const QColor black(0, 0, 0);

// A point of the window surface that no control covers (left of the clock).
const QPoint bareSurface(5, 300);

QColor bandAt(const QPoint &point, int red, int green, int surfaceHeight)
{
    // The band whose top edge, rounded down to a pixel, is the last one at
    // or above the point.
    int band = 0;
    while (band < 255 && (band + 1) * 2 * surfaceHeight / 512 <= point.y())
        ++band;
    return QColor(20 * red, 20 * green, band);
}

} // namespace

class TestTavola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void startUp_data();
    void startUp();
    void highlights_data();
    void highlights();
    void judging_data();
    void judging();
    void wrongThenRight();
    void oneVerdictPerExercise();
    void otherKeysChangeNothing();
    void keyboardOnlyPlay();
    void bandsDrawnOncePerExercise();
    void clockTimeline_data();
    void clockTimeline();
    void minimisedCaptionFollowsClock();

private:
    QTemporaryDir m_data;
};

void TestTavola::init()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestTavola::startUp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("greeting");
    QTest::newRow("named") << u"Zoe"_s << u" Zoe vediamo se sei un vero campione  "_s;
    QTest::newRow("cancelled") << QString() << u"  vediamo se sei un vero campione  "_s;
}

void TestTavola::startUp()
{
    QFETCH(QString, name);
    QFETCH(QString, greeting);
    WindowHarness h;
    h.open(3, 2, 3, name);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(h.platform.inputPrompts, QStringList{u"Come ti chiami?"_s});
    QVERIFY(!h.platform.boxes.isEmpty());
    QCOMPARE(h.platform.boxes.first().prompt, greeting);
    QCOMPARE(h.platform.boxes.first().title, u"Mirabolo"_s);
    QCOMPARE(h.platform.boxes.first().buttons, 0);
    QCOMPARE(h.ui().lblnome1->text(), name);
    QCOMPARE(h.ui().lblconto->text(), u"00:15:00"_s);
    QVERIFY(h.window->timerRunning());
    QCOMPARE(h.window->windowTitle(), u"Giocare con le brunaste"_s);
    // The first exercise: 3 dl into cl.
    QCOMPARE(h.ui().Text6->text(), u"3"_s);
    QCOMPARE(h.ui().Text3->text(), u"dl"_s);
    QCOMPARE(h.ui().Text4->toPlainText(), u"cl"_s);
    QCOMPARE(h.ui().Label2->text(), u"30"_s);
    QVERIFY(!h.ui().Label2->isVisible());
    QVERIFY(!h.ui().cmdNext->isEnabled());
    QCOMPARE(QApplication::focusWidget(), h.ui().txtAnswer);
    // First run: both record labels show the empty files.
    QCOMPARE(h.ui().lblpunti->text(), QString());
    QCOMPARE(h.ui().lblnome->text(), QString());
}

void TestTavola::highlights_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("redLine");
    QTest::addColumn<int>("greenLine");
    QTest::newRow("ml to cl") << 1 << 2 << 6 << 5;
    QTest::newRow("hl to ml") << 6 << 1 << 1 << 6;
    QTest::newRow("l to dal") << 4 << 5 << 3 << 2;
}

void TestTavola::highlights()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, redLine);
    QFETCH(int, greenLine);
    WindowHarness h;
    h.open(5, 3); // dal into dl lights lines 2 and 4 first
    if (QTest::currentTestFailed())
        return;
    h.answer(u"x"_s);
    h.nextExercise(source, target, 7);

    const QLineEdit *lines[] = {nullptr,        h.ui().Text1_1, h.ui().Text1_2, h.ui().Text1_3,
                                h.ui().Text1_4, h.ui().Text1_5, h.ui().Text1_6};
    for (int line = 1; line <= 6; ++line) {
        const QColor expected = line == redLine ? QColor(255, 0, 0) : line == greenLine ? QColor(0, 255, 0) : black;
        const qreal size = (line == redLine || line == greenLine) ? 24 : 18;
        QCOMPARE(lines[line]->palette().color(QPalette::Text), expected);
        QCOMPARE(lines[line]->font().pointSizeF(), size);
    }
}

void TestTavola::judging_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("right");

    QTest::newRow("0,3") << 2 << 3 << 3 << u"0,3"_s << true;
    QTest::newRow("point") << 2 << 3 << 3 << u"0.3"_s << false;
    QTest::newRow("trailing zero") << 2 << 3 << 3 << u"0,30"_s << false;
    QTest::newRow("no leading zero") << 2 << 3 << 3 << u",3"_s << false;
    QTest::newRow("trailing blank") << 2 << 3 << 3 << u"0,3 "_s << false;
    QTest::newRow("empty") << 2 << 3 << 3 << QString() << false;
    QTest::newRow("2000000") << 6 << 1 << 20 << u"2000000"_s << true;
    QTest::newRow("grouping points") << 6 << 1 << 20 << u"2.000.000"_s << false;
    QTest::newRow("grouping blanks") << 6 << 1 << 20 << u"2 000 000"_s << false;
    QTest::newRow("0,00015") << 1 << 6 << 15 << u"0,00015"_s << true;
}

void TestTavola::judging()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, typed);
    QFETCH(bool, right);
    WindowHarness h;
    h.open(source, target, quantity);
    if (QTest::currentTestFailed())
        return;
    const QString expected = h.ui().Label2->text();

    h.answer(typed);

    QCOMPARE(h.ui().lblMessage->text(), right ? u"Esatto. Sei proprio ok!!!"_s : u"Sbagliato!! "_s + expected);
    QCOMPARE(h.ui().lblScore->text(), right ? u"1"_s : u"0"_s);
    QCOMPARE(h.ui().lblScore1->text(), right ? u"0"_s : u"1"_s);
    QCOMPARE(h.ui().lblScore2->text(), u"1"_s);
    QCOMPARE(h.ui().txtAnswer->text(), typed); // left as typed
    QVERIFY(h.ui().cmdNext->isEnabled());
    QCOMPARE(QApplication::focusWidget(), h.ui().cmdNext);
    const int height = h.ui().canvas->height();
    QCOMPARE(h.ui().canvas->colourAt(bareSurface), right ? bandAt(bareSurface, 5, 5, height) : black);
}

void TestTavola::wrongThenRight()
{
    WindowHarness h;
    h.open(2, 3, 3);
    if (QTest::currentTestFailed())
        return;
    h.answer(u"3"_s);
    QCOMPARE(h.ui().lblScore->text(), u"0"_s);
    QCOMPARE(h.ui().lblScore1->text(), u"1"_s);
    QCOMPARE(h.ui().lblScore2->text(), u"1"_s);
    QCOMPARE(h.ui().canvas->colourAt(bareSurface), black);

    h.nextExercise(4, 5, 12, 9, 0);
    QCOMPARE(h.ui().Label2->text(), u"1,2"_s);
    h.answer(u"1,2"_s);
    QCOMPARE(h.ui().lblScore->text(), u"1"_s);
    QCOMPARE(h.ui().lblScore1->text(), u"1"_s);
    QCOMPARE(h.ui().lblScore2->text(), u"2"_s);
    QCOMPARE(h.ui().canvas->colourAt(bareSurface), bandAt(bareSurface, 9, 0, h.ui().canvas->height()));
}

void TestTavola::oneVerdictPerExercise()
{
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    h.answer(u"30"_s);
    // Back in the answer box, Enter again and again: still one right answer.
    for (int i = 0; i < 3; ++i)
        h.answer(u"30"_s);
    h.answer(u"31"_s);
    QCOMPARE(h.ui().lblScore->text(), u"1"_s);
    QCOMPARE(h.ui().lblScore1->text(), u"0"_s);
    QCOMPARE(h.ui().lblScore2->text(), u"1"_s);
    QCOMPARE(h.ui().lblMessage->text(), u"Esatto. Sei proprio ok!!!"_s);
    QCOMPARE(h.window->scoreboard().rightCount(), qint16(1));
}

void TestTavola::otherKeysChangeNothing()
{
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    QTest::keyClicks(h.ui().txtAnswer, u"30 a,.-"_s);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Escape);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Backspace);
    QCOMPARE(h.ui().lblMessage->text(), QString());
    QCOMPARE(h.ui().lblScore2->text(), u"0"_s);
    QCOMPARE(h.window->scoreboard().totalCount(), 0);
    QVERIFY(!h.ui().cmdNext->isEnabled());
    // Typing itself goes into the box as usual.
    QCOMPARE(h.ui().txtAnswer->text(), u"30 a,."_s);
}

void TestTavola::keyboardOnlyPlay()
{
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    QTest::keyClicks(h.ui().txtAnswer, u"30"_s);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Return);
    QCOMPARE(h.ui().lblMessage->text(), u"Esatto. Sei proprio ok!!!"_s);
    QCOMPARE(QApplication::focusWidget(), h.ui().cmdNext);

    // Enter on "Nuovo calcolo" gives the next exercise, Space too.
    mirabolo::test::scriptExercise(h.random, 2, 3, 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(h.ui().Label2->text(), u"0,3"_s);
    QCOMPARE(QApplication::focusWidget(), h.ui().txtAnswer);
    QVERIFY(!h.ui().cmdNext->isEnabled());

    QTest::keyClicks(h.ui().txtAnswer, u"0"_s);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Period, Qt::KeypadModifier); // the keypad's decimal key
    QTest::keyClicks(h.ui().txtAnswer, u"3"_s);
    QCOMPARE(h.ui().txtAnswer->text(), u"0,3"_s);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Enter);
    QCOMPARE(h.ui().lblScore->text(), u"2"_s);
    mirabolo::test::scriptExercise(h.random, 1, 2, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(h.ui().Label2->text(), u"0,1"_s);
    QCOMPARE(h.random.remaining(), 0);
}

void TestTavola::bandsDrawnOncePerExercise()
{
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(h.ui().canvas->bandPaintCount(), 1);
    h.window->repaint();
    h.window->hide();
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    h.ui().canvas->repaint();
    QCOMPARE(h.ui().canvas->bandPaintCount(), 1);
    h.answer(u"30"_s);
    h.nextExercise(1, 2, 3);
    QCOMPARE(h.ui().canvas->bandPaintCount(), 2);
}

void TestTavola::clockTimeline_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("clockText");
    QTest::newRow("start") << 0 << u"00:15:00"_s;
    QTest::newRow("first second") << 1 << u"00:14:59"_s;
    QTest::newRow("minute boundary") << 301 << u"00:09:59"_s;
    QTest::newRow("last second") << 899 << u"00:00:01"_s;
    QTest::newRow("zero") << 900 << u"00:00:00"_s;
}

void TestTavola::clockTimeline()
{
    QFETCH(int, ticks);
    QFETCH(QString, clockText);
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    for (int i = 0; i < ticks; ++i)
        h.window->Timer1_Timer();
    QCOMPARE(h.ui().lblconto->text(), clockText);
    QCOMPARE(h.window->countdown().secondsLeft(), qint16(900 - ticks));
    QCOMPARE(h.platform.terminations, 0);
}

void TestTavola::minimisedCaptionFollowsClock()
{
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    h.window->showMinimized();
    QTRY_COMPARE(h.window->windowTitle(), u"00:15:00"_s);
    h.window->Timer1_Timer();
    QCOMPARE(h.window->windowTitle(), u"00:14:59"_s);
    h.window->showNormal();
    QTRY_COMPARE(h.window->windowTitle(), u"Giocare con le brunaste"_s);
    h.window->Timer1_Timer();
    QCOMPARE(h.window->windowTitle(), u"Giocare con le brunaste"_s);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mirabolo::ui::setUpApplication(app);
    TestTavola test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_tavola.moc"
