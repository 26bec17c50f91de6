#include "clock/countdown.h"

#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::clock::Countdown;

class TestCountdown : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeline_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("text");

        QTest::newRow("start") << 0 << u"00:15:00"_s;
        QTest::newRow("first tick borrows a minute") << 1 << u"00:14:59"_s;
        QTest::newRow("minute boundary from 10:00") << 301 << u"00:09:59"_s;
        QTest::newRow("single-digit parts padded") << 355 << u"00:09:05"_s;
        QTest::newRow("last second") << 899 << u"00:00:01"_s;
        QTest::newRow("zero") << 900 << u"00:00:00"_s;
        QTest::newRow("ticks at zero change nothing") << 1000 << u"00:00:00"_s;
    }

    // Each row also restarts the clock where it stopped, as a new game does.
    void timeline()
    {
        QFETCH(int, ticks);
        QFETCH(QString, text);

        Countdown clock;
        clock.start();
        for (int i = 1; i <= ticks; ++i)
            clock.tick();
        QCOMPARE(clock.text(), text);
        QCOMPARE(clock.secondsLeft(), qMax(900 - ticks, 0));
        QCOMPARE(clock.isOver(), ticks >= 900);

        clock.start();
        QCOMPARE(clock.text(), u"00:15:00"_s);
        QCOMPARE(clock.secondsLeft(), 900);
    }
};

QTEST_GUILESS_MAIN(TestCountdown)
#include "test_countdown.moc"
