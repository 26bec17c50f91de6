// The class folder through descriptors: every change through a file this
// program opened itself, exclusively or without following links.
#include "records/folderfile.h"
#include "records/folderfile_p.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace mirabolo::records {

using detail::pauseBeforeRetry;

namespace {

// Read and write for the owner and the group, nothing for the others: the
// pupils' names and scores stay within the class.
constexpr mode_t groupMode = 0660;

// Created only where nothing stands, not even a dangling link, so the
// descriptor is a new file of this account's.
int createExclusive(const QByteArray &name, int access, bool shared)
{
    const int fd = ::open(name.constData(), access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    // A Samba share that sets the modes itself may refuse; the game goes on
    // there all the same.
    if (fd >= 0 && shared)
        (void)::fchmod(fd, groupMode);
    return fd;
}

// A pipe in the file's place would block the open for ever; a link would let
// whoever planted it choose the file.
int openExisting(const QByteArray &name, int access)
{
    const int fd = ::open(name.constData(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat status = {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the name still leads to what the descriptor holds.
bool sameFile(int fd, const QByteArray &name)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0 && sameFile(opened, named);
}

// A fresh file beside `name`, hidden from a listing of the folder.
int createFresh(const QByteArray &name, QByteArray &fresh, int access, bool shared)
{
    const qsizetype slash = name.lastIndexOf('/');
    for (int attempt = 0; attempt < 16; ++attempt) {
        fresh = name.left(slash + 1) + '.' + name.mid(slash + 1) + '.' +
            QByteArray::number(QRandomGenerator::system()->generate(), 36);
        const int fd = createExclusive(fresh, access, shared);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool adopt(QFile &file, int fd, QIODevice::OpenMode mode)
{
    if (fd < 0)
        return false;
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

#ifdef F_OFD_SETLK
// Held by the open file rather than by the process, so that no other
// descriptor of the process can drop it by closing.
constexpr int setLockCommand = F_OFD_SETLK;
constexpr int getLockCommand = F_OFD_GETLK;
#else
constexpr int setLockCommand = F_SETLK;
constexpr int getLockCommand = F_GETLK;
#endif

bool lockWhole(int fd, int command, struct flock &range)
{
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    return ::fcntl(fd, command, &range) == 0;
}

bool lockWhole(int fd)
{
    struct flock range = {};
    return lockWhole(fd, setLockCommand, range);
}

// Another game may hold a lock file this account cannot write: the one
// whose account left it there.
bool lockedByOther(const QByteArray &name)
{
    const int fd = openExisting(name, O_RDONLY);
    if (fd < 0)
        return false;
    struct flock range = {};
    const bool held = lockWhole(fd, getLockCommand, range) && range.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

enum class Attempt { Held, Busy, Failed };

// A new lock file, already locked and with its mode set, put at `name`: by a
// link where nothing stands, which fails should another game get there
// first, or by a rename over `seen`, what was found unusable there.
Attempt publish(const QByteArray &name, bool shared, const struct stat *seen, int &held)
{
    QByteArray fresh;
    const int fd = createFresh(name, fresh, O_RDWR, shared);
    if (fd < 0)
        return Attempt::Failed;
    Attempt attempt = Attempt::Held;
    bool linksRefused = false;
    struct stat now = {};
    if (!lockWhole(fd)) {
        attempt = Attempt::Failed; // a share without locks
    } else if (seen) {
        // What stands there now may be another game's new lock.
        if (::lstat(name.constData(), &now) != 0 || !sameFile(now, *seen))
            attempt = Attempt::Busy;
        else if (::rename(fresh.constData(), name.constData()) != 0)
            attempt = Attempt::Failed;
        else
            fresh.clear();
    } else if (::link(fresh.constData(), name.constData()) != 0) {
        attempt = errno == EEXIST ? Attempt::Busy : Attempt::Failed;
        linksRefused = errno != EEXIST;
    }
    if (!fresh.isEmpty())
        ::unlink(fresh.constData());
    if (attempt == Attempt::Held && sameFile(fd, name)) {
        held = fd;
        return Attempt::Held;
    }
    ::close(fd);
    if (!linksRefused)
        return attempt == Attempt::Held ? Attempt::Busy : attempt;
    // A share without hard links: created in place, its mode set a moment
    // after it appears.
    const int direct = createExclusive(name, O_RDWR, shared);
    if (direct >= 0 && lockWhole(direct) && sameFile(direct, name)) {
        held = direct;
        return Attempt::Held;
    }
    const bool busy = errno == EEXIST || errno == EAGAIN;
    if (direct >= 0)
        ::close(direct);
    return busy ? Attempt::Busy : Attempt::Failed;
}

Attempt tryLock(const QByteArray &name, bool shared, int &held)
{
    const int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return publish(name, shared, nullptr, held);
    struct stat status = {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        if (lockWhole(fd)) {
            if (sameFile(fd, name)) {
                held = fd;
                return Attempt::Held;
            }
            ::close(fd); // replaced since it was opened: look again
            return Attempt::Busy;
        }
        const bool busy = errno == EAGAIN || errno == EACCES;
        ::close(fd);
        return busy ? Attempt::Busy : Attempt::Failed;
    }
    if (fd >= 0)
        ::close(fd);
    // What stands at the name cannot be locked by this account.
    struct stat seen = {};
    if (::lstat(name.constData(), &seen) != 0)
        return errno == ENOENT ? Attempt::Busy : Attempt::Failed;
    if (S_ISDIR(seen.st_mode))
        return Attempt::Failed;
    if (S_ISREG(seen.st_mode) && lockedByOther(name))
        return Attempt::Busy;
    return publish(name, shared, &seen, held);
}

} // namespace

bool openRegularFile(QFile &file, const QString &path)
{
    return adopt(file, openExisting(QFile::encodeName(path), O_RDONLY), QIODevice::ReadOnly);
}

bool openForAppend(QFile &file, const QString &path, bool shared)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = createExclusive(name, O_WRONLY | O_APPEND, shared);
    if (fd < 0 && errno == EEXIST)
        fd = openExisting(name, O_WRONLY | O_APPEND);
    // Where the kernel lets anyone link another's file into the folder, the
    // name may be a second one of a file of this account's.
    struct stat status = {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || status.st_nlink > 1)) {
        ::close(fd);
        return false;
    }
    return adopt(file, fd, QIODevice::WriteOnly | QIODevice::Append);
}

bool createIfMissing(const QString &path, bool shared)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = createExclusive(name, O_WRONLY, shared);
    if (fd >= 0)
        return ::close(fd) == 0;
    struct stat status = {};
    return errno == EEXIST && ::lstat(name.constData(), &status) == 0 && S_ISREG(status.st_mode);
}

StagedFile::StagedFile(QString targetPath, bool classFolder)
    : target(std::move(targetPath))
    , shared(classFolder)
{
}

StagedFile::~StagedFile()
{
    device.close();
    if (fd >= 0)
        ::close(fd);
    if (!fresh.isEmpty() && !placed)
        ::unlink(fresh.constData());
}

QIODevice *StagedFile::open()
{
    if (fd < 0) {
        fd = createFresh(QFile::encodeName(target), fresh, O_WRONLY, shared);
        if (fd < 0 || !device.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return nullptr;
    }
    return &device;
}

bool StagedFile::sync()
{
    return device.isOpen() && device.flush() && device.error() == QFileDevice::NoError && ::fsync(fd) == 0;
}

bool StagedFile::write(const QByteArray &bytes)
{
    QIODevice *file = open();
    return file && file->write(bytes) == bytes.size() && sync();
}

bool StagedFile::place()
{
    const QByteArray name = QFile::encodeName(target);
    if (!sync() || ::rename(fresh.constData(), name.constData()) != 0)
        return false;
    placed = true;
    // Someone may have swapped the fresh name before the rename.
    return sameFile(fd, name);
}

FolderLock::FolderLock() = default;

FolderLock::~FolderLock()
{
    // Closing drops the lock; the empty file stays for the next game.
    if (fd >= 0)
        ::close(fd);
}

bool FolderLock::take(const QString &path, bool shared, QDeadlineTimer deadline)
{
    const QByteArray name = QFile::encodeName(path);
    for (;;) {
        const Attempt attempt = tryLock(name, shared, fd);
        if (attempt != Attempt::Busy)
            return attempt == Attempt::Held;
        if (deadline.hasExpired())
            return false;
        pauseBeforeRetry(deadline);
    }
}

} // namespace mirabolo::records
