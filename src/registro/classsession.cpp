#include "registro/classsession.h"

#include "registro/reportcontent.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using mirabolo::classregister::ClassFigures;

namespace mirabolo::registro {

ClassSession::ClassSession(const QString &path, classregister::Period period, Today today, QObject *parent)
    : QObject(parent)
    , clock(std::move(today))
    , shownPeriod(period)
    , classAnswers(new ClassAnswers(this))
{
    follow(path);
}

void ClassSession::follow(const QString &registerPath)
{
    delete live;
    delete liveAnswers;
    filePath = registerPath;
    if (!listGiven) {
        listPath = classregister::classListPath(source());
        readClassList();
    }
    live = new LiveRegister(filePath, sliceBytes, this);
    connect(live, &LiveRegister::reloaded, this, &ClassSession::registerReloaded);
    connect(live, &LiveRegister::appended, this, &ClassSession::gamesAppended);
    connect(live, &LiveRegister::settled, this, &ClassSession::registerSettled);
    live->setFollowing(following);
    classregister::AnswersReader reader(
        [this](const classregister::AnswerRecord &answer) { classAnswers->add(answer); },
        [this](const classregister::SkippedLine &line) { classAnswers->skipped(line); },
        [this] {
            classAnswers->startOver(span(), &list);
            checkpointOffset = 0;
        });
    liveAnswers = new LiveAnswers(classregister::answersPathBeside(filePath), std::move(reader), sliceBytes, this);
    liveAnswers->setResumer([this] { return resumeAnswers(); });
    connect(liveAnswers, &LiveAnswers::settled, this, &ClassSession::answersSettled);
    liveAnswers->setFollowing(following);
    readOnce = answersReadOnce = readyOnce = false;
}

void ClassSession::refresh()
{
    live->refresh();
    liveAnswers->refresh();
}

void ClassSession::readToEnd()
{
    live->readToEnd();
    liveAnswers->readToEnd();
}

// The figures of another period or class list: both files read again, since
// only the figures of what was shown were kept.
void ClassSession::readAgain()
{
    live->readAgain();
    liveAnswers->readAgain();
}

void ClassSession::answersSettled()
{
    classAnswers->settle(liveAnswers->file().statusMessage());
    answersReadOnce = true;
    keepCheckpoint();
    noteRead();
}

void ClassSession::setCheckpointFolder(const QString &path, qint64 leastNewBytes)
{
    checkpoints.emplace(path);
    checkpointNewBytes = leastNewBytes;
}

QString ClassSession::defaultCheckpointFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

std::optional<LiveAnswers::Resume> ClassSession::resumeAnswers()
{
    if (!checkpoints)
        return std::nullopt;
    std::optional<classregister::AnswersCheckpoint> kept =
        checkpoints->load(liveAnswers->file().path(), span(), classregister::classListDigest(list));
    if (!kept)
        return std::nullopt;
    classAnswers->resume(std::move(kept->figures), kept->skippedCount, std::move(kept->skippedLines));
    checkpointOffset = kept->position.offset;
    return LiveAnswers::Resume{kept->position, kept->progress};
}

void ClassSession::keepCheckpoint()
{
    const std::optional<classregister::AnswersFile::Position> position = liveAnswers->file().position();
    const std::optional<classregister::AnswersReader::Progress> progress = liveAnswers->reader().progress();
    if (!checkpoints || !position || !progress || position->offset - checkpointOffset < checkpointNewBytes)
        return;
    const classregister::AnswersCheckpoint checkpoint{liveAnswers->file().path(),
                                                      classAnswers->figures().span(),
                                                      classregister::classListDigest(list),
                                                      *position,
                                                      *progress,
                                                      classAnswers->figures(),
                                                      classAnswers->skippedCount(),
                                                      classAnswers->skippedLines()};
    if (checkpoints->save(checkpoint))
        checkpointOffset = position->offset;
}

void ClassSession::noteRead()
{
    if (readOnce && answersReadOnce && !std::exchange(readyOnce, true))
        Q_EMIT ready();
}

void ClassSession::openRegister(const QString &registerPath)
{
    follow(registerPath);
    refresh();
}

QString ClassSession::source() const
{
    const QFileInfo info(filePath);
    return info.fileName() == u"registro.csv"_s ? info.absolutePath() : info.absoluteFilePath();
}

void ClassSession::setClassListPath(const QString &path)
{
    listGiven = true;
    listPath = path;
    readClassList();
    readAgain();
}

void ClassSession::readClassList()
{
    classregister::ClassListFile read = classregister::readClassList(listPath);
    list = std::move(read.list);
    listError = read.error;
    listProblems = read.problems;
    Q_EMIT classListChanged();
}

QString ClassSession::className() const
{
    return list.className().isEmpty() ? source() : list.className();
}

bool ClassSession::saveClassList(const classregister::ClassList &classList, QString *error)
{
    if (!classregister::writeClassList(listPath, classList, error))
        return false;
    list = classList;
    listError.clear();
    listProblems.clear();
    Q_EMIT classListChanged();
    readAgain();
    return true;
}

void ClassSession::noteTyped(const QString &name)
{
    auto typed = typedNames.find(name);
    if (typed == typedNames.end()) {
        typed = typedNames.insert(name, 0);
        typedOrder << name;
    }
    ++*typed;
}

QStringList ClassSession::unlistedNames() const
{
    // Grouped as the figures group names; each shown as typed most.
    QHash<QString, qsizetype> byKey;
    QList<std::pair<QString, qint64>> names;
    for (const QString &typed : typedOrder) {
        if (list.find(typed) >= 0)
            continue;
        const QString key = ClassFigures::pupilKey(typed);
        const qint64 uses = typedNames.value(typed);
        const auto known = byKey.constFind(key);
        if (known == byKey.cend()) {
            byKey.insert(key, names.size());
            names.append({typed.trimmed(), uses});
        } else if (uses >= names.at(*known).second) { // on a tie the later, as the figures show it
            names[*known] = {typed.trimmed(), uses};
        }
    }
    QStringList shown;
    for (const auto &[name, uses] : names)
        shown << name;
    return shown;
}

void ClassSession::setPeriod(classregister::Period period)
{
    shownPeriod = period;
    readAgain();
}

void ClassSession::setRange(const classregister::DateSpan &chosen)
{
    range = chosen;
    setPeriod(classregister::Period::Range);
}

classregister::DateSpan ClassSession::span() const
{
    return shownPeriod == classregister::Period::Range ? range : classregister::periodSpan(shownPeriod, clock());
}

void ClassSession::setFollowing(bool on)
{
    following = on;
    live->setFollowing(on);
    liveAnswers->setFollowing(on);
}

void ClassSession::setSliceBytes(qint64 bytes)
{
    sliceBytes = bytes;
    follow(filePath);
}

// Read from its start: the figures counted afresh.
void ClassSession::registerReloaded()
{
    if (!std::exchange(rebuilding, true))
        Q_EMIT aboutToReset();
    classFigures = ClassFigures(span(), &list);
    typedNames.clear();
    typedOrder.clear();
    for (const classregister::GameRecord &game : live->file().games()) {
        noteTyped(game.name);
        classFigures.add(game);
    }
}

void ClassSession::gamesAppended(qsizetype first)
{
    const QList<classregister::GameRecord> &games = live->file().games();
    for (qsizetype i = first; i < games.size(); ++i) {
        noteTyped(games.at(i).name);
        qsizetype position = 0;
        const qsizetype row = classFigures.add(games.at(i), &position);
        // Still reading the register whole: told once, at its end.
        if (row < 0 || rebuilding)
            continue;
        Q_EMIT pupilChanged(row);
        Q_EMIT gameInserted(row, position);
    }
}

void ClassSession::registerSettled()
{
    if (std::exchange(rebuilding, false)) {
        classFigures.squeeze();
        Q_EMIT reset();
    }
    Q_EMIT settled();
    readOnce = true;
    noteRead();
}

ReportContent ClassSession::reportContent() const
{
    const classregister::RegisterFile &read = file();
    return {source(),
            shownPeriod,
            clock(),
            &classFigures,
            read.statusMessage(),
            read.skippedCount(),
            read.skippedLines(),
            read.skippedForNames(),
            list.className(),
            {},
            classAnswers};
}

} // namespace mirabolo::registro
