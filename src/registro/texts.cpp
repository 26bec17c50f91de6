#include "registro/texts.h"

#include "classregister/classfigures.h"
#include "classregister/registerparser.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {
const QString noFigure = u"–"_s;
}

QString countText(int count)
{
    // Below a thousand no separator is needed, and the locale's own way is
    // several times slower, for each of a school report's many counts.
    return count > -1000 && count < 1000 ? QString::number(count) : QLocale().toString(count);
}

QString percentText(std::optional<double> fraction)
{
    return fraction ? QLocale().toString(*fraction * 100, 'f', 1) + u'%' : noFigure;
}

QString wholePercentText(std::optional<double> fraction)
{
    return fraction ? QString::number(std::lround(*fraction * 100)) + u'%' : noFigure;
}

QString trendText(std::optional<double> points)
{
    if (!points)
        return noFigure;
    const QString value = QLocale().toString(std::abs(*points), 'f', 1);
    const QString sign = *points > 0.05 ? u"+"_s : *points < -0.05 ? u"−"_s : QString();
    return sign + value + u" punti"_s;
}

namespace {

// Writes `value` in the `digits` characters of `text` from `at`, with leading
// zeros: a report of a hundred thousand games spent a tenth of its time
// formatting dates and times through the locale's patterns.
void putDigits(QString &text, qsizetype at, int value, int digits)
{
    for (qsizetype i = at + digits; i-- > at; value /= 10)
        text[i] = QChar(u'0' + value % 10);
}

} // namespace

QString dayMonthText(const QDate &day)
{
    if (!day.isValid())
        return {};
    QString text = u"00/00"_s;
    putDigits(text, 0, day.day(), 2);
    putDigits(text, 3, day.month(), 2);
    return text;
}

QString dateText(const QDate &day)
{
    if (!day.isValid())
        return {};
    QString text = dayMonthText(day) + u"/0000"_s;
    putDigits(text, 6, day.year(), 4);
    return text;
}

QString dateTimeText(const QDateTime &when)
{
    return QLocale().toString(when, u"dd/MM/yyyy HH:mm"_s);
}

QString timeText(const QDateTime &when)
{
    const QTime time = when.time();
    if (!time.isValid())
        return {};
    QString text = u"00:00"_s;
    putDigits(text, 0, time.hour(), 2);
    putDigits(text, 3, time.minute(), 2);
    return text;
}

QString periodText(classregister::Period period, const classregister::DateSpan &span)
{
    if (period == classregister::Period::Range)
        return u"Dal %1 al %2"_s.arg(dateText(span.first), dateText(span.last));
    QString name = classregister::periodName(period);
    if (span.first.isNull() || span.last.isNull())
        return name;
    if (span.first == span.last)
        return u"%1 (%2)"_s.arg(name, dateText(span.first));
    return u"%1 (dal %2 al %3)"_s.arg(name, dateText(span.first), dateText(span.last));
}

QString skippedLineText(const classregister::SkippedLine &line)
{
    return u"riga %1: %2"_s.arg(line.number).arg(classregister::skipReasonText(line.reason));
}

} // namespace mirabolo::registro
