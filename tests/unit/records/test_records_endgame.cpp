#include "records/endgame.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::records;

class TestEndGame : public QObject
{
    Q_OBJECT

private slots:
    void prompt_data();
    void prompt();
    void title_data();
    void title();
    void recordValueOfText_data();
    void recordValueOfText();
    void beats_data();
    void beats();
};

void TestEndGame::prompt_data()
{
    QTest::addColumn<int>("secondsLeft");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("time ran out") << 0 << u"Ciao a presto. Ore 0"_s;
    QTest::newRow("exit with time left") << 743 << u"Ciao a presto. Ore 743"_s;
    QTest::newRow("no leading zeros") << 5 << u"Ciao a presto. Ore 5"_s;
    QTest::newRow("right at the start") << 900 << u"Ciao a presto. Ore 900"_s;
}

void TestEndGame::prompt()
{
    QFETCH(int, secondsLeft);
    QFETCH(QString, prompt);

    QCOMPARE(farewellPrompt(secondsLeft), prompt);
}

void TestEndGame::title_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("title");

    QTest::newRow("Italian") << QDate(2026, 12, 6) << u"it_IT"_s << u"Data 06/12/26"_s;
    QTest::newRow("Italian, end of month") << QDate(2027, 1, 31) << u"it_IT"_s << u"Data 31/01/27"_s;
    QTest::newRow("another locale's order") << QDate(2026, 12, 6) << u"en_US"_s << u"Data 12/6/26"_s;
}

void TestEndGame::title()
{
    QFETCH(QDate, date);
    QFETCH(QString, localeName);
    QFETCH(QString, title);

    QCOMPARE(farewellTitle(date, QLocale(localeName)), title);
}

void TestEndGame::recordValueOfText_data()
{
    QTest::addColumn<QString>("recordText");
    QTest::addColumn<double>("value");

    QTest::newRow("never written") << QString() << 0.0;
    QTest::newRow("digits and line end") << u"12\r\n"_s << 12.0;
    QTest::newRow("zero") << u"0\r\n"_s << 0.0;
    QTest::newRow("a word") << u"campione\r\n"_s << 0.0;
    QTest::newRow("leading number of a text") << u"  7 bis\r\n"_s << 7.0;
    QTest::newRow("five digits") << u"32767\r\n"_s << 32767.0;
}

void TestEndGame::recordValueOfText()
{
    QFETCH(QString, recordText);
    QFETCH(double, value);

    QCOMPARE(recordValue(recordText), value);
}

void TestEndGame::beats_data()
{
    QTest::addColumn<QString>("scoreText");
    QTest::addColumn<QString>("recordText");
    QTest::addColumn<bool>("beats");

    QTest::newRow("tie keeps the record") << u"5"_s << u"5\r\n"_s << false;
    QTest::newRow("one more") << u"6"_s << u"5\r\n"_s << true;
    QTest::newRow("one less") << u"4"_s << u"5\r\n"_s << false;
    QTest::newRow("zero on a first run") << u"0"_s << QString() << false;
    QTest::newRow("one on a first run") << u"1"_s << QString() << true;
    QTest::newRow("compared as numbers, not texts") << u"100"_s << u"99\r\n"_s << true;
    QTest::newRow("shorter is smaller") << u"9"_s << u"10\r\n"_s << false;
    QTest::newRow("record edited to a word") << u"1"_s << u"campione\r\n"_s << true;
    QTest::newRow("score that is not a number") << u"abc"_s << QString() << false;
}

void TestEndGame::beats()
{
    QFETCH(QString, scoreText);
    QFETCH(QString, recordText);
    QFETCH(bool, beats);

    QCOMPARE(beatsRecord(scoreText, recordText), beats);
}

QTEST_GUILESS_MAIN(TestEndGame)
#include "test_records_endgame.moc"
