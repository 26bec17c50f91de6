#include "texts.h"

#include "classregister/classfigures.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {
const QString noFigure = u"–"_s;
}

QString percentText(std::optional<double> fraction)
{
    return fraction ? QLocale().toString(*fraction * 100, 'f', 1) + u'%' : noFigure;
}

QString trendText(std::optional<double> points)
{
    if (!points)
        return noFigure;
    const QString value = QLocale().toString(std::abs(*points), 'f', 1);
    const QString sign = *points > 0.05 ? u"+"_s : *points < -0.05 ? u"−"_s : QString();
    return sign + value + u" punti"_s;
}

QString dateText(const QDate &day)
{
    return QLocale().toString(day, u"dd/MM/yyyy"_s);
}

QString dateTimeText(const QDateTime &when)
{
    return QLocale().toString(when, u"dd/MM/yyyy HH:mm"_s);
}

QString timeText(const QDateTime &when)
{
    return QLocale().toString(when, u"HH:mm"_s);
}

QString periodText(classregister::Period period, const classregister::DateSpan &span)
{
    QString name = classregister::periodName(period);
    if (span.first.isNull() || span.last.isNull())
        return name;
    if (span.first == span.last)
        return u"%1 (%2)"_s.arg(name, dateText(span.first));
    return u"%1 (dal %2 al %3)"_s.arg(name, dateText(span.first), dateText(span.last));
}

} // namespace mirabolo::registro
