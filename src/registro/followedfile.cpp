#include "registro/followedfile.h"

#include <QDir>
#include <QFileInfo>

using namespace std::chrono_literals;

namespace mirabolo::registro {

FollowedFile::FollowedFile(QObject *parent)
    : QObject(parent)
{
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &FollowedFile::refresh);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &FollowedFile::refresh);
    connect(&poll, &QTimer::timeout, this, &FollowedFile::refresh);
    poll.setInterval(1s);
}

void FollowedFile::setFollowing(bool on)
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

void FollowedFile::readToEnd()
{
    while (readSlice()) { }
}

void FollowedFile::refresh()
{
    if (!stepScheduled)
        step();
}

void FollowedFile::step()
{
    stepScheduled = false;
    if (readSlice()) {
        stepScheduled = true;
        QTimer::singleShot(0, this, &FollowedFile::step);
    }
}

// A replaced file drops out of the watch list, and a folder that appears
// later (a share mounted late) must join it. What this account may not read
// is left to the poll: the kernel refuses to watch it, and Qt would warn of
// it on every try. A link is not followed here either.
void FollowedFile::watch()
{
    const auto add = [this](const QString &path) {
        if (!refused.contains(path) && (!QFileInfo(path).isReadable() || !watcher.addPath(path)))
            refused.insert(path);
    };
    const QFileInfo info(path());
    if (!info.isSymLink() && info.isFile() && !watcher.files().contains(info.filePath()))
        add(info.filePath());
    if (info.dir().exists() && watcher.directories().isEmpty())
        add(info.absolutePath());
}

} // namespace mirabolo::registro
