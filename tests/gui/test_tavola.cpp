// The window driven from inside: scripted boxes and draws, direct ticks.
#include "windowharness.h"

using namespace Qt::StringLiterals;
using mirabolo::test::scores;
using mirabolo::test::WindowHarness;

namespace {

const QString rightVerdict = u"Esatto. Sei proprio ok!!!"_s;

} // namespace

class TestTavola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("greeting");
        QTest::newRow("named") << u"Zoe"_s << u" Zoe vediamo se sei un vero campione  "_s;
        QTest::newRow("long, accented") << u"Niccolò Bartolomeo Degli Innocenti"_s
                                        << u" Niccolò Bartolomeo Degli Innocenti vediamo se sei un vero campione  "_s;
        QTest::newRow("cancelled") << QString() << u"  vediamo se sei un vero campione  "_s;
    }

    void startUp()
    {
        QFETCH(QString, name);
        QFETCH(QString, greeting);
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3, name));
        QCOMPARE(h.platform.inputPrompts, QStringList{u"Come ti chiami?"_s});
        const mirabolo::test::Box first = h.platform.boxes.value(0);
        QCOMPARE(first.prompt, greeting);
        QCOMPARE(first.title, u"Mirabolo"_s);
        QCOMPARE(first.buttons, 0);
        QCOMPARE(h.ui().lblconto->text(), u"00:15:00"_s);
        QVERIFY(h.window()->timerRunning());
        QCOMPARE(h.window()->windowTitle(), u"Giocare con le brunaste"_s);
        // The first exercise, 3 dl into cl, awaits the answer.
        const QStringList exercise{h.ui().Text6->text(), h.ui().Text3->text(), h.ui().Text4->toPlainText()};
        QCOMPARE(exercise, (QStringList{u"3"_s, u"dl"_s, u"cl"_s}));
        QCOMPARE(h.ui().Label2->text(), u"30"_s);
        QVERIFY(!h.ui().Label2->isVisible() && !h.ui().cmdNext->isEnabled());
        QCOMPARE(QApplication::focusWidget(), h.ui().txtAnswer);
        // First run: the record labels show the two empty files.
        QCOMPARE(h.ui().lblpunti->text() + h.ui().lblnome->text(), QString());

        // lblnome1 keeps its place and takes the width of the name.
        const QLabel *label = h.ui().lblnome1;
        const QFontMetrics metrics(label->font());
        QCOMPARE(label->text(), name);
        QCOMPARE(label->pos(), QPoint(24, 448));
        QCOMPARE(label->height(), qCeil(QFontMetricsF(label->font()).height()) + 4);
        const int slack = name.isEmpty() ? metrics.averageCharWidth() : 1; // empty: a border and a sliver
        QVERIFY2(label->width() > 4 && qAbs(label->width() - 4 - metrics.horizontalAdvance(name)) <= slack,
                 qPrintable(QString::number(label->width())));
        QVERIFY(label->contentsRect().width() >= metrics.tightBoundingRect(name).right());
        QCOMPARE(h.ui().Label14->pos(), QPoint(24, 400));
        QCOMPARE(h.ui().Label12->geometry(), QRect(24, 504, 153, 25));
    }

    void playOneExerciseAfterAnother()
    {
        WindowHarness h;
        QVERIFY(h.open(1, 2, 3)); // 3 ml into cl
        // The reference lines hl to ml: R(ed) for the source, G(reen) for the
        // target, each at 24 points; the rest black at 18.
        auto lines = [&h] {
            QString shown;
            for (const QLineEdit *line :
                 {h.ui().Text1_1, h.ui().Text1_2, h.ui().Text1_3, h.ui().Text1_4, h.ui().Text1_5, h.ui().Text1_6}) {
                const QColor ink = line->palette().color(QPalette::Text);
                const bool large = line->font().pointSizeF() > 20;
                shown += ink == Qt::red && large ? u'R'
                    : ink == Qt::green && large  ? u'G'
                    : ink == Qt::black && !large ? u'.'
                                                 : u'?';
            }
            return shown;
        };
        QCOMPARE(lines(), u"....GR"_s);
        // Keys other than Enter only type.
        QTest::keyClicks(h.ui().txtAnswer, u"0 a,.-"_s);
        QTest::keyClick(h.ui().txtAnswer, Qt::Key_Escape);
        QTest::keyClick(h.ui().txtAnswer, Qt::Key_Backspace);
        QCOMPARE(h.ui().txtAnswer->text(), u"0 a,."_s);
        QCOMPARE(h.ui().lblMessage->text() + scores(h.ui()), u"0/0/0"_s);
        QVERIFY(!h.ui().cmdNext->isEnabled());

        h.answer(u"0.3"_s);
        QCOMPARE(h.ui().lblMessage->text(), u"Sbagliato!! 0,3"_s);
        QCOMPARE(scores(h.ui()), u"0/1/1"_s);
        QCOMPARE(h.ui().txtAnswer->text(), u"0.3"_s); // left as typed
        QCOMPARE(h.ui().canvas->colourAt(QPoint(5, 300)), QColor(Qt::black)); // clear of every control
        QVERIFY(h.ui().cmdNext->isEnabled());
        QCOMPARE(QApplication::focusWidget(), h.ui().cmdNext);
        // One verdict per exercise: Enter again, even with the right answer, changes nothing.
        h.answer(u"0,3"_s);
        h.answer(u"0,3"_s);
        QCOMPARE(h.ui().lblMessage->text(), u"Sbagliato!! 0,3"_s);
        QCOMPARE(scores(h.ui()), u"0/1/1"_s);
        QCOMPARE(h.window()->scoreboard().totalCount(), 1);

        h.nextExercise(6, 1, 20, 9, 0); // 20 hl into ml
        QCOMPARE(lines(), u"R....G"_s);
        QCOMPARE(h.ui().lblMessage->text(), QString());
        h.answer(u"2000000"_s);
        QCOMPARE(h.ui().lblMessage->text(), rightVerdict);
        QCOMPARE(scores(h.ui()), u"1/1/2"_s);
        QCOMPARE(h.ui().canvas->colourAt(QPoint(5, 300)),
                 mirabolo::test::bandColour(300, h.ui().canvas->height(), 9, 0));
        QCOMPARE(QApplication::focusWidget(), h.ui().cmdNext);

        // Repaints copy the bands drawn for the exercise; they never redraw them.
        const int painted = h.ui().canvas->bandPaintCount();
        h.window()->hide();
        h.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window()));
        h.ui().canvas->repaint();
        QCOMPARE(h.ui().canvas->bandPaintCount(), painted);
    }

    void keyboardOnlyPlay_data()
    {
        QTest::addColumn<QLocale>("regional");
        QTest::addColumn<int>("decimalKey");
        QTest::addColumn<QString>("typed");
        // Keyboard layouts send the keypad's decimal key as a point or a comma.
        const QLocale italian(QLocale::Italian, QLocale::Italy);
        QTest::newRow("it_IT, point key") << italian << int(Qt::Key_Period) << u"0,3"_s;
        QTest::newRow("it_IT, comma key") << italian << int(Qt::Key_Comma) << u"0,3"_s;
        QTest::newRow("C, point key") << QLocale::c() << int(Qt::Key_Period) << u"0.3"_s;
        QTest::newRow("C, comma key") << QLocale::c() << int(Qt::Key_Comma) << u"0.3"_s;
    }

    void keyboardOnlyPlay()
    {
        QFETCH(QLocale, regional);
        QFETCH(int, decimalKey);
        QFETCH(QString, typed);
        WindowHarness h;
        h.platform.regional = regional;
        QVERIFY(h.open(2, 3, 3)); // 3 cl into dl
        QCOMPARE(h.ui().Label2->text(), typed);
        for (int key : {int(Qt::Key_0), decimalKey, int(Qt::Key_3)})
            QTest::keyClick(h.ui().txtAnswer, Qt::Key(key), Qt::KeypadModifier);
        QCOMPARE(h.ui().txtAnswer->text(), typed);
        QTest::keyClick(h.ui().txtAnswer, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.ui().lblMessage->text(), rightVerdict);
        QCOMPARE(QApplication::focusWidget(), h.ui().cmdNext);

        // Enter, then Space, on "Nuovo calcolo" gives the next exercise.
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Space)}) {
            mirabolo::test::scriptExercise(h.random, 3, 2, key == Qt::Key_Space ? 1 : 2); // 2 or 1 dl into cl
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            QCOMPARE(h.random.remaining(), 0);
            QCOMPARE(QApplication::focusWidget(), h.ui().txtAnswer);
            QVERIFY(!h.ui().cmdNext->isEnabled());
            QTest::keyClicks(h.ui().txtAnswer, h.ui().Label2->text());
            QTest::keyClick(h.ui().txtAnswer, Qt::Key_Return);
        }
        QCOMPARE(h.ui().Text6->text(), u"1"_s);
        QCOMPARE(scores(h.ui()), u"3/0/3"_s);
    }

    void clockAndMinimisedCaption()
    {
        WindowHarness h;
        QVERIFY(h.open());
        h.window()->Timer1_Timer();
        QCOMPARE(h.ui().lblconto->text(), u"00:14:59"_s);
        h.window()->showMinimized();
        QTRY_COMPARE(h.window()->windowTitle(), u"00:14:59"_s);
        h.window()->Timer1_Timer();
        QCOMPARE(h.window()->windowTitle(), u"00:14:58"_s);
        h.window()->showNormal();
        QTRY_COMPARE(h.window()->windowTitle(), u"Giocare con le brunaste"_s);
        h.window()->Timer1_Timer();
        QCOMPARE(h.window()->windowTitle(), u"Giocare con le brunaste"_s);
        QCOMPARE(h.ui().lblconto->text(), u"00:14:57"_s);
    }
};

MIRABOLO_GUI_TEST_MAIN(TestTavola)

#include "test_tavola.moc"
