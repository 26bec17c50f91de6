#include "classregister/answerscheckpoint.h"

#include "classregister/classlist.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

constexpr QByteArrayView magic = "mirabolo: risposte contate\n";
constexpr quint32 formatVersion = 1;
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_4;

QByteArray digest(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

bool isUnit(qint8 unit)
{
    return unit >= 1 && unit <= 6;
}

} // namespace

// Writes and reads the figures' inner state as it is, so that counting goes on
// exactly where it stopped: which wrong answers are in each bounded table,
// their order among those counted as often (it decides which one makes room
// next) and what each took over.
struct FiguresCodec
{
    static void write(QDataStream &out, const CommonAnswers &common)
    {
        out << bool(common.pushedOut) << quint32(common.entries.size());
        for (const CommonAnswers::Entry &entry : common.entries) {
            const WrongAnswer &answer = entry.answer;
            out << answer.source << answer.target << answer.quantity << answer.typed << quint8(entry.kind)
                << entry.inherited << qint64(entry.rank) << common.byCount.at(entry.rank).count;
        }
    }

    static bool read(QDataStream &in, CommonAnswers &common)
    {
        quint32 size = 0;
        in >> common.pushedOut >> size;
        if (in.status() != QDataStream::Ok || size > quint32(common.room))
            return false;
        common.entries.resize(size);
        common.byCount.fill({-1, -1}, size);
        common.places.fill(-1, std::max<qsizetype>(8, qsizetype(qNextPowerOfTwo(quint32(2 * common.room - 1)))));
        for (qsizetype index = 0; index < qsizetype(size); ++index) {
            CommonAnswers::Entry &entry = common.entries[index];
            WrongAnswer &answer = entry.answer;
            quint8 kind = 0;
            qint64 rank = 0;
            qint64 count = 0;
            in >> answer.source >> answer.target >> answer.quantity >> answer.typed >> kind >> entry.inherited >>
                rank >> count;
            if (in.status() != QDataStream::Ok || !isUnit(answer.source) || !isUnit(answer.target) ||
                kind >= mistakeKindCount || rank < 0 || rank >= qint64(size) || count < 1 || entry.inherited < 0 ||
                entry.inherited >= count || common.byCount.at(rank).entry >= 0)
                return false;
            entry.kind = game::MistakeKind(kind);
            entry.rank = qsizetype(rank);
            entry.hash = qHash(answer, QHashSeed::globalSeed());
            common.byCount[rank] = {count, index};
            const qsizetype slot = common.slotOf(answer, entry.hash);
            if (common.places.at(slot) >= 0)
                return false; // the same answer twice
            common.places[slot] = qint32(index);
        }
        // The most counted first, as bump() keeps them.
        for (qsizetype rank = 1; rank < qsizetype(size); ++rank) {
            if (common.byCount.at(rank - 1).count < common.byCount.at(rank).count)
                return false;
        }
        return true;
    }

    static void write(QDataStream &out, const AnswerTally &tally)
    {
        out << tally.answerCount << tally.rightCount;
        for (const PairTally &pair : tally.pairs)
            out << pair.answers << pair.right;
        for (const qint64 mistakes : tally.kinds)
            out << mistakes;
        write(out, tally.commonAnswers);
    }

    static bool read(QDataStream &in, AnswerTally &tally)
    {
        in >> tally.answerCount >> tally.rightCount;
        qint64 pairAnswers = 0;
        for (PairTally &pair : tally.pairs) {
            in >> pair.answers >> pair.right;
            if (pair.right < 0 || pair.right > pair.answers)
                return false;
            pairAnswers += pair.answers;
        }
        for (qint64 &mistakes : tally.kinds) {
            in >> mistakes;
            if (mistakes < 0)
                return false;
        }
        return in.status() == QDataStream::Ok && pairAnswers == tally.answerCount && tally.rightCount >= 0 &&
            tally.rightCount <= tally.answerCount && read(in, tally.commonAnswers);
    }

    static void write(QDataStream &out, const AnswerFigures &figures)
    {
        write(out, figures.classTally);
        out << quint32(figures.pupilTallies.size());
        for (const AnswerTally &tally : figures.pupilTallies)
            write(out, tally);
        out << quint32(figures.pupilIndex.size());
        for (auto it = figures.pupilIndex.cbegin(); it != figures.pupilIndex.cend(); ++it)
            out << it.key() << qint64(it.value());
    }

    static bool read(QDataStream &in, AnswerFigures &figures)
    {
        if (!read(in, figures.classTally))
            return false;
        quint32 pupils = 0;
        in >> pupils;
        if (in.status() != QDataStream::Ok || pupils > quint32(AnswerFigures::maxPupils))
            return false;
        for (quint32 i = 0; i < pupils; ++i) {
            figures.pupilTallies.append(AnswerTally(AnswerFigures::pupilCommonAnswers));
            if (!read(in, figures.pupilTallies.last()))
                return false;
        }
        quint32 keys = 0;
        in >> keys;
        // Each pupil's key, and a listed pupil's spellings: never more than
        // the names a register reads.
        if (in.status() != QDataStream::Ok || keys > quint32(AnswerFigures::maxSpellings))
            return false;
        for (quint32 i = 0; i < keys; ++i) {
            QString key;
            qint64 index = 0;
            in >> key >> index;
            if (in.status() != QDataStream::Ok || index < 0 || index >= qint64(pupils))
                return false;
            figures.pupilIndex.insert(key, qsizetype(index));
        }
        return true;
    }
};

QByteArray classListDigest(const ClassList &list)
{
    return digest(list.text());
}

QByteArray encodeCheckpoint(const AnswersCheckpoint &checkpoint)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    const AnswersFile::Position &at = checkpoint.position;
    const AnswersReader::Progress &progress = checkpoint.progress;
    out << checkpoint.answersPath << checkpoint.span.first << checkpoint.span.last << checkpoint.listDigest
        << at.identity.device << at.identity.inode << at.identity.size << at.identity.modified << at.identity.changed
        << at.offset << at.lastBytes << progress.lines << progress.answers << progress.skipped
        << checkpoint.skippedCount << quint32(checkpoint.skippedLines.size());
    for (const SkippedLine &line : checkpoint.skippedLines)
        out << line.number << quint8(line.reason);
    FiguresCodec::write(out, checkpoint.figures);

    QByteArray bytes = magic.toByteArray();
    QDataStream head(&bytes, QIODevice::Append);
    head.setVersion(streamVersion);
    head << formatVersion << digest(payload) << payload;
    return bytes;
}

std::optional<AnswersCheckpoint> decodeCheckpoint(QByteArrayView bytes)
{
    if (!bytes.startsWith(magic))
        return std::nullopt;
    // Read where it lies: a school's checkpoint is a megabyte or more.
    const QByteArray framed = QByteArray::fromRawData(bytes.data() + magic.size(), bytes.size() - magic.size());
    QDataStream head(framed);
    head.setVersion(streamVersion);
    quint32 version = 0;
    QByteArray sum;
    QByteArray payload;
    head >> version >> sum;
    if (head.status() != QDataStream::Ok || version != formatVersion)
        return std::nullopt;
    head >> payload;
    if (head.status() != QDataStream::Ok || !head.atEnd() || digest(payload) != sum)
        return std::nullopt;

    QDataStream in(&payload, QIODevice::ReadOnly);
    in.setVersion(streamVersion);
    AnswersCheckpoint checkpoint;
    AnswersFile::Position &at = checkpoint.position;
    AnswersReader::Progress &progress = checkpoint.progress;
    quint32 skippedLines = 0;
    in >> checkpoint.answersPath >> checkpoint.span.first >> checkpoint.span.last >> checkpoint.listDigest >>
        at.identity.device >> at.identity.inode >> at.identity.size >> at.identity.modified >> at.identity.changed >>
        at.offset >> at.lastBytes >> progress.lines >> progress.answers >> progress.skipped >>
        checkpoint.skippedCount >> skippedLines;
    if (in.status() != QDataStream::Ok || at.offset < 0 || at.offset != at.identity.size ||
        at.lastBytes.size() > std::min<qint64>(at.offset, checkBytes) || progress.lines < 0 || progress.answers < 0 ||
        progress.skipped < 0 || progress.answers + progress.skipped > progress.lines ||
        checkpoint.skippedCount != progress.skipped || skippedLines > quint32(RegisterParser::maxSkippedLines) ||
        skippedLines > quint64(checkpoint.skippedCount))
        return std::nullopt;
    for (quint32 i = 0; i < skippedLines; ++i) {
        SkippedLine line;
        quint8 reason = 0;
        in >> line.number >> reason;
        if (in.status() != QDataStream::Ok || reason > quint8(SkipReason::BadSecondsTaken) || line.number < 1 ||
            line.number > progress.lines)
            return std::nullopt;
        line.reason = SkipReason(reason);
        checkpoint.skippedLines.append(line);
    }
    checkpoint.figures = AnswerFigures(checkpoint.span);
    if (!FiguresCodec::read(in, checkpoint.figures) || !in.atEnd())
        return std::nullopt;
    return checkpoint;
}

CheckpointFolder::CheckpointFolder(QString path)
    : folder(std::move(path))
{
}

QString CheckpointFolder::fileFor(const QString &answersPath, const DateSpan &span, const QByteArray &listDigest) const
{
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << QFileInfo(answersPath).absoluteFilePath() << span.first << span.last << listDigest;
    return QDir(folder).filePath(u"risposte-"_s + QString::fromLatin1(digest(key).toHex().left(24)) + u".conti"_s);
}

std::optional<AnswersCheckpoint> CheckpointFolder::load(const QString &answersPath, const DateSpan &span,
                                                        const QByteArray &listDigest) const
{
    if (folder.isEmpty())
        return std::nullopt;
    QFile file(fileFor(answersPath, span, listDigest));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return std::nullopt;
    std::optional<AnswersCheckpoint> read = decodeCheckpoint(file.read(maxBytes));
    if (!read || read->answersPath != QFileInfo(answersPath).absoluteFilePath() || read->span != span ||
        read->listDigest != listDigest)
        return std::nullopt;
    return read;
}

bool CheckpointFolder::save(const AnswersCheckpoint &checkpoint) const
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    // Pupils' names and their mistakes: the teacher's alone.
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AnswersCheckpoint stored = checkpoint;
    stored.answersPath = QFileInfo(checkpoint.answersPath).absoluteFilePath();
    QSaveFile file(fileFor(stored.answersPath, stored.span, stored.listDigest));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encodeCheckpoint(stored));
    if (!file.commit())
        return false;

    QFileInfoList saved = QDir(folder).entryInfoList({u"risposte-*.conti"_s}, QDir::Files, QDir::Time);
    for (qsizetype i = keptFiles; i < saved.size(); ++i)
        QFile::remove(saved.at(i).absoluteFilePath());
    return true;
}

} // namespace mirabolo::classregister
