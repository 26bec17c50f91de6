#include "records/recordstore.h"

#include "records/endgame.h"
#include "records/windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::records {

namespace {

constexpr auto lockFileName = u"eqc.lock";
// Storing takes milliseconds; a lock older than this was left by a crash.
constexpr int staleLockMs = 10000;
// Another game storing its record is done long before this; waiting longer
// would only leave the pupil looking at a frozen window.
constexpr int lockWaitMs = 3000;

// Qt paths use '/' on every platform, so the directory ends with exactly one.
QString withTrailingSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/')) {
        dir += u'/';
    }
    return dir;
}

bool openLine(QSaveFile &file, const QString &text)
{
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray line = encodeWindows1252(text) + "\r\n";
    return file.write(line) == line.size() && file.flush();
}

} // namespace

std::optional<QString> GetSystemDir()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty()) {
        return std::nullopt;
    }
    const QString dir = QDir::cleanPath(location);
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir()) {
        return std::nullopt;
    }
    return withTrailingSeparator(dir);
}

std::optional<QString> Leggifiletxt(const QString &nomefile)
{
    // Only regular files: opening a pipe or a device could block the start.
    const QFileInfo info(nomefile);
    if (!info.isFile()) {
        return std::nullopt;
    }
    QFile file(nomefile);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(maxRecordFileBytes);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return decodeWindows1252(bytes);
}

RecordStore::RecordStore(QString dataDir)
    : m_dataDir(withTrailingSeparator(std::move(dataDir)))
{
}

QString RecordStore::recordFilePath() const
{
    return m_dataDir + QString::fromUtf16(recordFileName);
}

QString RecordStore::holderFilePath() const
{
    return m_dataDir + QString::fromUtf16(holderFileName);
}

bool RecordStore::ensureFilesExist() const
{
    // Without a directory the names would be relative to wherever the
    // program happens to run.
    if (m_dataDir.isEmpty()) {
        return false;
    }
    for (const QString &path : {recordFilePath(), holderFilePath()}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            return false;
        }
        file.close();
    }
    return true;
}

StoreOutcome RecordStore::storeIfBeaten(const QString &scoreText, const QString &name,
                                        const QString &recordTextAtStart) const
{
    // When the files cannot be reached, a score that does not even beat the
    // record seen at the start has nothing to store and nothing went wrong.
    const auto unreachable = [&] {
        return beatsRecord(scoreText, recordTextAtStart) ? StoreOutcome::Failed : StoreOutcome::NotBeaten;
    };
    if (m_dataDir.isEmpty()) {
        return unreachable();
    }

    // Another game on the same account may be storing its own record: the
    // comparison and the writing happen under one lock so that the higher
    // score always stands.
    QLockFile lock(m_dataDir + QString::fromUtf16(lockFileName));
    lock.setStaleLockTime(staleLockMs);
    if (!lock.tryLock(lockWaitMs)) {
        return unreachable();
    }

    const QString recordNow = Leggifiletxt(recordFilePath()).value_or(recordTextAtStart);
    if (!beatsRecord(scoreText, recordNow)) {
        return StoreOutcome::NotBeaten;
    }

    // Both new files are written and flushed in full beside the old ones
    // before either replaces its old file, so a failure while writing leaves
    // the old record and holder untouched. Only the two commits remain; if
    // the second fails after the first succeeded, the new score stands with
    // the old holder, which cannot be undone. That window is the second
    // commit alone: a sync and a rename within the same directory.
    QSaveFile recordFile(recordFilePath());
    QSaveFile holderFile(holderFilePath());
    if (!openLine(recordFile, scoreText) || !openLine(holderFile, name)) {
        return StoreOutcome::Failed;
    }
    if (!recordFile.commit()) {
        return StoreOutcome::Failed;
    }
    if (!holderFile.commit()) {
        return StoreOutcome::Failed;
    }
    return StoreOutcome::Stored;
}

} // namespace mirabolo::records
