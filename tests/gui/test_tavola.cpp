// The window played through from inside: scripted boxes and draws, each tick
// delivered by the test.
#include "gamewindow.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>

using namespace Qt::StringLiterals;
using mirabolo::test::GameWindow;
using mirabolo::ui::Platform;

namespace {

const QString rightVerdict = u"Esatto. Sei proprio ok!!!"_s;
const QString storedBox = u"Ok ho registrato il tuo record, C A M P I O N E\""_s;

// What a pupil sees of one exercise: message, scores, background at the
// bottom left, and the reference lines hl to ml (R red source, G green target,
// both at 24 points, . black at 18).
QString shown(const GameWindow &g)
{
    QString lines;
    for (int line = 1; line <= 6; ++line) {
        const QWidget *w = g.control(u"Text1_"_s + QString::number(line));
        const QColor ink = w->palette().color(QPalette::Text);
        const bool large = w->font().pointSizeF() == 24, small = w->font().pointSizeF() == 18;
        lines += ink == Qt::red && large ? u'R'
            : ink == Qt::green && large  ? u'G'
            : ink == Qt::black && small  ? u'.'
                                         : u'?';
    }
    const QColor ground = g.control(u"canvas"_s)->grab().toImage().pixelColor(3, 553); // clear of every control
    return QStringList{g.text(u"lblMessage"_s), g.text(u"lblScore"_s), g.text(u"lblScore1"_s),
                       g.text(u"lblScore2"_s),  ground.name(),         lines}
        .join(u'|');
}

QStringList prompts(const GameWindow &g)
{
    QStringList list;
    for (const mirabolo::test::Box &box : g.platform.boxes)
        list << box.prompt;
    return list;
}

} // namespace

class TestTavola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { mirabolo::test::setUpWindowTests(); }

    void startUp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("greeting");
        QTest::newRow("named") << u"Zoe"_s << u" Zoe vediamo se sei un vero campione  "_s;
        QTest::newRow("cancelled") << QString() << u"  vediamo se sei un vero campione  "_s;
    }

    void startUp()
    {
        QFETCH(QString, name);
        QFETCH(QString, greeting);
        GameWindow g;
        QVERIFY(g.open(name, 3, 2, 3));
        QCOMPARE(g.platform.inputPrompts, QStringList{u"Come ti chiami?"_s});
        QCOMPARE(prompts(g), QStringList{greeting});
        QCOMPARE(g.platform.boxes[0].title + g.window()->windowTitle(), u"MiraboloGiocare con le brunaste"_s);
        const QStringList shown{g.text(u"Text6"_s),
                                g.text(u"Text3"_s),
                                g.control<QPlainTextEdit>(u"Text4"_s)->toPlainText(),
                                g.text(u"Label2"_s),
                                g.text(u"lblconto"_s),
                                g.text(u"lblnome1"_s),
                                g.text(u"lblpunti"_s) + g.text(u"lblnome"_s)};
        QCOMPARE(shown, (QStringList{u"3"_s, u"dl"_s, u"cl"_s, u"30"_s, u"00:15:00"_s, name, QString()}));
        QVERIFY(!g.control(u"Label2"_s)->isVisible() && !g.control(u"cmdNext"_s)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), g.control(u"txtAnswer"_s));
        QVERIFY(QFile::exists(g.dataFile(u"eqc.txt"_s)) && QFile::exists(g.dataFile(u"neqc.txt"_s)));
    }

    void answersVerdictsAndColours()
    {
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s, 1, 2, 3)); // 3 ml into cl
        QCOMPARE(shown(g), u"|0|0|0|#6464ff|....GR"_s);
        // The keypad's decimal key types the regional separator, whatever the layout sends.
        for (int key : {Qt::Key_0, Qt::Key_Period, Qt::Key_3, Qt::Key_Enter})
            QTest::keyClick(g.control(u"txtAnswer"_s), Qt::Key(key), Qt::KeypadModifier);
        QCOMPARE(shown(g) + g.text(u"txtAnswer"_s), rightVerdict + u"|1|0|1|#6464ff|....GR0,3"_s);
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

    void newGameAndEndOfGame_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("reply"); // to the new-game question
        QTest::addColumn<bool>("usable"); // false: a file stands where the data folder should be
        QTest::addColumn<QStringList>("boxes"); // after the greeting
        QTest::addColumn<QString>(
            "after"); // terminations|names asked|replaced|lblnome1|lblScore2|lblconto|Label2|neqc.txt
        const QString question = u"INIZIAMO UNA NUOVA GARA  ?"_s;
        QTest::newRow("new game") << 0 << u"menu"_s << int(Platform::Yes) << true
                                  << QStringList{question, u" Ugo vediamo se sei un vero campione  "_s}
                                  << u"0|2|1|Ugo|0|00:15:00|0,4|"_s;
        QTest::newRow("no new game") << 0 << u"menu"_s << int(Platform::No) << true << QStringList{question}
                                     << u"0|1|0|Zoe|1|00:14:57|30|"_s;
        QTest::newRow("exit") << 157 << u"exit"_s << 0 << true << QStringList{u"Ciao a presto. Ore 743"_s, storedBox}
                              << u"1|1|0|Zoe|1|00:12:23|30|Zoe\r\n"_s;
        QTest::newRow("time") << 901 << u"time"_s << 0 << true << QStringList{u"Ciao a presto. Ore 0"_s, storedBox}
                              << u"1|1|0|Zoe|1|00:00:00|30|Zoe\r\n"_s;
        QTest::newRow("time out behind the question")
            << 900 << u"menu"_s << int(Platform::Yes) << true
            << QStringList{question, u"Ciao a presto. Ore 0"_s, storedBox} << u"1|1|0|Zoe|1|00:00:00|30|Zoe\r\n"_s;
        QTest::newRow("no data folder")
            << 0 << u"exit"_s << 0 << false
            << QStringList{u"Non riesco a leggere o a creare i file dei record. Puoi giocare lo stesso, ma il record "
                           "non potrà essere salvato."_s,
                           u"Ciao a presto. Ore 900"_s, u"Purtroppo non sono riuscito a registrare il tuo record."_s}
            << u"1|1|0|Zoe|1|00:15:00|30|-"_s;
    }

    void newGameAndEndOfGame()
    {
        QFETCH(int, ticks);
        QFETCH(QString, action);
        QFETCH(int, reply);
        QFETCH(bool, usable);
        GameWindow g;
        QFile blocker(g.home.path() + u"/mirabolo"_s);
        QVERIFY(usable || blocker.open(QIODevice::WriteOnly));
        QVERIFY(g.open(u"Zoe"_s));
        g.answer(u"30"_s);
        QPointer<mirabolo::ui::Tavola> first = g.window();
        for (int i = 0; i < ticks; ++i)
            first->Timer1_Timer();
        g.platform.whileBoxOpen = [&](const mirabolo::test::Box &) { // ticks go on behind every box
            for (int i = 0; first && i < 3; ++i)
                first->Timer1_Timer();
        };
        g.platform.answers.enqueue(reply);
        g.platform.names.enqueue(u"Ugo"_s);
        g.script(1, 2, 4);
        auto *menuEntry = g.control<QAction>(u"Next"_s);
        QCOMPARE(menuEntry->text(), u"NUOVO GIOCO"_s);
        if (action == u"exit"_s)
            QTest::mouseClick(g.control(u"cmdExit"_s), Qt::LeftButton);
        else if (action == u"menu"_s)
            menuEntry->trigger();
        QCoreApplication::sendPostedEvents(); // the new window's first exercise
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList boxes;
        for (const mirabolo::test::Box &box : std::as_const(g.platform.boxes).mid(1)) {
            boxes << box.prompt;
            if (box.prompt == u"INIZIAMO UNA NUOVA GARA  ?"_s)
                QCOMPARE(u"%1 %2"_s.arg(box.buttons).arg(box.title), u"292 INIZIARE NUOVA GARA"_s);
            if (box.prompt.startsWith(u"Ciao"_s))
                QCOMPARE(box.title, u"Data 06/12/26"_s);
        }
        QTEST(boxes, "boxes");
        QFile holder(g.dataFile(u"neqc.txt"_s));
        const QStringList after{QString::number(g.platform.terminations),
                                QString::number(g.platform.inputPrompts.size()),
                                QString::number(first.isNull()),
                                g.text(u"lblnome1"_s),
                                g.text(u"lblScore2"_s),
                                g.text(u"lblconto"_s),
                                g.text(u"Label2"_s),
                                holder.open(QIODevice::ReadOnly) ? QString::fromLatin1(holder.readAll()) : u"-"_s};
        QTEST(after.join(u'|'), "after");
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

    void controls_data()
    {
        QTest::addColumn<QStringList>("row");
        QFile file(QFINDTESTDATA("form.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith(u'#'))
                QTest::newRow(qPrintable(line.section(u'\t', 0, 0))) << line.split(u'\t');
        }
    }

    void controls()
    {
        QFETCH(QStringList, row); // name, left, top, width, height, text, family, points, style, ink, face, tooltip
        GameWindow g;
        QVERIFY(g.open(u"Zoe"_s));
        QWidget *w = g.control(row[0]);
        QVERIFY(w && w->parentWidget() == g.control(u"canvas"_s));
        auto px = [&row](int column) { return qRound(row[column].toInt() / 15.0); };
        QCOMPARE(w->geometry(), QRect(QPoint(px(1), px(2)), row[3].isEmpty() ? w->sizeHint() : QSize(px(3), px(4))));
        QCOMPARE(row[5] == u"*"_s ? row[5] : w->property("text").toString(), row[5]);
        const QFont f = w->font();
        const QString style = QString((f.bold() ? u"bold "_s : QString()) + (f.italic() ? u"italic"_s : QString()));
        if (!row[6].isEmpty())
            QCOMPARE(f.family() + u'|' + QString::number(f.pointSizeF()) + u'|' + style.trimmed(),
                     row[6] + u'|' + row[7] + u'|' + row[8]);
        const bool label = w->inherits("QLabel"), button = w->inherits("QAbstractButton");
        const auto [ink, face] = label ? std::pair(QPalette::WindowText, QPalette::Window)
            : button                   ? std::pair(QPalette::ButtonText, QPalette::Button)
                                       : std::pair(QPalette::Text, QPalette::Base);
        auto colour = [w](QPalette::ColorRole role, const QString &wanted) {
            return wanted.isEmpty() ? wanted : w->palette().color(role).name();
        };
        QCOMPARE(colour(ink, row[9]) + u'|' + colour(face, row[10]) + u'|' + w->toolTip(),
                 row[9] + u'|' + row[10] + u'|' + row[11]);
    }
};

QTEST_MAIN(TestTavola)

#include "test_tavola.moc"
