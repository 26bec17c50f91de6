// The record files, "eqc.txt" (the best score) and "neqc.txt" (its holder),
// and the register of games, "registro.csv", all in one folder: the class
// folder a lab shares, or else the pupil's own data directory.
#pragma once

#include "records/endgame.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace mirabolo::records {

class FolderLock;

inline constexpr char16_t recordFileName[] = u"eqc.txt";
inline constexpr char16_t holderFileName[] = u"neqc.txt";
inline constexpr char16_t registerFileName[] = u"registro.csv";

// A record file is a few bytes; anything longer is read only this far so that
// a damaged or foreign file never stalls the start.
inline constexpr qint64 maxRecordFileBytes = 4096;

// A whole class ending in the same second takes its turns well within this;
// waiting longer would only leave the pupil looking at a frozen window.
inline constexpr std::chrono::milliseconds defaultLockWait{5000};

// The pupil's own data directory, with its trailing separator, created when
// missing. Empty when it cannot be found or created.
std::optional<QString> GetSystemDir();

// The class folder: the one given on the command line, else `[Record]
// Cartella=` of mirabolo.conf in the system configuration folders, never in
// the user's own. Empty when neither sets one.
QString classFolder(const QString &commandLineFolder);

// Where the files live, with a trailing separator: the class folder when one
// is set, else the data directory. A class folder is never created: a share
// that did not mount must not be replaced by a local folder that would split
// the class record in two. Empty when the folder cannot be used.
std::optional<QString> recordFolder(const QString &classFolder);

// The whole text of a file (bounded as above), decoded from Windows-1252,
// line ends included. Empty when the file cannot be read or is not a regular
// file: a link, pipe or device in its place is never opened.
std::optional<QString> Leggifiletxt(const QString &nomefile);

struct EndOfGame
{
    StoreOutcome record = StoreOutcome::NotBeaten;
    bool registered = false; // the game's line is in the register
};

// The moments between the steps of storing, where another account may act
// on the folder.
enum class StoreStep {
    Locking, // about to take the lock
    Locked, // the lock is held, the record on disk not read yet
    Staged, // both new record files written under fresh names
    RecordReplaced, // the record file is in place, its holder not yet
    Registering, // about to open the register
};

class RecordStore
{
public:
    // In a class folder the next account must be able to replace what this
    // one leaves, so the folder's group may write it. `maxLockWait` bounds how
    // long a game waits for others ending at the same moment; `betweenSteps` is
    // called at each step.
    explicit RecordStore(QString dir, bool classFolder = false, std::chrono::milliseconds maxLockWait = defaultLockWait,
                         std::function<void(StoreStep)> betweenSteps = {});

    QString recordFilePath() const;
    QString holderFilePath() const;
    QString registerFilePath() const;

    // Creates whichever record file is missing; an existing file keeps its
    // bytes. False when either cannot be created or is not a regular file.
    bool ensureFilesExist() const;

    // One step under a lock file, so that games ending together on other
    // accounts or PCs take turns: compares the score with the record on disk
    // at this moment (the one seen at the start when the file cannot be
    // read), replaces both record files when the score is strictly greater,
    // and appends the game to the register. A game closed or restarted
    // before its end only gets its line in the register.
    EndOfGame finishGame(const QString &scoreText, const QString &recordTextAtStart, const GameSummary &game) const;

    // Only the game's line, with an empty Record, under the same lock: for a
    // game whose record files could not be used, so that the teacher still
    // sees it. True when the line is in the register.
    bool registerOnly(const GameSummary &game) const;

private:
    bool takeLock(FolderLock &lock) const;
    StoreOutcome storeIfBeaten(const QString &scoreText, const QString &name, const QString &recordTextAtStart) const;
    bool appendToRegister(const QByteArray &line) const;
    void reach(StoreStep step) const;

    QString folder;
    bool shared;
    std::chrono::milliseconds lockWait;
    std::function<void(StoreStep)> between;
};

} // namespace mirabolo::records
