#include "game/units.h"

#include <array>

namespace mirabolo::game {

QString unitAbbreviation(int unitNumber)
{
    static constexpr std::array<char16_t const *, 6> abbreviations = {
        u"ml", u"cl", u"dl", u"l", u"dal", u"hl",
    };
    if (unitNumber < firstUnit || unitNumber > lastUnit) {
        return {};
    }
    return QString::fromUtf16(abbreviations[std::size_t(unitNumber - firstUnit)]);
}

} // namespace mirabolo::game
