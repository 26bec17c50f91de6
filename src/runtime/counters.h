// Counters are 16-bit like the score files expect; they stop at their
// largest value instead of overflowing.
#pragma once

#include <QtGlobal>

#include <limits>

namespace mirabolo::runtime {

constexpr qint16 saturatingIncrement(qint16 value)
{
    return value == std::numeric_limits<qint16>::max() ? value : static_cast<qint16>(value + 1);
}

} // namespace mirabolo::runtime
