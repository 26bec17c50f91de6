// A register on disk, followed as it grows. Only reads: a class folder on a
// read-only mount serves as well. No timers and no threads: whoever shows the
// register calls refresh() when it wants news (on a change notice and on a
// poll, since notices from other PCs never arrive over NFS or Samba).
#pragma once

#include "classregister/gamerecord.h"
#include "classregister/registerparser.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace mirabolo::classregister {

class RegisterFile
{
public:
    enum class Change {
        None, // nothing new: games and state as before
        Appended, // bytes were read: the games from appendedFrom() on are new (maybe none, only skipped lines)
        Reloaded, // read again from its start (first read, shrunk or replaced file): all games are new;
                  // the further slices of a reading in slices come as Appended
        Unavailable // it cannot be read now, unlike before (state() says why): no games now
    };

    enum class State {
        NotRead, // refresh() not called yet
        Missing, // no file by that name
        NotAFile, // a folder, pipe or device: never opened for reading
        Linked, // a symbolic link, or a file with other names: never read
        NotReadable, // no permission, or a read failed
        Read // read up to its end at the last refresh
    };

    // Pieces this large at most are in memory at once while reading.
    static constexpr qint64 chunkBytes = qint64(256) << 10;

    explicit RegisterFile(QString path);

    QString path() const { return filePath; }

    // Reads what was added since the last call, or the whole file again when
    // it shrank or was replaced. With `maxBytes` > 0 at most that many bytes
    // are read in this call (atEnd() then says whether more are waiting), so
    // that a huge file can be read a slice at a time without freezing a window.
    Change refresh(qint64 maxBytes = 0);

    // Everything up to the file's end has been read.
    bool atEnd() const { return readOffset >= knownSize; }

    // Off: games() holds only the games the last refresh() added, for a
    // reader that keeps them itself (a large register is then in memory once).
    void setKeepingGames(bool keep) { keepingGames = keep; }
    // The next refresh() reads the whole file again.
    void readAgain();

    State state() const { return currentState; }
    // All the games read, in the order of the file's lines (see setKeepingGames).
    const QList<GameRecord> &games() const { return allGames; }
    // Index in games() of the first game the last refresh() added.
    qsizetype appendedFrom() const { return firstNew; }

    qint64 skippedCount() const { return parser.skippedCount(); }
    qint64 skippedForNames() const { return parser.skippedForNames(); }
    const QList<SkippedLine> &skippedLines() const { return parser.skippedLines(); }

    // An Italian sentence for a register that is missing, not readable or
    // holds no game yet; empty when there are games to show.
    QString statusMessage() const;

private:
    void reset();
    void takeParsedGames();

    QString filePath;
    State currentState = State::NotRead;
    RegisterParser parser;
    QList<GameRecord> allGames;
    bool keepingGames = true;
    bool growing = false; // read again from its start, and not yet to its end
    qint64 gamesRead = 0; // since the last read from the start
    qsizetype firstNew = 0;
    qint64 readOffset = 0; // bytes of the file already fed to the parser
    qint64 knownSize = 0;
    qint64 modified = 0; // the file's times when knownSize was taken
    qint64 changed = 0;
    // What identifies the file read, to notice when another takes its place.
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray lastBytes; // the bytes just before readOffset
};

// The register the game writes for this `--cartella-record` (empty when not
// given): in the class folder given or set in mirabolo.conf, else in the
// user's own data folder for the game. Creates no folder.
QString defaultRegisterPath(const QString &commandLineFolder);

} // namespace mirabolo::classregister
