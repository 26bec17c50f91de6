// A plain Qt fallback where the descriptor calls of the Unix implementation
// do not exist.
#include "records/folderfile.h"
#include "records/folderfile_p.h"

#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <utility>

namespace mirabolo::records {

using detail::pauseBeforeRetry;

namespace {

bool isRegularOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && (info.isFile() || !info.exists());
}

constexpr QFileDevice::Permissions groupWritable =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup;

} // namespace

bool openRegularFile(QFile &file, const QString &path)
{
    const QFileInfo info(path);
    file.setFileName(path);
    return !info.isSymLink() && info.isFile() && file.open(QIODevice::ReadOnly);
}

bool openForAppend(QFile &file, const QString &path, bool shared)
{
    createIfMissing(path, shared);
    file.setFileName(path);
    return isRegularOrMissing(path) && file.open(QIODevice::WriteOnly | QIODevice::Append);
}

bool createIfMissing(const QString &path, bool shared)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (shared)
            file.setPermissions(groupWritable);
        return true;
    }
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

StagedFile::StagedFile(QString targetPath, bool classFolder)
    : target(std::move(targetPath))
    , shared(classFolder)
{
}

StagedFile::~StagedFile() = default;

QIODevice *StagedFile::open()
{
    if (!file) {
        file = std::make_unique<QSaveFile>(target);
        file->setDirectWriteFallback(false);
        if (!file->open(QIODevice::WriteOnly))
            return nullptr;
        if (shared)
            file->setPermissions(groupWritable);
    }
    return file->isOpen() ? file.get() : nullptr;
}

bool StagedFile::write(const QByteArray &bytes)
{
    QIODevice *device = open();
    return device && device->write(bytes) == bytes.size() && file->flush();
}

bool StagedFile::place()
{
    return file && file->commit();
}

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;

bool FolderLock::take(const QString &path, bool /*shared*/, QDeadlineTimer deadline)
{
    file = std::make_unique<QLockFile>(path);
    // Storing takes milliseconds; a lock older than this was left by a crash.
    file->setStaleLockTime(10000);
    while (!file->tryLock(0)) {
        if (file->error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        pauseBeforeRetry(deadline);
    }
    return true;
}

} // namespace mirabolo::records
