#include "clock/countdown.h"

#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::clock::Countdown;

class TestCountdown : public QObject
{
    Q_OBJECT

private slots:
    void timeline_data();
    void timeline();
};

void TestCountdown::timeline_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("secondsLeft");

    QTest::newRow("start") << 0 << u"00:15:00"_s << 900;
    QTest::newRow("first tick") << 1 << u"00:14:59"_s << 899;
    QTest::newRow("ten minutes left") << 300 << u"00:10:00"_s << 600;
    QTest::newRow("minute boundary from 10:00") << 301 << u"00:09:59"_s << 599;
    QTest::newRow("single-digit parts padded") << 355 << u"00:09:05"_s << 545;
    QTest::newRow("last second") << 899 << u"00:00:01"_s << 1;
    QTest::newRow("zero") << 900 << u"00:00:00"_s << 0;
    QTest::newRow("ticks at zero") << 1000 << u"00:00:00"_s << 0;
}

// Each row also restarts the clock where it stopped, as a new game does.
void TestCountdown::timeline()
{
    QFETCH(int, ticks);
    QFETCH(QString, text);
    QFETCH(int, secondsLeft);

    Countdown clock;
    clock.start();
    for (int i = 1; i <= ticks; ++i) {
        const QString previous = clock.text();
        clock.tick();
        const int seconds = int(clock.clockSeconds());
        QVERIFY(clock.clockSeconds() == float(seconds) && seconds >= 0 && seconds <= 59);
        QCOMPARE(clock.clockHours() * 3600 + clock.clockMinutes() * 60 + seconds, int(clock.secondsLeft()));
        // The text reads as a time, so while time is left each tick shows less.
        if (i <= 900) {
            QVERIFY2(clock.text() < previous, qPrintable(previous + u" -> "_s + clock.text()));
        } else {
            QCOMPARE(clock.text(), previous);
        }
    }
    QCOMPARE(clock.text(), text);
    QCOMPARE(int(clock.secondsLeft()), secondsLeft);

    clock.start();
    QCOMPARE(clock.text(), u"00:15:00"_s);
    QCOMPARE(clock.secondsLeft(), qint16(900));
    clock.tick();
    QCOMPARE(clock.text(), u"00:14:59"_s);
}

QTEST_GUILESS_MAIN(TestCountdown)
#include "test_countdown.moc"
