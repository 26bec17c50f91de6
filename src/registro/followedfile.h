// A file followed while the window is open: a change notice for this PC, a
// poll every second for the others (NFS and Samba never pass notices on from
// other machines), and a big file read a slice per turn of the event loop so
// that the window keeps answering. What a slice is belongs to the file.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace mirabolo::registro {

class FollowedFile : public QObject
{
    Q_OBJECT

public:
    // At most this much is read before the window gets its turn again.
    static constexpr qint64 sliceBytes = qint64(1) << 20;

    // Slices of the file are still waiting to be read.
    bool loading() const { return stepScheduled; }

    // Watched and polled, until stopped: a window follows its register, the
    // report with no window reads it once.
    void setFollowing(bool on);

    // Reads everything up to the file's end now, without the event loop.
    void readToEnd();

public Q_SLOTS:
    // Reads what was added (or the whole file again when it was replaced);
    // a file larger than a slice goes on over the next turns.
    void refresh();

protected:
    explicit FollowedFile(QObject *parent);

    // Reads a slice; true when more is waiting.
    virtual bool readSlice() = 0;
    virtual QString path() const = 0;
    // After a reload the file may be another, with other permissions.
    void forgetRefused() { refused.clear(); }
    bool isFollowing() const { return following; }
    void watch();

private:
    void step();

    QFileSystemWatcher watcher;
    QSet<QString> refused; // paths the watcher would not take, left to the poll
    QTimer poll;
    bool following = false;
    bool stepScheduled = false;
};

} // namespace mirabolo::registro
