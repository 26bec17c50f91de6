// Opening a file of the class folder for reading, only when it is safe to.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>

namespace mirabolo::classregister {

enum class FileState {
    NotRead, // not looked at yet
    Missing, // no file by that name
    NotAFile, // a folder, pipe or device: never opened for reading
    Linked, // a symbolic link, or a file with other names: never read
    NotReadable, // no permission, or a read failed
    Read // read up to its end at the last look
};

// What identifies a file, to notice when another takes its place or it is
// rewritten.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    // When its bytes, and anything about it, last changed (nanoseconds).
    qint64 modified = 0;
    qint64 changed = 0;
};

// Only a regular file is opened, and without waiting: a pipe put in its place
// would otherwise hold the program until someone writes to it, and opening a
// device may do things of its own. In a class folder any pupil may put a link
// at the name, to a file only the teacher can read: a link, or a file with
// another name elsewhere, is never read. FileState::Read when `file` is open.
FileState openForReading(const QString &path, QFile &file, FileIdentity &identity);

// The bytes last read are read again at every refresh of a followed file:
// when they changed, it was rewritten in place. Enough to tell one line from
// another.
inline constexpr qsizetype checkBytes = 64;

// What was read of a followed file, up to `offset`, no longer holds: another
// file is in its place, it is shorter, or it was rewritten in place: without
// growing from its `knownSize` (only its times tell, since the change time
// cannot be set back), or its bytes before `offset` are not `lastBytes` any
// more. `now` is the file as `file` was just opened.
bool readIsStale(QFile &file, const FileIdentity &now, const FileIdentity &known, qint64 knownSize, qint64 offset,
                 const QByteArray &lastBytes);

struct PiecesRead
{
    qint64 offset = 0; // where reading stopped
    bool failed = false; // a read failed: the file cannot be read now
    bool cut = false; // it ended before `end`: cut meanwhile
};

// Reads `file` from `offset` up to `end` in pieces of at most `pieceBytes`,
// handing each to `take`, and keeps the last checkBytes read in `lastBytes`.
PiecesRead readPieces(QFile &file, qint64 offset, qint64 end, qint64 pieceBytes, QByteArray &lastBytes,
                      const std::function<void(QByteArrayView)> &take);

} // namespace mirabolo::classregister
