#include "classregister/classfigures.h"

namespace mirabolo::classregister {

QString periodName(Period)
{
    return {};
}

DateSpan periodSpan(Period, const QDate &)
{
    return {};
}

std::optional<double> accuracy(qint64, qint64)
{
    return std::nullopt;
}

std::optional<double> PupilFigures::trend() const
{
    return std::nullopt;
}

bool PupilFigures::needsFollowing() const
{
    return false;
}

ClassFigures::ClassFigures(DateSpan span)
    : dateSpan(span)
{
}

qsizetype ClassFigures::add(const GameRecord &)
{
    return -1;
}

QString ClassFigures::pupilKey(const QString &name)
{
    return name;
}

} // namespace mirabolo::classregister
