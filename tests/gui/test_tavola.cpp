// The window played through from inside: scripted boxes and draws, each tick
// delivered by the test.
#include "gamewindow.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>

using namespace Qt::StringLiterals;
using mirabolo::test::GameWindow;

namespace {

// Message, scores, the background at the bottom left, and the reference lines
// hl to ml: R red source, G green target (both at 24 points), . black (18).
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
    return u"%1|%2|%3|%4|%5|%6"_s.arg(g.text(u"lblMessage"_s), g.text(u"lblScore"_s), g.text(u"lblScore1"_s),
                                      g.text(u"lblScore2"_s), ground.name(), lines);
}

// Every box shown so far, as "title: prompt", | between them.
QString boxes(const GameWindow &g)
{
    QStringList shown;
    for (const mirabolo::test::Box &box : g.platform.boxes)
        shown << box.title + u": "_s + box.prompt;
    return shown.join(u'|');
}

// One QStringList per row of a tab-separated table; \r and \n stand for line ends.
void addRows(const QString &path)
{
    QTest::addColumn<QStringList>("row");
    QFile table(path);
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    for (QString line : QString::fromUtf8(table.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(u'#'))
            QTest::newRow(qPrintable(line.section(u'\t', 0, 0)))
                << line.replace(u"\\r"_s, u"\r"_s).replace(u"\\n"_s, u"\n"_s).split(u'\t');
    }
}

} // namespace

class TestTavola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::test::setUpWindowTests(); }

    void answersVerdictsAndColours()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s, 1, 2, 3)); // 3 ml into cl
        QCOMPARE(g.platform.inputPrompts, QStringList{u"Come ti chiami?"_s});
        QVERIFY(!g.control(u"Label2"_s)->isVisible() && !g.control(u"cmdNext"_s)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), g.control(u"txtAnswer"_s));
        QCOMPARE(shown(g), u"|0|0|0|#6464ff|....GR"_s);
        // The keypad's decimal key types the regional separator, whatever the layout sends.
        for (int key : {Qt::Key_0, Qt::Key_Period, Qt::Key_3, Qt::Key_Enter})
            QTest::keyClick(g.control(u"txtAnswer"_s), Qt::Key(key), Qt::KeypadModifier);
        QCOMPARE(shown(g) + g.text(u"txtAnswer"_s), u"Esatto. Sei proprio ok!!!|1|0|1|#6464ff|....GR0,3"_s);
        QCOMPARE(QApplication::focusWidget(), g.control(u"cmdNext"_s));
        g.script(6, 1, 20, 9, 2); // 20 hl into ml, bands of red 180 and green 40
        QTest::keyClick(g.control(u"cmdNext"_s), Qt::Key_Return);
        QCOMPARE(shown(g) + g.text(u"txtAnswer"_s), u"|1|0|1|#b428ff|R....G"_s);
        g.answer(u"2000000.0"_s);
        QCOMPARE(shown(g), u"Sbagliato!! 2000000|1|1|2|#000000|R....G"_s);
        QCOMPARE(QApplication::focusWidget(), g.control(u"cmdNext"_s));
        g.answer(u"2000000"_s); // one verdict per exercise
        QCOMPARE(shown(g), u"Sbagliato!! 2000000|1|1|2|#000000|R....G"_s);
        g.script(2, 3, 1, 1, 0); // 1 cl into dl: the bands cover the black
        QTest::keyClick(g.control(u"cmdNext"_s), Qt::Key_Return);
        QCOMPARE(shown(g), u"|1|1|2|#1400ff|...GR."_s);
    }

    void newGameAndEndOfGame_data() { addRows(QFINDTESTDATA("endings.tsv")); }

    void newGameAndEndOfGame()
    {
        QFETCH(QStringList, row); // see endings.tsv
        GameWindow g;
        QFile blocker(g.home.path() + u"/mirabolo"_s);
        QVERIFY(row[5] == u"yes"_s || blocker.open(QIODevice::WriteOnly));
        QVERIFY(g.open(row[1]));
        g.answer(u"30"_s);
        QPointer<mirabolo::ui::Tavola> first = g.window();
        for (int i = 0; i < row[2].toInt(); ++i)
            first->Timer1_Timer();
        g.platform.whileBoxOpen = [&](const mirabolo::test::Box &) { // ticks go on behind every box
            for (int i = 0; first && i < 3; ++i)
                first->Timer1_Timer();
        };
        g.platform.answers.enqueue(row[4].toInt());
        g.platform.names.enqueue(u"Ugo"_s);
        g.script(1, 2, 4);
        auto *menuEntry = first->findChild<QAction *>(u"Next"_s);
        QCOMPARE(menuEntry->text(), u"NUOVO GIOCO"_s);
        if (row[3] == u"exit"_s)
            QTest::mouseClick(g.control(u"cmdExit"_s), Qt::LeftButton);
        else if (row[3] == u"menu"_s)
            menuEntry->trigger();
        QCoreApplication::sendPostedEvents(); // the new window's first exercise, the old one's deletion
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(boxes(g), row[6]);
        QFile holder(g.home.path() + u"/mirabolo/neqc.txt"_s);
        const QString after = u"%1|%2|%3|%4|%5|%6|%7|%8|"_s.arg(g.platform.terminations)
                                  .arg(g.platform.inputPrompts.size())
                                  .arg(first.isNull())
                                  .arg(g.text(u"lblnome1"_s), g.text(u"lblScore2"_s), g.text(u"lblconto"_s))
                                  .arg(g.random.remaining())
                                  .arg(g.window()->windowTitle());
        QFile games(g.home.path() + u"/mirabolo/registro.csv"_s); // its line but for the date and time
        const QString line = QString::fromUtf8(games.open(QIODevice::ReadOnly) ? games.readAll() : "");
        QCOMPARE(after + (holder.open(QIODevice::ReadOnly) ? QString::fromLatin1(holder.readAll()) : u"-"_s) + u'|' +
                     line.section(u"\r\n"_s, 1, 1).section(u';', 2),
                 row[7]);
    }

    void minimisedCaption()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        g.window()->Timer1_Timer();
        g.window()->showMinimized();
        QTRY_COMPARE(g.window()->windowTitle(), u"00:14:59"_s);
        g.window()->Timer1_Timer();
        QCOMPARE(g.window()->windowTitle(), u"00:14:58"_s);
        g.window()->showNormal();
        QTRY_COMPARE(g.window()->windowTitle(), u"Giocare con le brunaste"_s);
        g.window()->Timer1_Timer();
        QCOMPARE(g.window()->windowTitle() + g.text(u"lblconto"_s), u"Giocare con le brunaste00:14:57"_s);
    }

    void controls_data() { addRows(QFINDTESTDATA("form.tsv")); }

    void controls()
    {
        QFETCH(QStringList, row); // see form.tsv
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        QWidget *w = g.control(row[0]);
        QVERIFY(w && w->parentWidget() == g.control(u"canvas"_s));
        auto px = [&row](int column) { return qRound(row[column].toInt() / 15.0); };
        QCOMPARE(w->geometry(), QRect(QPoint(px(1), px(2)), row[3].isEmpty() ? w->sizeHint() : QSize(px(3), px(4))));
        const QFont f = w->font();
        const QString font = u"%1 %2%3%4"_s.arg(f.family())
                                 .arg(f.pointSizeF())
                                 .arg(f.bold() ? u" bold"_s : QString(), f.italic() ? u" italic"_s : QString());
        const bool label = w->inherits("QLabel"), button = w->inherits("QAbstractButton");
        const auto [ink, face] = label ? std::pair(QPalette::WindowText, QPalette::Window)
            : button                   ? std::pair(QPalette::ButtonText, QPalette::Button)
                                       : std::pair(QPalette::Text, QPalette::Base);
        auto only = [&row](int column, const QString &actual) { return row[column].isEmpty() ? QString() : actual; };
        QCOMPARE(QStringList() << w->property(w->inherits("QPlainTextEdit") ? "plainText" : "text").toString()
                               << only(6, font) << only(7, w->palette().color(ink).name())
                               << only(8, w->palette().color(face).name()) << w->toolTip(),
                 row.mid(5));
    }
};

QTEST_MAIN(TestTavola)

#include "test_tavola.moc"
