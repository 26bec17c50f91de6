// The end of a game as the pupil meets it: farewell, new record, files.
#include "application.h"
#include "windowharness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using mirabolo::test::WindowHarness;

namespace {

const QString newRecordBox = u"Ok ho registrato il tuo record, C A M P I O N E\""_s;

} // namespace

class TestEndGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void farewell_data();
    void farewell();
    void record_data();
    void record();
    void nextStartShowsRecord();
    void unusableDataDirectory();
    void endsOnceWhileFarewellOpen();

private:
    QString dataDir() const { return m_data.path() + u"/mirabolo/"_s; }
    void writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &name) const;
    void score(WindowHarness &h, int right);

    QTemporaryDir m_data;
};

void TestEndGame::init()
{
    QVERIFY(m_data.isValid());
    QDir(dataDir()).removeRecursively();
    QFile::remove(m_data.path() + u"/mirabolo"_s);
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestEndGame::writeFile(const QString &name, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(dataDir()));
    QFile file(dataDir() + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestEndGame::readFile(const QString &name) const
{
    QFile file(dataDir() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Answers `right` exercises right (3 dl into cl each time).
void TestEndGame::score(WindowHarness &h, int right)
{
    for (int i = 0; i < right; ++i) {
        if (i > 0)
            h.nextExercise(3, 2, 3);
        h.answer(u"30"_s);
    }
}

void TestEndGame::farewell_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("exit with 743 left") << 157 << true << u"Ciao a presto. Ore 743"_s;
    QTest::newRow("exit at once") << 0 << true << u"Ciao a presto. Ore 900"_s;
    QTest::newRow("time ran out") << 901 << false << u"Ciao a presto. Ore 0"_s;
}

void TestEndGame::farewell()
{
    QFETCH(int, ticks);
    QFETCH(bool, byButton);
    QFETCH(QString, prompt);
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    const qsizetype before = h.platform.boxes.size();
    for (int i = 0; i < ticks; ++i)
        h.window->Timer1_Timer();
    if (byButton)
        QTest::mouseClick(h.ui().cmdExit, Qt::LeftButton);

    QCOMPARE(h.platform.boxes.size(), before + 1);
    QCOMPARE(h.platform.boxes.last().prompt, prompt);
    QCOMPARE(h.platform.boxes.last().title, u"Data 06/12/26"_s);
    QCOMPARE(h.platform.terminations, 1);
    QVERIFY(!h.window->timerRunning());
}

void TestEndGame::record_data()
{
    QTest::addColumn<QByteArray>("oldRecord");
    QTest::addColumn<QByteArray>("oldHolder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("right");
    QTest::addColumn<QByteArray>("newRecord");
    QTest::addColumn<QByteArray>("newHolder");

    QTest::newRow("first run") << QByteArray() << QByteArray() << u"Zoe"_s << 1 << QByteArray("1\r\n")
                               << QByteArray("Zoe\r\n");
    QTest::newRow("cancelled name") << QByteArray() << QByteArray() << QString() << 2 << QByteArray("2\r\n")
                                    << QByteArray("\r\n");
    QTest::newRow("beaten") << QByteArray("1\r\n") << QByteArray("Ugo\r\n") << u"Niccolò"_s << 2 << QByteArray("2\r\n")
                            << QByteArray("Niccol\xf2\r\n");
    QTest::newRow("tie") << QByteArray("2\r\n") << QByteArray("Ugo\r\n") << u"Zoe"_s << 2 << QByteArray("2\r\n")
                         << QByteArray("Ugo\r\n");
    QTest::newRow("zero never replaces") << QByteArray() << QByteArray() << u"Zoe"_s << 0 << QByteArray()
                                         << QByteArray();
    QTest::newRow("word in the file") << QByteArray("tanti\r\n") << QByteArray("Ugo\r\n") << u"Zoe"_s << 1
                                      << QByteArray("1\r\n") << QByteArray("Zoe\r\n");
}

void TestEndGame::record()
{
    QFETCH(QByteArray, oldRecord);
    QFETCH(QByteArray, oldHolder);
    QFETCH(QString, name);
    QFETCH(int, right);
    QFETCH(QByteArray, newRecord);
    QFETCH(QByteArray, newHolder);
    writeFile(u"eqc.txt"_s, oldRecord);
    writeFile(u"neqc.txt"_s, oldHolder);
    WindowHarness h;
    h.open(3, 2, 3, name);
    if (QTest::currentTestFailed())
        return;
    score(h, right);
    const qsizetype before = h.platform.boxes.size();

    h.window->cmdExit_Click();

    QCOMPARE(readFile(u"eqc.txt"_s), newRecord);
    QCOMPARE(readFile(u"neqc.txt"_s), newHolder);
    const bool stored = newRecord != oldRecord;
    QCOMPARE(h.platform.boxes.size(), before + (stored ? 2 : 1));
    if (stored) {
        QCOMPARE(h.platform.boxes.last().prompt, newRecordBox);
        QCOMPARE(h.platform.boxes.last().title, u"Mirabolo"_s);
    }
    QCOMPARE(h.platform.terminations, 1);
}

void TestEndGame::nextStartShowsRecord()
{
    {
        WindowHarness first;
        first.open(3, 2, 3, u"Zoe"_s);
        if (QTest::currentTestFailed())
            return;
        score(first, 3);
        first.window->cmdExit_Click();
    }
    WindowHarness second;
    second.open();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(second.ui().lblpunti->text(), u"3\r\n"_s);
    QCOMPARE(second.ui().lblnome->text(), u"Zoe\r\n"_s);
}

void TestEndGame::unusableDataDirectory()
{
    // A regular file stands where the data directory should be.
    {
        QFile blocker(m_data.path() + u"/mirabolo"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    const QStringList atStart = h.platform.prompts();
    QCOMPARE(atStart.size(), 2); // greeting, then one clear message
    QVERIFY(atStart.last().startsWith(u"Non riesco"_s));
    QCOMPARE(h.ui().lblpunti->text(), QString());
    QCOMPARE(h.ui().lblnome->text(), QString());

    score(h, 1);
    QCOMPARE(h.ui().lblScore->text(), u"1"_s);
    h.window->cmdExit_Click();
    QVERIFY(!h.platform.prompts().contains(newRecordBox));
    QCOMPARE(h.platform.boxes.last().prompt, u"Purtroppo non sono riuscito a registrare il tuo record."_s);
    QCOMPARE(h.platform.terminations, 1);
}

void TestEndGame::endsOnceWhileFarewellOpen()
{
    WindowHarness h;
    h.open();
    if (QTest::currentTestFailed())
        return;
    score(h, 1);
    for (int i = 0; i < 900; ++i)
        h.window->Timer1_Timer();
    int nestedTicks = 0;
    h.platform.whileBoxOpen = [&](const mirabolo::test::Box &) {
        if (nestedTicks++ < 3)
            h.window->Timer1_Timer();
    };
    h.window->Timer1_Timer();

    QCOMPARE(h.platform.prompts().count(u"Ciao a presto. Ore 0"_s), 1);
    QCOMPARE(h.platform.prompts().count(newRecordBox), 1);
    QCOMPARE(h.platform.terminations, 1);
    QCOMPARE(readFile(u"eqc.txt"_s), QByteArray("1\r\n"));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mirabolo::ui::setUpApplication(app);
    TestEndGame test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_endgame.moc"
