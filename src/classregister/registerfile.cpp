#include "classregister/registerfile.h"

#include "records/recordstore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

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
    FileIdentity identity;
    const State opened = openForReading(filePath, file, identity);
    if (opened != State::Read) {
        const bool news = opened != currentState || readOffset > 0;
        reset();
        currentState = opened;
        return news ? Change::Unavailable : Change::None;
    }

    bool reload = currentState != State::Read ||
        readIsStale(file, identity, {device, inode, knownSize, modified, changed}, knownSize, readOffset, lastBytes);
    // A last line read without its line end that goes on: it must be read
    // again whole.
    if (!reload && parser.finishedMidLine() && identity.size > readOffset) {
        QByteArray check;
        reload = !readAt(file, readOffset, 1, check) || (check != "\r" && check != "\n");
    }
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
    const PiecesRead read = readPieces(file, readOffset, end, chunkBytes, lastBytes, [this](QByteArrayView piece) {
        parser.feed(piece);
        takeParsedGames();
    });
    readOffset = read.offset;
    // Shorter than when it was opened: cut meanwhile. The next refresh sees
    // the new size and reads it again.
    if (read.cut)
        knownSize = readOffset;
    if (read.failed) {
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
