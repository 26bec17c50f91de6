#include "registro/classsession.h"

#include "registro/reportcontent.h"

#include <QFileInfo>

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
    filePath = registerPath;
    live = new LiveRegister(filePath, sliceBytes, this);
    connect(live, &LiveRegister::reloaded, this, &ClassSession::registerReloaded);
    connect(live, &LiveRegister::appended, this, &ClassSession::gamesAppended);
    connect(live, &LiveRegister::settled, this, &ClassSession::registerSettled);
    live->setFollowing(following);
    readOnce = false;
}

void ClassSession::openRegister(const QString &registerPath)
{
    follow(registerPath);
    live->refresh();
}

QString ClassSession::source() const
{
    const QFileInfo info(filePath);
    return info.fileName() == u"registro.csv"_s ? info.absolutePath() : info.absoluteFilePath();
}

void ClassSession::setPeriod(classregister::Period period)
{
    shownPeriod = period;
    live->readAgain();
}

void ClassSession::setFollowing(bool on)
{
    following = on;
    live->setFollowing(on);
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
    classFigures = ClassFigures(classregister::periodSpan(shownPeriod, clock()));
    for (const classregister::GameRecord &game : live->file().games())
        classFigures.add(game);
}

void ClassSession::gamesAppended(qsizetype first)
{
    const QList<classregister::GameRecord> &games = live->file().games();
    for (qsizetype i = first; i < games.size(); ++i) {
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
    if (!std::exchange(readOnce, true))
        Q_EMIT ready();
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
            classAnswers};
}

} // namespace mirabolo::registro
