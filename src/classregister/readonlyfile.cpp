#include "classregister/readonlyfile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mirabolo::classregister {

namespace {

#ifdef Q_OS_UNIX
qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}
#endif

} // namespace

FileState openForReading(const QString &path, QFile &file, FileIdentity &identity)
{
    using State = FileState;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(name.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? State::Missing : State::NotReadable;
    if (S_ISLNK(status.st_mode))
        return State::Linked;
    if (!S_ISREG(status.st_mode))
        return State::NotAFile;
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? State::Missing : errno == ELOOP ? State::Linked : State::NotReadable;
    // Checked again on what was really opened, in case the name changed since.
    State opened = State::Read;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        opened = State::NotAFile;
    else if (status.st_nlink > 1)
        opened = State::Linked;
    else if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        opened = State::NotReadable;
    if (opened != State::Read) {
        ::close(fd);
        return opened;
    }
    identity = {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size), nanoseconds(status.st_mtim),
                nanoseconds(status.st_ctim)};
#else
    const QFileInfo info(path);
    if (info.isSymLink())
        return State::Linked;
    if (!info.exists())
        return State::Missing;
    if (!info.isFile())
        return State::NotAFile;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return State::NotReadable;
    identity = {0, 0, file.size(), info.lastModified().toMSecsSinceEpoch() * 1000000,
                info.metadataChangeTime().toMSecsSinceEpoch() * 1000000};
#endif
    return State::Read;
}

bool readIsStale(QFile &file, const FileIdentity &now, const FileIdentity &known, qint64 knownSize, qint64 offset,
                 const QByteArray &lastBytes)
{
    if (now.device != known.device || now.inode != known.inode || now.size < offset ||
        (now.size == knownSize && (now.modified != known.modified || now.changed != known.changed)))
        return true;
    return !lastBytes.isEmpty() && (!file.seek(offset - lastBytes.size()) || file.read(lastBytes.size()) != lastBytes);
}

PiecesRead readPieces(QFile &file, qint64 offset, qint64 end, qint64 pieceBytes, QByteArray &lastBytes,
                      const std::function<void(QByteArrayView)> &take)
{
    PiecesRead read{offset};
    read.failed = !file.seek(offset);
    QByteArray buffer;
    while (!read.failed && read.offset < end) {
        buffer.resize(std::min(pieceBytes, end - read.offset));
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got <= 0) {
            read.failed = got < 0;
            read.cut = true;
            break;
        }
        const QByteArrayView piece(buffer.constData(), got);
        lastBytes.append(piece.last(std::min(got, qint64(checkBytes))));
        lastBytes = lastBytes.right(checkBytes);
        take(piece);
        read.offset += got;
    }
    return read;
}

} // namespace mirabolo::classregister
