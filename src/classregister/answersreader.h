// Reads the answers file (see registerformat.h) and hands over each answer as
// it is read, so that whoever listens keeps figures, never the lines: a
// school's four million answers would not fit in memory as lines. A line that
// cannot be read is skipped and counted, with its reason, never fatal; a last
// line without its line end is being written (or was cut by a power failure)
// and is not read.
#pragma once

#include "classregister/readonlyfile.h"
#include "classregister/registerformat.h"
#include "classregister/registerparser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace mirabolo::classregister {

class AnswersReader
{
public:
    // The answer's texts are valid only during the call.
    using AnswerVisitor = std::function<void(const AnswerRecord &)>;
    using SkipVisitor = std::function<void(const SkippedLine &)>;

    // `onStartOver` is told when the file is read again from its start, or
    // cannot be read any more, before any answer of the new reading: whoever
    // keeps figures drops them then.
    explicit AnswersReader(AnswerVisitor onAnswer, SkipVisitor onSkipped = {}, std::function<void()> onStartOver = {});

    // Reads the complete lines in `bytes`; the rest waits for the next feed.
    void feed(QByteArrayView bytes);

    // As new, for a file read again from its start; tells onStartOver.
    void reset();

    qint64 answerCount() const { return answers; }
    qint64 skippedCount() const { return skipped; }

    // How far reading has come, to go on from there another time.
    struct Progress
    {
        qint64 lines = 0;
        qint64 answers = 0;
        qint64 skipped = 0;
        friend bool operator==(const Progress &, const Progress &) = default;
    };
    // None while part of a line waits for its end.
    std::optional<Progress> progress() const;
    // Goes on after the lines of `from`, as if it had read them; onStartOver
    // is not told: whoever keeps figures has those of `from`.
    void resume(const Progress &from);

private:
    void takeLine(QByteArrayView line, bool tooLong);
    void skip(SkipReason reason);

    AnswerVisitor visitAnswer;
    SkipVisitor visitSkipped;
    std::function<void()> startOver;
    AnswerLineReader lineReader;
    AnswerRecord answer;
    LineSplitter splitter;
    qint64 answers = 0;
    qint64 skipped = 0;
};

// The answers file on disk, followed as it grows, like RegisterFile. Only
// reads; no timers and no threads.
class AnswersFile
{
public:
    enum class Change {
        None, // nothing new
        Appended, // the bytes added were fed to the reader (or, reading in slices, the next slice)
        Reloaded, // the reader was reset, then fed the file from its start (first read, shrunk or replaced file)
        Unavailable // it cannot be read now, unlike before (state() says why): the reader was reset
    };
    using State = FileState;

    // Pieces this large at most are in memory at once while reading.
    static constexpr qint64 chunkBytes = qint64(1) << 20;

    explicit AnswersFile(QString path);

    QString path() const { return filePath; }

    // Feeds `reader` what was added since the last call, or the whole file
    // again when it shrank or was replaced. With `maxBytes` > 0 at most that
    // many bytes are read in this call (atEnd() then says whether more wait).
    Change refresh(AnswersReader &reader, qint64 maxBytes = 0);

    // The next refresh() reads the file from its start, as a new one.
    void readAgain();

    // Where a reading up to the end of a whole line stands, to go on from
    // there another time.
    struct Position
    {
        FileIdentity identity;
        qint64 offset = 0;
        QByteArray lastBytes; // the bytes just before `offset`
    };
    // None unless the file was read up to its end (the reader must be at a
    // line's end too).
    std::optional<Position> position() const;
    // The next refresh() goes on from `from`, as the same file read that far,
    // and says Reloaded: the reader must hold what was read up to there. When
    // the file is another now, or was rewritten in place, the reader is reset
    // and the file read from its start, as on any refresh().
    void resumeAt(const Position &from);

    bool atEnd() const { return readOffset >= knownSize; }
    State state() const { return currentState; }

    // An Italian sentence for answers that are missing (a register from
    // before the game kept them) or cannot be read; empty when the file reads.
    QString statusMessage() const;

private:
    QString filePath;
    State currentState = State::NotRead;
    FileIdentity known;
    qint64 readOffset = 0;
    qint64 knownSize = 0;
    QByteArray lastBytes; // the bytes just before readOffset
    bool resumed = false; // from a Position: the next refresh() is a reading afresh
};

// The answers file that the game keeps beside `registerPath`.
QString answersPathBeside(const QString &registerPath);

} // namespace mirabolo::classregister
