#include "registro/liveregister.h"

#include <QDir>
#include <QFileInfo>

using namespace std::chrono_literals;

namespace mirabolo::registro {

LiveRegister::LiveRegister(const QString &path, qint64 slice, QObject *parent)
    : QObject(parent)
    , registerFile(path)
    , sliceSize(slice)
{
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &LiveRegister::refresh);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &LiveRegister::refresh);
    connect(&poll, &QTimer::timeout, this, &LiveRegister::refresh);
    poll.setInterval(1s);
    registerFile.setKeepingGames(false);
}

void LiveRegister::setFollowing(bool on)
{
    following = on;
    if (on) {
        poll.start();
        watch();
    } else {
        poll.stop();
        if (!watcher.files().isEmpty())
            watcher.removePaths(watcher.files());
        if (!watcher.directories().isEmpty())
            watcher.removePaths(watcher.directories());
    }
}

void LiveRegister::readAgain()
{
    registerFile.readAgain();
    refresh();
}

void LiveRegister::readToEnd()
{
    while (readSlice()) { }
}

void LiveRegister::refresh()
{
    if (!stepScheduled)
        step();
}

bool LiveRegister::readSlice()
{
    using Change = classregister::RegisterFile::Change;
    const Change change = registerFile.refresh(sliceSize);
    if (change == Change::Reloaded || change == Change::Unavailable)
        Q_EMIT reloaded();
    else if (change == Change::Appended)
        Q_EMIT appended(registerFile.appendedFrom());
    if (following)
        watch();
    const bool more = !registerFile.atEnd() && registerFile.state() == classregister::RegisterFile::State::Read;
    if (!more && change != Change::None)
        Q_EMIT settled();
    return more;
}

void LiveRegister::step()
{
    stepScheduled = false;
    if (readSlice()) {
        stepScheduled = true;
        QTimer::singleShot(0, this, &LiveRegister::step);
    }
}

// A replaced file drops out of the watch list, and a folder that appears
// later (a share mounted late) must join it.
void LiveRegister::watch()
{
    const QFileInfo info(registerFile.path());
    if (info.isFile() && !watcher.files().contains(info.filePath()))
        watcher.addPath(info.filePath());
    if (info.dir().exists() && watcher.directories().isEmpty())
        watcher.addPath(info.absolutePath());
}

} // namespace mirabolo::registro
