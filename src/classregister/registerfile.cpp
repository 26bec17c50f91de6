#include "classregister/registerfile.h"

#include "records/recordstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

// The bytes last read are read again at every refresh: when they changed, the
// file was rewritten in place. Enough to tell one game's line from another.
constexpr qsizetype checkBytes = 64;

struct Identity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    // When its bytes, and anything about it, last changed (nanoseconds).
    qint64 modified = 0;
    qint64 changed = 0;
};

#ifdef Q_OS_UNIX
qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}
#endif

// Only a regular file is opened, and without waiting: a pipe put in the
// register's place would otherwise hold the program until someone writes to
// it, and opening a device may do things of its own. In a class folder any
// pupil may put a link at the register's name, to a file only the teacher
// can read: a link, or a file with another name elsewhere, is never read.
RegisterFile::State openRegister(const QString &path, QFile &file, Identity &identity)
{
    using State = RegisterFile::State;
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

bool readAt(QFile &file, qint64 offset, qint64 size, QByteArray &bytes)
{
    if (!file.seek(offset))
        return false;
    bytes = file.read(size);
    return bytes.size() == size;
}

} // namespace

RegisterFile::RegisterFile(QString path)
    : filePath(std::move(path))
{
}

void RegisterFile::reset()
{
    parser = RegisterParser();
    allGames.clear();
    allGames.squeeze();
    gamesRead = 0;
    firstNew = 0;
    readOffset = 0;
    knownSize = 0;
    lastBytes.clear();
}

void RegisterFile::readAgain()
{
    reset();
    currentState = State::NotRead;
}

RegisterFile::Change RegisterFile::refresh(qint64 maxBytes)
{
    QFile file;
    Identity identity;
    const State opened = openRegister(filePath, file, identity);
    if (opened != State::Read) {
        const bool news = opened != currentState || readOffset > 0;
        reset();
        currentState = opened;
        return news ? Change::Unavailable : Change::None;
    }

    QByteArray check;
    // Rewritten in place without growing, a line changed for another of the
    // same length: only its times tell (the change time cannot be set back).
    const bool rewritten = identity.size == knownSize && (identity.modified != modified || identity.changed != changed);
    bool reload = currentState != State::Read || identity.device != device || identity.inode != inode ||
        identity.size < readOffset || rewritten;
    if (!reload && !lastBytes.isEmpty())
        reload = !readAt(file, readOffset - lastBytes.size(), lastBytes.size(), check) || check != lastBytes;
    // A last line read without its line end that goes on: it must be read
    // again whole.
    if (!reload && parser.finishedMidLine() && identity.size > readOffset)
        reload = !readAt(file, readOffset, 1, check) || (check != "\r" && check != "\n");
    if (reload) {
        reset();
        growing = true;
        device = identity.device;
        inode = identity.inode;
    }
    currentState = State::Read;
    knownSize = identity.size;
    modified = identity.modified;
    changed = identity.changed;
    firstNew = allGames.size();
    if (!reload && readOffset == knownSize)
        return Change::None;
    if (!keepingGames) {
        allGames = {};
        firstNew = 0;
    }

    const qint64 end = maxBytes > 0 ? std::min(knownSize, readOffset + maxBytes) : knownSize;
    QByteArray buffer;
    bool failed = !file.seek(readOffset);
    while (!failed && readOffset < end) {
        buffer.resize(std::min(chunkBytes, end - readOffset));
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got <= 0) {
            // Shorter than when it was opened: cut meanwhile. The next refresh
            // sees the new size and reads it again.
            failed = got < 0;
            knownSize = readOffset;
            break;
        }
        const QByteArrayView piece(buffer.constData(), got);
        lastBytes.append(piece.last(std::min(got, checkBytes)));
        lastBytes = lastBytes.right(checkBytes);
        parser.feed(piece);
        takeParsedGames();
        readOffset += got;
    }
    if (failed) {
        reset();
        currentState = State::NotReadable;
        return Change::Unavailable;
    }
    if (readOffset == knownSize) {
        parser.finish();
        takeParsedGames();
        // What the list reserved while growing is given back once, also
        // when the file was read in slices.
        if (std::exchange(growing, false))
            allGames.squeeze();
    }
    return reload ? Change::Reloaded : Change::Appended;
}

void RegisterFile::takeParsedGames()
{
    QList<GameRecord> games = parser.takeGames();
    gamesRead += games.size();
    allGames += std::move(games);
}

QString RegisterFile::statusMessage() const
{
    const QString shown = QDir::toNativeSeparators(filePath);
    switch (currentState) {
    case State::NotRead:
        return {};
    case State::Missing:
        return u"Non trovo il registro «%1»: in questa cartella non è ancora stata registrata nessuna partita, "
               u"oppure la cartella della classe non è collegata."_s.arg(shown);
    case State::NotAFile:
        return u"«%1» non è un file: scegli un registro delle partite (registro.csv)."_s.arg(shown);
    case State::Linked:
        return u"«%1» è un collegamento a un altro file: per sicurezza non viene letto, perché nella cartella della "
               u"classe chiunque potrebbe metterne uno al posto del registro. Apri il file originale."_s.arg(shown);
    case State::NotReadable:
        return u"Non riesco a leggere il registro «%1»: controlla di avere il permesso di leggerlo."_s.arg(shown);
    case State::Read:
        break;
    }
    return gamesRead == 0 ? u"Il registro non contiene ancora nessuna partita."_s : QString();
}

QString defaultRegisterPath(const QString &commandLineFolder)
{
    const QString registerName = QString::fromUtf16(records::registerFileName);
    const QString folder = records::classFolder(commandLineFolder);
    if (!folder.isEmpty())
        return QDir(folder).filePath(registerName);
    // The game's own data folder, whatever this program is called.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + u"/mirabolo/"_s + registerName;
}

} // namespace mirabolo::classregister
