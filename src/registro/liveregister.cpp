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
    if (change == Change::Reloaded || change == Change::Unavailable) {
        refused.clear(); // maybe another file, or other permissions
        Q_EMIT reloaded();
    } else if (change == Change::Appended)
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
// later (a share mounted late) must join it. What this account may not read
// is left to the poll: the kernel refuses to watch it, and Qt would warn of
// it on every try. A link is not followed here either.
void LiveRegister::watch()
{
    const auto add = [this](const QString &path) {
        if (!refused.contains(path) && (!QFileInfo(path).isReadable() || !watcher.addPath(path)))
            refused.insert(path);
    };
    const QFileInfo info(registerFile.path());
    if (!info.isSymLink() && info.isFile() && !watcher.files().contains(info.filePath()))
        add(info.filePath());
    if (info.dir().exists() && watcher.directories().isEmpty())
        add(info.absolutePath());
}

} // namespace mirabolo::registro
