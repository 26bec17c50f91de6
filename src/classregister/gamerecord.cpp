#include "classregister/gamerecord.h"

namespace mirabolo::classregister {

QString endingText(Ending)
{
    return {};
}

QString recordMarkText(RecordMark)
{
    return {};
}

} // namespace mirabolo::classregister
