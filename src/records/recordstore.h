// The two record files, "eqc.txt" (the best score) and "neqc.txt" (its
// holder), in the data directory.
#pragma once

#include <QString>

#include <optional>

namespace mirabolo::records {

inline constexpr char16_t recordFileName[] = u"eqc.txt";
inline constexpr char16_t holderFileName[] = u"neqc.txt";

// A record file is a few bytes; anything longer is read only this far so that
// a damaged or foreign file never stalls the start.
inline constexpr qint64 maxRecordFileBytes = 4096;

// The data directory, with its trailing separator, created when missing.
// Empty when it cannot be found or created.
std::optional<QString> GetSystemDir();

// The whole text of a file (bounded as above), decoded from Windows-1252,
// line ends included. Empty when the file cannot be read.
std::optional<QString> Leggifiletxt(const QString &nomefile);

enum class StoreOutcome {
    NotBeaten, // the score does not beat the record on disk: nothing written
    Stored, // both files now hold the new record
    Failed // the score beats the record but it could not be stored
};

class RecordStore
{
public:
    explicit RecordStore(QString dataDir);

    QString recordFilePath() const;
    QString holderFilePath() const;

    // Makes both files exist; an existing file keeps its bytes. False when
    // either cannot be created.
    bool ensureFilesExist() const;

    // Under a lock file, compares the score with the record on disk at this
    // moment (falling back to `recordTextAtStart` when the file cannot be
    // read) and, when the score is strictly greater, replaces both files
    // atomically: both are prepared before either replaces the old one.
    StoreOutcome storeIfBeaten(const QString &scoreText, const QString &name, const QString &recordTextAtStart) const;

private:
    QString m_dataDir;
};

} // namespace mirabolo::records
