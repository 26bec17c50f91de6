// The six units of capacity, numbered 1 (ml) to 6 (hl); each is ten times
// the one before it.
#pragma once

#include <QString>

namespace mirabolo::game {

constexpr int firstUnit = 1;
constexpr int lastUnit = 6;

// "ml", "cl", "dl", "l", "dal", "hl" for 1 to 6.
QString unitAbbreviation(int unitNumber);

// The reference column lists hl at the top (line 1) and ml at the bottom
// (line 6).
constexpr int referenceLineOf(int unitNumber)
{
    return 7 - unitNumber;
}

} // namespace mirabolo::game
