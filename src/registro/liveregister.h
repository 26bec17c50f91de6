// The register followed while the window is open: a change notice for this
// PC, a poll every second for the others (NFS and Samba never pass notices on
// from other machines), and a big file read a slice per turn of the event
// loop so that the window keeps answering.
#pragma once

#include "classregister/registerfile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace mirabolo::registro {

class LiveRegister : public QObject
{
    Q_OBJECT

public:
    // At most this much is read before the window gets its turn again.
    static constexpr qint64 sliceBytes = qint64(1) << 20;

    explicit LiveRegister(const QString &path, qint64 slice = sliceBytes, QObject *parent = nullptr);

    const classregister::RegisterFile &file() const { return registerFile; }
    // Slices of the file are still waiting to be read.
    bool loading() const { return stepScheduled; }

    // Watched and polled, until stopped: a window follows its register, the
    // report with no window reads it once.
    void setFollowing(bool on);

    // Reads everything up to the file's end now, without the event loop.
    void readToEnd();

    // Reads the whole file again, as for a replaced one.
    void readAgain();

public Q_SLOTS:
    // Reads what was added (or the whole file again when it was replaced);
    // a file larger than a slice goes on over the next turns.
    void refresh();

Q_SIGNALS:
    // Reading starts again from the file's start (a new, replaced or shrunk
    // file, readAgain(), or one that can no longer be read): the games in
    // file().games() are the first ones.
    void reloaded();
    // The games from `first` on were added.
    void appended(qsizetype first);
    // Everything up to the file's end has been read after a change.
    void settled();

private:
    // Reads a slice; true when more is waiting.
    bool readSlice();
    void step();
    void watch();

    // Only the games of each slice: whoever follows the register keeps them.
    classregister::RegisterFile registerFile;
    QFileSystemWatcher watcher;
    QSet<QString> refused; // paths the watcher would not take, left to the poll
    QTimer poll;
    qint64 sliceSize;
    bool following = false;
    bool stepScheduled = false;
};

} // namespace mirabolo::registro
