#include "classregister/gamerecord.h"

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

QString endingText(Ending ending)
{
    switch (ending) {
    case Ending::Exit:
        return u"uscita"_s;
    case Ending::TimeOut:
        return u"tempo scaduto"_s;
    case Ending::WindowClosed:
        return u"finestra chiusa"_s;
    case Ending::NewGame:
        return u"nuova gara"_s;
    }
    return {};
}

QString recordMarkText(RecordMark mark)
{
    switch (mark) {
    case RecordMark::New:
        return u"nuovo"_s;
    case RecordMark::NotSaved:
        return u"non salvato"_s;
    case RecordMark::None:
        break;
    }
    return {};
}

} // namespace mirabolo::classregister
