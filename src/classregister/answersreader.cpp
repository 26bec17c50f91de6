#include "classregister/answersreader.h"

#include "records/recordstore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

AnswersReader::AnswersReader(AnswerVisitor onAnswer, SkipVisitor onSkipped, std::function<void()> onStartOver)
    : visitAnswer(std::move(onAnswer))
    , visitSkipped(std::move(onSkipped))
    , startOver(std::move(onStartOver))
{
}

void AnswersReader::reset()
{
    splitter.clear();
    answers = skipped = 0;
    if (startOver)
        startOver();
}

std::optional<AnswersReader::Progress> AnswersReader::progress() const
{
    if (splitter.midLine())
        return std::nullopt;
    return Progress{splitter.lineCount(), answers, skipped};
}

void AnswersReader::resume(const Progress &from)
{
    splitter.resumeAfter(from.lines);
    answers = from.answers;
    skipped = from.skipped;
}

void AnswersReader::feed(QByteArrayView bytes)
{
    splitter.feed(bytes, [this](QByteArrayView line, bool tooLong) { takeLine(line, tooLong); });
}

void AnswersReader::takeLine(QByteArrayView line, bool tooLong)
{
    if (tooLong) {
        skip(SkipReason::TooLong);
        return;
    }
    while (line.endsWith('\r'))
        line.chop(1);
    SkipReason reason = SkipReason::BadQuotes;
    switch (lineReader.read(line, answer, &reason)) {
    case LineKind::Other:
        return;
    case LineKind::Unreadable:
        skip(reason);
        return;
    case LineKind::Game:
        ++answers;
        if (visitAnswer)
            visitAnswer(answer);
        return;
    }
}

void AnswersReader::skip(SkipReason reason)
{
    ++skipped;
    if (visitSkipped)
        visitSkipped({splitter.lineCount(), reason});
}

AnswersFile::AnswersFile(QString path)
    : filePath(std::move(path))
{
}

AnswersFile::Change AnswersFile::refresh(AnswersReader &reader, qint64 maxBytes)
{
    QFile file;
    FileIdentity identity;
    const State opened = openForReading(filePath, file, identity);
    if (opened != State::Read) {
        if (opened == currentState && readOffset == 0)
            return Change::None;
        reader.reset();
        currentState = opened;
        readOffset = knownSize = 0;
        lastBytes.clear();
        resumed = false;
        return Change::Unavailable;
    }

    const bool reload =
        currentState != State::Read || readIsStale(file, identity, known, known.size, readOffset, lastBytes);
    if (reload) {
        reader.reset();
        readOffset = 0;
        lastBytes.clear();
    }
    const bool afresh = std::exchange(resumed, false) || reload;
    currentState = State::Read;
    known = identity;
    knownSize = identity.size;
    if (!reload && readOffset == knownSize)
        return afresh ? Change::Reloaded : Change::None;

    const qint64 end = maxBytes > 0 ? std::min(knownSize, readOffset + maxBytes) : knownSize;
    const PiecesRead read = readPieces(file, readOffset, end, chunkBytes, lastBytes,
                                       [&reader](QByteArrayView piece) { reader.feed(piece); });
    readOffset = read.offset;
    // Cut meanwhile: the next refresh sees the new size.
    if (read.cut)
        knownSize = readOffset;
    if (read.failed) {
        reader.reset();
        currentState = State::NotReadable;
        readOffset = knownSize = 0;
        lastBytes.clear();
        resumed = false;
        return Change::Unavailable;
    }
    return afresh ? Change::Reloaded : Change::Appended;
}

void AnswersFile::readAgain()
{
    currentState = State::NotRead;
    readOffset = knownSize = 0;
    lastBytes.clear();
    resumed = false;
}

std::optional<AnswersFile::Position> AnswersFile::position() const
{
    if (currentState != State::Read || readOffset != knownSize)
        return std::nullopt;
    return Position{known, readOffset, lastBytes};
}

void AnswersFile::resumeAt(const Position &from)
{
    currentState = State::Read;
    known = from.identity;
    readOffset = knownSize = from.offset;
    lastBytes = from.lastBytes;
    resumed = true;
}

QString AnswersFile::statusMessage() const
{
    const QString shown = QDir::toNativeSeparators(filePath);
    switch (currentState) {
    case State::NotRead:
    case State::Read:
        return {};
    case State::Missing:
        return u"Non ci sono ancora risposte: il gioco le scrive in «%1» a ogni esercizio, dalle partite giocate "
               u"con questa versione in poi."_s.arg(shown);
    case State::NotAFile:
        return u"«%1» non è un file: le risposte non si possono leggere."_s.arg(shown);
    case State::Linked:
        return u"«%1» è un collegamento a un altro file: per sicurezza le risposte non vengono lette."_s.arg(shown);
    case State::NotReadable:
        return u"Non riesco a leggere le risposte «%1»: controlla di avere il permesso di leggerle."_s.arg(shown);
    }
    return {};
}

QString answersPathBeside(const QString &registerPath)
{
    return QFileInfo(registerPath).dir().filePath(QString::fromUtf16(records::answersFileName));
}

} // namespace mirabolo::classregister
