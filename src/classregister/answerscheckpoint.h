// The figures of an answers file read once, kept in the teacher's own cache
// folder with where the reading stopped, so that the next window or report
// reads only the lines the games added since: a school's answers take a
// second or more to read whole, a day's new lines a few milliseconds. A
// checkpoint is the exact state of the reading, so that going on from it
// gives the figures a reading from the start would; it is only ever a copy,
// and a missing, stale or damaged one just means reading the whole file.
#pragma once

#include "classregister/answerfigures.h"
#include "classregister/answersreader.h"
#include "classregister/classfigures.h"
#include "classregister/registerparser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace mirabolo::classregister {

class ClassList;

struct AnswersCheckpoint
{
    // What it is a reading of: the file, the days counted, and the class
    // list that told the pupils apart (classListDigest()).
    QString answersPath;
    DateSpan span;
    QByteArray listDigest;

    AnswersFile::Position position;
    AnswersReader::Progress progress;
    AnswerFigures figures;
    qint64 skippedCount = 0;
    QList<SkippedLine> skippedLines; // the first, at most RegisterParser::maxSkippedLines
};

// Tells class lists apart: the same for the same pupils and spellings.
QByteArray classListDigest(const ClassList &list);

// The checkpoint as bytes, with a checksum.
QByteArray encodeCheckpoint(const AnswersCheckpoint &checkpoint);
// None for anything but what encodeCheckpoint() wrote: another version,
// damaged or cut bytes, or figures that do not hold together.
std::optional<AnswersCheckpoint> decodeCheckpoint(QByteArrayView bytes);

// The checkpoints of the teacher's program, a file each, in a folder of her
// own (never a class folder: what is read back is trusted to be what was
// written). Only the last few are kept.
class CheckpointFolder
{
public:
    static constexpr int keptFiles = 8;
    // A file larger than this is not a checkpoint: it is not read.
    static constexpr qint64 maxBytes = qint64(64) << 20;

    explicit CheckpointFolder(QString path);

    QString path() const { return folder; }

    // The checkpoint of that reading, if one was saved and reads back whole.
    std::optional<AnswersCheckpoint> load(const QString &answersPath, const DateSpan &span,
                                          const QByteArray &listDigest) const;
    // In place of the one of the same reading; the oldest beyond keptFiles
    // are removed. False when it could not be written (nothing else depends
    // on it).
    bool save(const AnswersCheckpoint &checkpoint) const;

    // The file holding the checkpoint of that reading.
    QString fileFor(const QString &answersPath, const DateSpan &span, const QByteArray &listDigest) const;

private:
    QString folder;
};

} // namespace mirabolo::classregister
