#include "classregister/answersreader.h"

#include "records/recordstore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <future>
#include <system_error>
#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

// The bytes last read are read again at every refresh: when they changed, the
// file was rewritten in place.
constexpr qsizetype checkBytes = 64;

} // namespace

AnswersReader::AnswersReader(AnswerVisitor onAnswer, SkipVisitor onSkipped, std::function<void()> onStartOver)
    : visitAnswer(std::move(onAnswer))
    , visitSkipped(std::move(onSkipped))
    , startOver(std::move(onStartOver))
{
}

void AnswersReader::reset()
{
    pending = QByteArray();
    overlong = false;
    lines = answers = skipped = 0;
    if (startOver)
        startOver();
}

void AnswersReader::feed(QByteArrayView bytes)
{
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n) {
        if (pending.isEmpty() && !overlong && n - pos >= twoCoreBytes) {
            const qsizetype lastEnd = bytes.lastIndexOf('\n');
            if (lastEnd >= pos) {
                takeLines(bytes.sliced(pos, lastEnd + 1 - pos));
                pos = lastEnd + 1;
                continue;
            }
        }
        const void *found = std::memchr(bytes.data() + pos, '\n', std::size_t(n - pos));
        const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : -1;
        const QByteArrayView piece = bytes.sliced(pos, (lineEnd < 0 ? n : lineEnd) - pos);
        if (!overlong && pending.size() + piece.size() > maxLineBytes + 1) {
            overlong = true;
            pending = QByteArray();
        }
        if (lineEnd < 0) {
            if (!overlong)
                pending += piece;
            return;
        }
        ++lines;
        if (overlong) {
            overlong = false;
            skip(SkipReason::TooLong);
        } else if (pending.isEmpty()) {
            takeLine(piece);
        } else {
            pending += piece;
            takeLine(pending);
            pending.clear();
        }
        pos = lineEnd + 1;
    }
}

namespace {

// The next line of `whole` from `pos`, without its line end; `pos` moves past it.
QByteArrayView nextLine(QByteArrayView whole, qsizetype &pos)
{
    const void *found = std::memchr(whole.data() + pos, '\n', std::size_t(whole.size() - pos));
    const qsizetype end = found ? static_cast<const char *>(found) - whole.data() : whole.size();
    const QByteArrayView line = whole.sliced(pos, end - pos);
    pos = end + 1;
    return line;
}

QByteArrayView withoutReturns(QByteArrayView line)
{
    while (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

void AnswersReader::takeLines(QByteArrayView whole)
{
    // A third here, where the answers are also handed over, the rest on the
    // other core: the two take about as long.
    const void *found =
        std::memchr(whole.data() + whole.size() / 3, '\n', std::size_t(whole.size() - whole.size() / 3));
    const qsizetype split = found ? static_cast<const char *>(found) - whole.data() + 1 : whole.size();
    if (split >= whole.size()) {
        takeLinesHere(whole);
        return;
    }
    std::future<Apart> later;
    try {
        later = std::async(std::launch::async, &AnswersReader::readApart, whole.sliced(split), std::ref(apartReader));
    } catch (const std::system_error &) {
        takeLinesHere(whole); // no thread to be had: all of it here
        return;
    }
    takeLinesHere(whole.first(split));
    const Apart apart = later.get();
    const qint64 before = lines;
    for (const ReadApart &read : apart.read) {
        lines = before + read.line + 1;
        if (!read.isAnswer) {
            skip(read.reason);
        } else {
            ++answers;
            if (visitAnswer)
                visitAnswer(read.answer);
        }
    }
    lines = before + apart.lines;
}

void AnswersReader::takeLinesHere(QByteArrayView whole)
{
    for (qsizetype pos = 0; pos < whole.size();) {
        const QByteArrayView line = nextLine(whole, pos);
        ++lines;
        if (line.size() > maxLineBytes + 1)
            skip(SkipReason::TooLong);
        else
            takeLine(line);
    }
}

// The same as takeLinesHere(), kept for later: nothing of the reader's but
// `reader` is touched.
AnswersReader::Apart AnswersReader::readApart(QByteArrayView whole, AnswerLineReader &reader)
{
    Apart apart;
    apart.read.reserve(std::size_t(whole.size() / 64));
    ReadApart read;
    for (qsizetype pos = 0; pos < whole.size(); ++apart.lines) {
        const QByteArrayView line = nextLine(whole, pos);
        read.line = apart.lines;
        if (line.size() > maxLineBytes + 1) {
            read.isAnswer = false;
            read.reason = SkipReason::TooLong;
        } else {
            const LineKind kind = reader.read(withoutReturns(line), read.answer, &read.reason);
            if (kind == LineKind::Other)
                continue;
            read.isAnswer = kind == LineKind::Game;
        }
        apart.read.push_back(read);
    }
    return apart;
}

void AnswersReader::takeLine(QByteArrayView line)
{
    line = withoutReturns(line);
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
        visitSkipped({lines, reason});
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
        return Change::Unavailable;
    }

    // Another file in its place, a shorter one, or the same rewritten in place.
    bool reload = currentState != State::Read || identity.device != known.device || identity.inode != known.inode ||
        identity.size < readOffset ||
        (identity.size == known.size && (identity.modified != known.modified || identity.changed != known.changed));
    if (!reload && !lastBytes.isEmpty()) {
        reload = !file.seek(readOffset - lastBytes.size()) || file.read(lastBytes.size()) != lastBytes;
    }
    if (reload) {
        reader.reset();
        readOffset = 0;
        lastBytes.clear();
    }
    currentState = State::Read;
    known = identity;
    knownSize = identity.size;
    if (!reload && readOffset == knownSize)
        return Change::None;

    const qint64 end = maxBytes > 0 ? std::min(knownSize, readOffset + maxBytes) : knownSize;
    QByteArray buffer;
    bool failed = !file.seek(readOffset);
    while (!failed && readOffset < end) {
        buffer.resize(std::min(chunkBytes, end - readOffset));
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got <= 0) {
            // Cut meanwhile: the next refresh sees the new size.
            failed = got < 0;
            knownSize = readOffset;
            break;
        }
        const QByteArrayView piece(buffer.constData(), got);
        reader.feed(piece);
        lastBytes.append(piece.last(std::min<qint64>(got, checkBytes)));
        lastBytes = lastBytes.right(checkBytes);
        readOffset += got;
    }
    if (failed) {
        reader.reset();
        currentState = State::NotReadable;
        readOffset = knownSize = 0;
        lastBytes.clear();
        return Change::Unavailable;
    }
    return reload ? Change::Reloaded : Change::Appended;
}

void AnswersFile::readAgain()
{
    currentState = State::NotRead;
    readOffset = knownSize = 0;
    lastBytes.clear();
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
