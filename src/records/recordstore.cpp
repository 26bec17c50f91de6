#include "records/recordstore.h"

#include "records/windows1252.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::records {

namespace {

constexpr auto lockFileName = u"eqc.lock";
// Storing takes milliseconds; a lock older than this was left by a crash.
constexpr int staleLockMs = 10000;

constexpr QFileDevice::Permissions groupWritable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther;

// The owner may always do this on a local disk; a Samba share that sets the
// modes itself may ignore it, and the game must go on there all the same.
void shareWithGroup(QFileDevice &file)
{
    file.setPermissions(groupWritable);
}

// Qt paths use '/' on every platform, so the directory ends with exactly one.
QString withTrailingSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

bool isRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

bool isRegularOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && (info.isFile() || !info.exists());
}

// An exclusive create never follows a link planted in the file's place.
bool createFile(const QString &path, bool shared)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    if (shared)
        shareWithGroup(file);
    return true;
}

// Only a regular file is opened: a pipe could block the game for ever, and a
// link would let whoever planted it choose which file the game writes.
bool openRegularFile(QFile &file, QIODevice::OpenMode mode)
{
    if (!isRegularFile(file.fileName()))
        return false;
#ifdef Q_OS_UNIX
    // Checked again on what was really opened, in case the name changed since.
    const int access = mode.testFlag(QIODevice::WriteOnly) ? O_WRONLY | O_APPEND : O_RDONLY;
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), access | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    return file.open(fd, mode, QFileDevice::AutoCloseHandle);
#else
    return file.open(mode);
#endif
}

bool writeLine(QSaveFile &file, const QString &text, bool shared)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (shared)
        shareWithGroup(file);
    const QByteArray line = encodeWindows1252(text) + "\r\n";
    return file.write(line) == line.size() && file.flush();
}

// Games ending in the same second retry at short random intervals: Qt's own
// wait doubles its pauses, and a whole class would not get through in time.
bool takeLock(QLockFile &lock, std::chrono::milliseconds wait)
{
    const QDeadlineTimer deadline(wait);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(QRandomGenerator::global()->bounded(5, 40));
    }
    return true;
}

} // namespace

std::optional<QString> GetSystemDir()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty())
        return std::nullopt;
    const QString dir = QDir::cleanPath(location);
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        return std::nullopt;
    return withTrailingSeparator(dir);
}

QString classFolder(const QString &commandLineFolder)
{
    if (!commandLineFolder.isEmpty())
        return commandLineFolder;
    // The system scope reads $XDG_CONFIG_DIRS (normally /etc/xdg) and never
    // the pupil's own settings: the teacher sets the folder once per PC.
    const QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, u"mirabolo"_s);
    const QVariant folder = settings.value(u"Record/Cartella"_s);
    // An unquoted comma in the value makes it a list.
    return folder.typeId() == QMetaType::QStringList ? folder.toStringList().join(u',') : folder.toString();
}

std::optional<QString> recordFolder(const QString &classFolder)
{
    if (classFolder.isEmpty())
        return GetSystemDir();
    if (!QFileInfo(classFolder).isDir())
        return std::nullopt;
    return withTrailingSeparator(QDir::cleanPath(classFolder));
}

std::optional<QString> Leggifiletxt(const QString &nomefile)
{
    QFile file(nomefile);
    if (!openRegularFile(file, QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(maxRecordFileBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeWindows1252(bytes);
}

RecordStore::RecordStore(QString dir, bool classFolder, std::chrono::milliseconds maxLockWait)
    : folder(withTrailingSeparator(std::move(dir)))
    , shared(classFolder)
    , lockWait(maxLockWait)
{
}

QString RecordStore::recordFilePath() const
{
    return folder + QString::fromUtf16(recordFileName);
}

QString RecordStore::holderFilePath() const
{
    return folder + QString::fromUtf16(holderFileName);
}

QString RecordStore::registerFilePath() const
{
    return folder + QString::fromUtf16(registerFileName);
}

bool RecordStore::ensureFilesExist() const
{
    // Without a folder the names would be relative to wherever the program
    // happens to run.
    if (folder.isEmpty())
        return false;
    for (const QString &path : {recordFilePath(), holderFilePath()}) {
        if (!createFile(path, shared) && !isRegularFile(path))
            return false;
    }
    return true;
}

EndOfGame RecordStore::finishGame(const QString &scoreText, const QString &recordTextAtStart,
                                  const GameSummary &game) const
{
    // When the files cannot be reached, a score that does not even beat the
    // record seen at the start has nothing to store and nothing went wrong.
    const EndOfGame unreachable{comparesRecord(game.ending) && beatsRecord(scoreText, recordTextAtStart)
                                    ? StoreOutcome::Failed
                                    : StoreOutcome::NotBeaten,
                                false};
    if (folder.isEmpty())
        return unreachable;

    const QString lockPath = folder + QString::fromUtf16(lockFileName);
    QLockFile lock(lockPath);
    lock.setStaleLockTime(staleLockMs);
    if (!takeLock(lock, lockWait))
        return unreachable;
    // Another account may have to take over the lock should this game crash.
    if (shared)
        QFile::setPermissions(lockPath, groupWritable);

    EndOfGame result;
    if (comparesRecord(game.ending))
        result.record = storeIfBeaten(scoreText, game.name, recordTextAtStart);
    result.registered = appendToRegister(registerLine(game, result.record));
    return result;
}

StoreOutcome RecordStore::storeIfBeaten(const QString &scoreText, const QString &name,
                                        const QString &recordTextAtStart) const
{
    const QString recordNow = Leggifiletxt(recordFilePath()).value_or(recordTextAtStart);
    if (!beatsRecord(scoreText, recordNow))
        return StoreOutcome::NotBeaten;
    if (!isRegularOrMissing(recordFilePath()) || !isRegularOrMissing(holderFilePath()))
        return StoreOutcome::Failed;

    // Both new files are written and flushed in full beside the old ones
    // before either replaces its old file, so a failure while writing leaves
    // the old record and holder untouched. If the second rename fails after
    // the first succeeded, the new score stands with the old holder: that
    // window is one rename within the same folder.
    QSaveFile recordFile(recordFilePath());
    QSaveFile holderFile(holderFilePath());
    if (!writeLine(recordFile, scoreText, shared) || !writeLine(holderFile, name, shared))
        return StoreOutcome::Failed;
    if (!recordFile.commit() || !holderFile.commit())
        return StoreOutcome::Failed;
    return StoreOutcome::Stored;
}

bool RecordStore::appendToRegister(const QByteArray &line) const
{
    const QString path = registerFilePath();
    createFile(path, shared);
    QFile file(path);
    if (!openRegularFile(file, QIODevice::WriteOnly | QIODevice::Append))
        return false;
    // Earlier lines are never rewritten; a new register starts with its header.
    const QByteArray bytes = file.size() == 0 ? registerHeader + line : line;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace mirabolo::records
