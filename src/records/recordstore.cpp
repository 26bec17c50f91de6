#include "records/recordstore.h"

#include "records/folderfile.h"
#include "runtime/windows1252.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::records {

namespace {

constexpr auto lockFileName = u"eqc.lock";

// Qt paths use '/' on every platform, so the directory ends with exactly one.
QString withTrailingSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

bool isRegularOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && (info.isFile() || !info.exists());
}

std::optional<QByteArray> readBounded(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return std::nullopt;
    QByteArray bytes = file.read(maxRecordFileBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QByteArray recordLine(const QString &text)
{
    return runtime::encodeWindows1252(text) + "\r\n";
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
    const std::optional<QByteArray> bytes = readBounded(nomefile);
    return bytes ? std::optional(runtime::decodeWindows1252(*bytes)) : std::nullopt;
}

RecordStore::RecordStore(QString dir, bool classFolder, std::chrono::milliseconds maxLockWait,
                         std::function<void(StoreStep)> betweenSteps)
    : folder(withTrailingSeparator(std::move(dir)))
    , shared(classFolder)
    , lockWait(maxLockWait)
    , between(std::move(betweenSteps))
{
}

void RecordStore::reach(StoreStep step) const
{
    if (between)
        between(step);
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

QString RecordStore::answersFilePath() const
{
    return folder + QString::fromUtf16(answersFileName);
}

bool RecordStore::ensureFilesExist() const
{
    // Without a folder the names would be relative to wherever the program
    // happens to run.
    if (folder.isEmpty())
        return false;
    for (const QString &path : {recordFilePath(), holderFilePath()}) {
        if (!createIfMissing(path, shared))
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
    FolderLock lock;
    if (!takeLock(lock))
        return unreachable;

    EndOfGame result;
    if (comparesRecord(game.ending))
        result.record = storeIfBeaten(scoreText, game.name, recordTextAtStart);
    result.registered = appendToRegister(classregister::registerLine(game, result.record));
    return result;
}

bool RecordStore::registerOnly(const GameSummary &game) const
{
    FolderLock lock;
    return takeLock(lock) && appendToRegister(registerLine(game, StoreOutcome::NotBeaten));
}

bool RecordStore::takeLock(FolderLock &lock) const
{
    if (folder.isEmpty())
        return false;
    reach(StoreStep::Locking);
    if (!lock.take(folder + QString::fromUtf16(lockFileName), shared, QDeadlineTimer(lockWait)))
        return false;
    reach(StoreStep::Locked);
    return true;
}

StoreOutcome RecordStore::storeIfBeaten(const QString &scoreText, const QString &name,
                                        const QString &recordTextAtStart) const
{
    const std::optional<QByteArray> recordBytes = readBounded(recordFilePath());
    const QString recordNow = recordBytes ? runtime::decodeWindows1252(*recordBytes) : recordTextAtStart;
    if (!beatsRecord(scoreText, recordNow))
        return StoreOutcome::NotBeaten;

    // Both new files are written in full beside the old ones before either
    // takes its place, so a failure while writing leaves the old record and
    // holder untouched.
    StagedFile recordFile(recordFilePath(), shared);
    StagedFile holderFile(holderFilePath(), shared);
    if (!recordFile.write(recordLine(scoreText)) || !holderFile.write(recordLine(classregister::storedName(name))))
        return StoreOutcome::Failed;
    reach(StoreStep::Staged);
    // A rename would replace a link or a pipe planted there; it stays, and
    // the record counts as not stored, as when it was there from the start.
    if (!isRegularOrMissing(recordFilePath()) || !isRegularOrMissing(holderFilePath()) || !recordFile.place())
        return StoreOutcome::Failed;
    reach(StoreStep::RecordReplaced);
    if (holderFile.place())
        return StoreOutcome::Stored;
    // The old holder gets their own score back rather than the new one.
    StagedFile restored(recordFilePath(), shared);
    if (restored.write(recordBytes.value_or(QByteArray())))
        restored.place();
    return StoreOutcome::Failed;
}

RecordStore::Appended RecordStore::appendAnswers(QByteArrayView lines, QDeadlineTimer lockDeadline) const
{
    if (folder.isEmpty())
        return Appended::Failed;
    FolderLock lock;
    if (!lock.take(folder + QString::fromUtf16(lockFileName), shared, lockDeadline))
        // Given up before the deadline: not a wait, a lock this folder cannot have.
        return lockDeadline.hasExpired() ? Appended::LockBusy : Appended::Failed;
    return appendLines(answersFilePath(), shared, classregister::answersHeader, lines) ? Appended::Written
                                                                                       : Appended::Failed;
}

bool RecordStore::appendToRegister(const QByteArray &line) const
{
    reach(StoreStep::Registering);
    // Earlier lines are never rewritten; a new register starts with its
    // header, and a line cut by a power failure loses only itself.
    return appendLines(registerFilePath(), shared, classregister::registerHeader, line);
}

} // namespace mirabolo::records
