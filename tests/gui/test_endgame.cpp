// The end of a game as the pupil meets it: farewell, new record, files.
#include "windowharness.h"

#include <QDir>
#include <QFile>
#include <QPointer>

using namespace Qt::StringLiterals;
using mirabolo::test::WindowHarness;

namespace {

const QString newRecordBox = u"Ok ho registrato il tuo record, C A M P I O N E\""_s;

// Answers `right` exercises right (3 dl into cl each time).
void score(WindowHarness &h, int right)
{
    for (int i = 0; i < right; ++i) {
        if (i > 0)
            h.nextExercise(3, 2, 3);
        h.answer(u"30"_s);
    }
}

// The record and the record-holder file, "|" between them.
QByteArray recordFiles(const WindowHarness &h)
{
    QByteArrayList texts;
    for (const QString &name : {u"eqc.txt"_s, u"neqc.txt"_s}) {
        QFile file(h.dataDir() + name);
        texts << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>"));
    }
    return texts.join('|');
}

} // namespace

class TestEndGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void farewell_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("exit with 743 left") << 157 << true << u"Ciao a presto. Ore 743"_s;
        QTest::newRow("901st tick") << 901 << false << u"Ciao a presto. Ore 0"_s;
    }

    void farewell()
    {
        QFETCH(int, ticks);
        QFETCH(bool, byButton);
        QFETCH(QString, prompt);
        WindowHarness h;
        QVERIFY(h.open());
        const qsizetype before = h.platform.boxes.size();
        for (int i = 0; i < ticks; ++i) {
            QCOMPARE(h.platform.terminations, 0);
            h.window()->Timer1_Timer();
        }
        if (byButton)
            QTest::mouseClick(h.ui().cmdExit, Qt::LeftButton);
        QCOMPARE(h.platform.boxes.size(), before + 1);
        QCOMPARE(h.platform.boxes.last().prompt, prompt);
        QCOMPARE(h.platform.boxes.last().title, u"Data 06/12/26"_s);
        QCOMPARE(h.platform.terminations, 1);
        QVERIFY(!h.window()->timerRunning());
    }

    void record_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no files yet
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("right");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("stored");
        QTest::newRow("first run") << QByteArray() << u"Zoe"_s << 1 << QByteArray("1\r\n|Zoe\r\n") << true;
        QTest::newRow("cancelled name") << QByteArray() << QString() << 2 << QByteArray("2\r\n|\r\n") << true;
        QTest::newRow("beaten") << QByteArray("1\r\n|Ugo\r\n") << u"Niccolò"_s << 2
                                << QByteArray("2\r\n|Niccol\xf2\r\n") << true;
        QTest::newRow("tie") << QByteArray("2\r\n|Ugo\r\n") << u"Zoe"_s << 2 << QByteArray("2\r\n|Ugo\r\n") << false;
        QTest::newRow("zero never replaces") << QByteArray() << u"Zoe"_s << 0 << QByteArray("|") << false;
        QTest::newRow("word in the file")
            << QByteArray("tanti\r\n|Ugo\r\n") << u"Zoe"_s << 1 << QByteArray("1\r\n|Zoe\r\n") << true;
    }

    void record()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, name);
        QFETCH(int, right);
        QFETCH(QByteArray, after);
        QFETCH(bool, stored);
        WindowHarness h;
        if (!before.isNull()) {
            QVERIFY(QDir().mkpath(h.dataDir()));
            const QList<QByteArray> texts = before.split('|');
            for (int i = 0; i < 2; ++i) {
                QFile file(h.dataDir() + (i == 0 ? u"eqc.txt"_s : u"neqc.txt"_s));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(texts.value(i)) == texts.value(i).size());
            }
        }
        QVERIFY(h.open(3, 2, 3, name));
        score(h, right);
        const qsizetype boxes = h.platform.boxes.size();
        h.window()->cmdExit_Click();
        QCOMPARE(recordFiles(h), after);
        QCOMPARE(h.platform.boxes.size(), boxes + (stored ? 2 : 1));
        QCOMPARE(h.platform.boxes.last().prompt, stored ? newRecordBox : u"Ciao a presto. Ore 900"_s);
        QCOMPARE(h.platform.boxes.last().title, stored ? u"Mirabolo"_s : u"Data 06/12/26"_s);
        QCOMPARE(h.platform.terminations, 1);
    }

    void nextStartShowsRecord()
    {
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3, u"Zoe"_s));
        score(h, 3);
        h.window()->cmdExit_Click();
        QVERIFY(h.open(3, 2, 3, u"Ugo"_s));
        QCOMPARE(h.ui().lblpunti->text(), u"3\r\n"_s);
        QCOMPARE(h.ui().lblnome->text(), u"Zoe\r\n"_s);
    }

    void unusableDataDirectory()
    {
        // A regular file stands where the data directory should be.
        WindowHarness h;
        QFile blocker(h.home.path() + u"/mirabolo"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(h.open());
        QCOMPARE(h.platform.boxes.size(), 2); // greeting, then one clear message
        QVERIFY(h.platform.boxes.last().prompt.startsWith(u"Non riesco"_s));
        QCOMPARE(h.ui().lblpunti->text(), QString());
        QCOMPARE(h.ui().lblnome->text(), QString());

        score(h, 1);
        QCOMPARE(h.ui().lblScore->text(), u"1"_s);
        h.window()->cmdExit_Click();
        QVERIFY(!h.platform.prompts().contains(newRecordBox));
        QCOMPARE(h.platform.boxes.last().prompt, u"Purtroppo non sono riuscito a registrare il tuo record."_s);
        QCOMPARE(h.platform.terminations, 1);
    }

    void endsOnceWhenTimeRunsOutDuringABox()
    {
        WindowHarness h;
        QVERIFY(h.open());
        score(h, 1);
        for (int i = 0; i < 900; ++i)
            h.window()->Timer1_Timer();
        QCOMPARE(h.ui().lblconto->text(), u"00:00:00"_s);
        QCOMPARE(h.platform.terminations, 0);
        // The tick that ends the game arrives while the new-game question is
        // open, and more keep arriving behind the farewell and record boxes.
        QPointer<mirabolo::ui::Tavola> window = h.window();
        h.platform.whileBoxOpen = [&](const mirabolo::test::Box &) {
            for (int i = 0; window && i < 3; ++i)
                window->Timer1_Timer();
        };
        h.platform.answers.enqueue(mirabolo::ui::Platform::Yes);
        window->Next_Click();
        QCOMPARE(h.platform.prompts().count(u"Ciao a presto. Ore 0"_s), 1);
        QCOMPARE(h.platform.prompts().count(newRecordBox), 1);
        QCOMPARE(h.platform.terminations, 1);
        QCOMPARE(recordFiles(h), QByteArray("1\r\n|Zoe\r\n"));
        QCOMPARE(h.window(), window.data()); // no new game after the end
        QCOMPARE(h.platform.inputPrompts.size(), 1);
    }
};

MIRABOLO_GUI_TEST_MAIN(TestEndGame)

#include "test_endgame.moc"
