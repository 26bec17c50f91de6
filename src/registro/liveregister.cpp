#include "registro/liveregister.h"

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
    if (change == Change::Reloaded || change == Change::Unavailable) {
        refused.clear(); // maybe another file, or other permissions
        Q_EMIT reloaded();
    } else if (change == Change::Appended)
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
