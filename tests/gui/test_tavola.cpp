// The window played through from inside: scripted boxes, draws and keys, each
// tick delivered by the test. The rules themselves are the model's tests.
#include "gamewindow.h"
#include "tsvrows.h"
#include "ui/application.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using mirabolo::test::GameWindow;
using Answer = mirabolo::ui::Platform::Answer;

namespace {

// Message, scores, background at the bottom left, reference lines hl to ml
// (R red source, G green target, both at 24 points, . black at 18), focus.
QString shown(const GameWindow &g)
{
    QString lines;
    for (int line = 1; line <= 6; ++line) {
        const QWidget *w = g.control(u"Text1_"_s + QString::number(line));
        const QColor ink = w->palette().color(QPalette::Text);
        lines += ink == Qt::red ? u'R' : ink == Qt::green ? u'G' : ink == Qt::black ? u'.' : u'?';
        lines += w->font().pointSize() == (ink == Qt::black ? 18 : 24) ? QString() : u"!"_s; // wrong size
    }
    const QColor ground = g.control(u"canvas"_s)->grab().toImage().pixelColor(3, 553); // clear of every control
    return u"%1|%2|%3|%4|%5|%6|%7"_s.arg(g.text(u"lblMessage"_s), g.text(u"lblScore"_s), g.text(u"lblScore1"_s),
                                         g.text(u"lblScore2"_s), ground.name(), lines,
                                         QApplication::focusWidget()->objectName());
}

} // namespace

class TestTavola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::ui::setUpApplication(*qApp); }

    void answersVerdictsAndColours()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s, 1, 2, 3)); // 3 ml into cl
        QCOMPARE(
            g.window()->accessibleDescription() + u' ' + g.control(u"txtAnswer"_s)->accessibleDescription(),
            u"Sfidante Zoe. Quanti centilitri sono 3 millilitri? Inserisci il risultato e  premi il tasto  Invio"_s);
        QVERIFY(!g.control(u"Label2"_s)->isVisible());
        QCOMPARE(shown(g), u"|0|0|0|#6464ff|....GR|txtAnswer"_s);
        for (int key : {Qt::Key_0, Qt::Key_Period, Qt::Key_3, Qt::Key_Enter}) // keypad: regional separator, any layout
            QTest::keyClick(g.control(u"txtAnswer"_s), Qt::Key(key), Qt::KeypadModifier);
        QCOMPARE(shown(g) + g.text(u"txtAnswer"_s), u"Esatto. Sei proprio ok!!!|1|0|1|#6464ff|....GR|cmdNext0,3"_s);
        g.random.exercise(6, 1, 20, 9, 2); // 20 hl into ml, bands of red 180 and green 40
        QTest::keyClick(g.control(u"cmdNext"_s), Qt::Key_Return);
        QCOMPARE(shown(g) + g.text(u"txtAnswer"_s), u"|1|0|1|#b428ff|R....G|txtAnswer"_s);
        g.answer(u"2000000.0"_s);
        g.answer(QString()); // Enter again: one verdict per exercise
        QCOMPARE(shown(g), u"Sbagliato!! 2000000|1|1|2|#000000|R....G|cmdNext"_s);
        QCOMPARE(g.control(u"cmdNext"_s)->accessibleDescription(),
                 u"Sbagliato!! 2000000. Esatte 1, errate 1, totali 2. Restano 15 minuti."_s);
        g.random.exercise(2, 3, 1, 1, 0); // 1 cl into dl: the bands cover the black
        QTest::keyClick(g.control(u"cmdNext"_s), Qt::Key_Return);
        QCOMPARE(shown(g), u"|1|1|2|#1400ff|...GR.|txtAnswer"_s);
    }

    // Keys that carry their text, as a real keyboard's do.
    void keys_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("keys.tsv")); }

    void keys()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see keys.tsv
        const bool judged = row[u"judged"] == u"yes"_s;
        const QKeyCombination key = QKeySequence::fromString(row[u"key"])[0];
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s)); // 3 dl into cl
        if (judged)
            g.answer(u"30"_s);
        g.random.exercise(2, 3, 3);
        QTest::sendKeyEvent(QTest::Press, g.control(u"txtAnswer"_s), key.key(), row[u"text"], key.keyboardModifiers());
        QTRY_VERIFY(!g.control(u"cmdNext"_s)->property("down").toBool());
        QCOMPARE(g.text(u"Text3"_s), judged ? u"cl"_s : u"dl"_s);
        QCOMPARE(g.text(u"txtAnswer"_s), row[u"typed"]);
    }

    // What the window does with the pupil's ways out of a game; the boxes
    // themselves are the game controller's tests.
    void newGameAndEndOfGame_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("endings.tsv")); }

    void newGameAndEndOfGame()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see endings.tsv
        const QString action = row[u"action"];
        const bool replaced = row[u"replaced"] == u"yes"_s;
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        QSignalSpy finished(g.session.get(), &mirabolo::ui::Session::finished);
        for (const QChar c : row[u"typed"]) {
            if (c == u'←')
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
            else
                QTest::keyClicks(QApplication::focusWidget(), c == u'⏎' ? u"\r"_s : QString(c));
        }
        QPointer<mirabolo::ui::Tavola> first = g.window();
        auto tick = [&first](int count) {
            for (int i = 0; first && i < count; ++i)
                first->Timer1_Timer();
        };
        tick(row[u"ticks"].toInt());
        g.platform.whileBoxOpen = [&tick] {
            QWidget box; // as a real box does, it takes the focus
            box.setFocusPolicy(Qt::StrongFocus);
            box.show();
            box.activateWindow();
            box.setFocus();
            QVERIFY(QTest::qWaitForWindowActive(&box) && box.hasFocus());
            tick(3);
        };
        g.platform.answers.enqueue(row[u"reply"] == u"yes"_s ? Answer::Yes : Answer::No);
        g.platform.names.enqueue(u"Ugo"_s);
        g.random.exercise(1, 2, 4);
        auto *menu = first->findChild<QMenuBar *>();
        auto *next = first->findChild<QAction *>(u"Next"_s);
        if (action == u"exit"_s) {
            QTest::mouseClick(g.control(u"cmdExit"_s), Qt::LeftButton);
        } else if (action == u"menu"_s) {
            next->trigger();
        } else if (action == u"click"_s) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(next).center());
        } else if (action == u"alt"_s || action == u"f10"_s) {
            if (action == u"alt"_s)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right); // past the school's menu
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (action == u"close"_s) {
            first->close();
        }
        QCoreApplication::sendPostedEvents(); // the new window's first exercise, the old one's deletion
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(first.isNull(), replaced);
        QCOMPARE(g.random.remaining(), replaced ? 0 : 5);
        QCOMPARE(g.window()->windowTitle(), u"Giocare con le brunaste"_s);
        QCOMPARE((QStringList{g.text(u"lblnome1"_s), g.text(u"lblScore2"_s), g.text(u"lblconto"_s)}),
                 row.from(u"name", 3));
        QCOMPARE(finished.size(), row[u"finished"] == u"yes"_s ? 1 : 0);
        QFile games(g.home.path() + u"/mirabolo/registro.csv"_s); // its line but for the date and time
        const QString line = games.open(QIODevice::ReadOnly) ? QString::fromUtf8(games.readAll()) : QString();
        QCOMPARE(line.section(u"\r\n"_s, 1, 1).section(u';', 2), row[u"line"]);
        if (row[u"focus"].isEmpty())
            return;
        // Without a window manager the test gives the window back its activation.
        g.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(g.window()));
        auto *answerBox = g.window()->findChild<QLineEdit *>(u"txtAnswer"_s);
        QString focus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : u"none"_s;
        if (QApplication::focusWidget() == answerBox)
            focus += u' ' + answerBox->text().insert(answerBox->cursorPosition(), u'|');
        QCOMPARE(focus, row[u"focus"]);
    }

    void minimisedCaption()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        g.window()->showMinimized();
        QTRY_COMPARE(g.window()->windowTitle(), u"00:15:00"_s);
        g.window()->Timer1_Timer();
        QCOMPARE(g.window()->windowTitle(), u"00:14:59"_s);
        g.window()->showNormal();
        QTRY_COMPARE(g.window()->windowTitle(), u"Giocare con le brunaste"_s);
    }

    void controls_data() { mirabolo::test::addTsvRows(QFINDTESTDATA("form.tsv")); }

    void controls()
    {
        QFETCH(mirabolo::test::TsvRow, row); // see form.tsv
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        QWidget *w = g.control(row[u"name"]);
        QVERIFY(w && w->parentWidget() == g.control(u"canvas"_s));
        auto px = [&row](QStringView column) { return qRound(row[column].toInt() / 15.0); };
        QCOMPARE(w->geometry(),
                 QRect(QPoint(px(u"left"), px(u"top")),
                       row[u"width"].isEmpty() ? w->sizeHint() : QSize(px(u"width"), px(u"height"))));
        const QFont f = w->font();
        const QString font = f.family() + u' ' + QString::number(f.pointSizeF()) + (f.bold() ? u" bold"_s : QString()) +
            (f.italic() ? u" italic"_s : QString());
        const bool label = w->inherits("QLabel"), button = w->inherits("QAbstractButton");
        const auto [ink, face] = label ? std::pair(QPalette::WindowText, QPalette::Window)
            : button                   ? std::pair(QPalette::ButtonText, QPalette::Button)
                                       : std::pair(QPalette::Text, QPalette::Base);
        auto only = [&row](QStringView column, const QString &actual) {
            return row[column].isEmpty() ? QString() : actual;
        };
        QCOMPARE(QStringList() << w->property(w->inherits("QPlainTextEdit") ? "plainText" : "text").toString()
                               << only(u"font", font) << only(u"ink", w->palette().color(ink).name())
                               << only(u"face", w->palette().color(face).name()) << w->toolTip(),
                 row.from(u"text"));
    }
};

QTEST_MAIN(TestTavola)

#include "test_tavola.moc"
