#include "registro/liveregister.h"

namespace mirabolo::registro {

LiveRegister::LiveRegister(const QString &path, qint64 slice, QObject *parent)
    : FollowedFile(parent)
    , registerFile(path)
    , sliceSize(slice)
{
    registerFile.setKeepingGames(false);
}

void LiveRegister::readAgain()
{
    registerFile.readAgain();
    refresh();
}

bool LiveRegister::readSlice()
{
    using Change = classregister::RegisterFile::Change;
    const Change change = registerFile.refresh(sliceSize);
    if (change == Change::Reloaded || change == Change::Unavailable) {
        forgetRefused();
        Q_EMIT reloaded();
    } else if (change == Change::Appended)
        Q_EMIT appended(registerFile.appendedFrom());
    if (isFollowing())
        watch();
    const bool more = !registerFile.atEnd() && registerFile.state() == classregister::RegisterFile::State::Read;
    if (!more && change != Change::None)
        Q_EMIT settled();
    return more;
}

} // namespace mirabolo::registro
