// Files in a folder that other accounts can write. Any name there may be
// swapped for a link, a pipe or a folder between two steps, so nothing is
// written, read or given a mode through a name: only through a descriptor
// the game opened itself, exclusively or without following links.
#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <memory>

class QLockFile;
class QSaveFile;

namespace mirabolo::records {

// Opens `path` for reading only if it is a regular file: a link is never
// followed and a pipe never waited on.
bool openRegularFile(QFile &file, const QString &path);

// Opens `path` for appending, creating it when missing; false when anything
// but a regular file with no other name stands there. `shared` leaves a new
// file writable by the folder's group.
bool openForAppend(QFile &file, const QString &path, bool shared);

// Creates `path` empty when nothing stands there; true when a regular file
// does now.
bool createIfMissing(const QString &path, bool shared);

// New content for `target`, written in full under a fresh name beside it and
// then put in its place by a rename, which replaces whatever stands at the
// name (a link included) without ever writing through it. Removed again
// unless placed.
class StagedFile
{
public:
    StagedFile(QString targetPath, bool classFolder);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // The fresh file, open for writing; null when it cannot be created.
    QIODevice *open();
    // open(), `bytes` written and synced to the disk.
    bool write(const QByteArray &bytes);
    // True when all that was written reached the disk and the target's name
    // now holds it.
    bool place();

private:
    QString target;
    bool shared;
#ifdef Q_OS_UNIX
    bool sync();

    QByteArray fresh;
    int fd = -1;
    QFile device;
    bool placed = false;
#else
    std::unique_ptr<QSaveFile> file;
#endif
};

// The turn of one game: games ending together on other accounts or PCs wait
// for each other through a lock file beside the records.
class FolderLock
{
public:
    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Waits for the lock at `path` until `deadline`, which bounds the whole
    // wait. Whatever someone left at that name (a file of another account, a
    // link, a pipe) is replaced when the folder allows it. False when the
    // lock is still held by then, or the name cannot be made a lock (a folder
    // there, a sticky folder, a read-only share).
    bool take(const QString &path, bool shared, QDeadlineTimer deadline);

private:
#ifdef Q_OS_UNIX
    int fd = -1;
#else
    std::unique_ptr<QLockFile> file;
#endif
};

} // namespace mirabolo::records
