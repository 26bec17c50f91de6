#include "liveregister.h"

#include <QDir>
#include <QFileInfo>

using namespace std::chrono_literals;

namespace mirabolo::registro {

LiveRegister::LiveRegister(const QString &path, QObject *parent)
    : QObject(parent)
    , registerFile(path)
{
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &LiveRegister::refresh);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &LiveRegister::refresh);
    connect(&poll, &QTimer::timeout, this, &LiveRegister::refresh);
    poll.setInterval(1s);
    registerFile.setKeepingGames(false);
}

void LiveRegister::setPolling(bool on)
{
    if (on)
        poll.start();
    else
        poll.stop();
}

void LiveRegister::readAgain()
{
    registerFile.readAgain();
    refresh();
}

void LiveRegister::refresh()
{
    if (!stepScheduled)
        step();
}

void LiveRegister::step()
{
    stepScheduled = false;
    using Change = classregister::RegisterFile::Change;
    const Change change = registerFile.refresh(sliceBytes);
    if (change == Change::Reloaded || change == Change::Unavailable)
        Q_EMIT reloaded();
    else if (change == Change::Appended)
        Q_EMIT appended(registerFile.appendedFrom());
    watch();
    if (!registerFile.atEnd() && registerFile.state() == classregister::RegisterFile::State::Read) {
        stepScheduled = true;
        QTimer::singleShot(0, this, &LiveRegister::step);
    } else if (change != Change::None) {
        Q_EMIT settled();
    }
}

// A replaced file drops out of the watch list, and a folder that appears
// later (a share mounted late) must join it. A link is not followed here
// either.
void LiveRegister::watch()
{
    const QFileInfo info(registerFile.path());
    if (!info.isSymLink() && info.isFile() && !watcher.files().contains(info.filePath()))
        watcher.addPath(info.filePath());
    if (info.dir().exists() && watcher.directories().isEmpty())
        watcher.addPath(info.absolutePath());
}

} // namespace mirabolo::registro
