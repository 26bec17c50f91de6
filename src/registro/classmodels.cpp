#include "registro/classmodels.h"

#include "registro/classsession.h"

#include <QColor>
#include <QFont>

using mirabolo::classregister::ClassFigures;

namespace mirabolo::registro {

namespace {

qsizetype rowOfKey(const ClassFigures &figures, const QString &key)
{
    if (key.isEmpty())
        return -1;
    const QList<classregister::PupilFigures> &pupils = figures.pupils();
    for (qsizetype row = 0; row < pupils.size(); ++row)
        if (ClassFigures::pupilKey(pupils.at(row).name) == key)
            return row;
    return -1;
}

} // namespace

QVariant followStyle(const classregister::PupilFigures &pupil, int role)
{
    if ((role != Qt::FontRole && role != Qt::BackgroundRole) || !pupil.needsFollowing())
        return {};
    if (role == Qt::BackgroundRole)
        return QColor(0xfd, 0xe4, 0xe4);
    QFont bold;
    bold.setBold(true);
    return bold;
}

QVariant PupilsModel::data(const QModelIndex &index, int role) const
{
    const QVariant style =
        checkIndex(index, CheckIndexOption::IndexIsValid) ? followStyle(record(index.row()), role) : QVariant();
    return style.isValid() ? style : ColumnsModel::data(index, role);
}

QVariant ClassRankingModel::data(const QModelIndex &index, int role) const
{
    const QVariant style =
        checkIndex(index, CheckIndexOption::IndexIsValid) ? followStyle(record(index.row()), role) : QVariant();
    return style.isValid() ? style : ColumnsModel::data(index, role);
}

PupilsModel::PupilsModel(const ClassSession &session, QObject *parent)
    : ColumnsModel(pupilColumns(), parent)
    , figures(session.figures())
    , shownRows(figures.pupils().size())
{
    connect(&session, &ClassSession::aboutToReset, this, [this] {
        beginResetModel();
        shownRows = 0;
    });
    connect(&session, &ClassSession::reset, this, [this] {
        shownRows = figures.pupils().size();
        endResetModel();
    });
    connect(&session, &ClassSession::pupilChanged, this, &PupilsModel::pupilChanged);
}

int PupilsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(shownRows);
}

void PupilsModel::pupilChanged(qsizetype row)
{
    if (row >= shownRows) {
        beginInsertRows({}, int(shownRows), int(row));
        shownRows = row + 1;
        endInsertRows();
        return;
    }
    Q_EMIT dataChanged(index(int(row), 0), index(int(row), columnCount() - 1));
}

ClassRankingModel::ClassRankingModel(const ClassSession &session, QObject *parent)
    : ClassRankingModel(session.figures(), parent)
{
    connect(&session, &ClassSession::aboutToReset, this, [this] {
        beginResetModel();
        order.clear();
    });
    connect(&session, &ClassSession::reset, this, [this] {
        rankAll();
        endResetModel();
    });
    connect(&session, &ClassSession::pupilChanged, this, &ClassRankingModel::rankAgain);
}

ClassRankingModel::ClassRankingModel(const ClassFigures &classFigures, QObject *parent)
    : ColumnsModel(rankingColumns(), parent)
    , figures(classFigures)
{
    rankAll();
}

int ClassRankingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(order.size());
}

bool ClassRankingModel::ranksBefore(qsizetype a, qsizetype b) const
{
    const classregister::PupilFigures &first = figures.pupils().at(a);
    const classregister::PupilFigures &second = figures.pupils().at(b);
    const double left = *first.accuracy();
    const double right = *second.accuracy();
    if (left != right)
        return left > right;
    if (const int names = first.name.localeAwareCompare(second.name))
        return names < 0;
    return a < b;
}

void ClassRankingModel::rankAll()
{
    order.clear();
    const QList<classregister::PupilFigures> &pupils = figures.pupils();
    for (qsizetype row = 0; row < pupils.size(); ++row)
        if (pupils.at(row).accuracy())
            order.append(row);
    std::sort(order.begin(), order.end(), [this](qsizetype a, qsizetype b) { return ranksBefore(a, b); });
}

void ClassRankingModel::rankAgain(qsizetype pupil)
{
    const qsizetype from = order.indexOf(pupil);
    if (!figures.pupils().at(pupil).accuracy()) {
        if (from >= 0) {
            beginRemoveRows({}, int(from), int(from));
            order.removeAt(from);
            endRemoveRows();
        }
        return;
    }
    // Its place among the others, which are still in order.
    const auto other = [&](qsizetype at) { return order.at(from >= 0 && at >= from ? at + 1 : at); };
    qsizetype low = 0;
    qsizetype high = order.size() - (from >= 0 ? 1 : 0);
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (ranksBefore(other(middle), pupil))
            low = middle + 1;
        else
            high = middle;
    }
    const qsizetype to = low;
    if (from < 0) {
        beginInsertRows({}, int(to), int(to));
        order.insert(to, pupil);
        endInsertRows();
        return;
    }
    if (to != from) {
        beginMoveRows({}, int(from), int(from), {}, int(to > from ? to + 1 : to));
        order.move(from, to);
        endMoveRows();
    }
    Q_EMIT dataChanged(index(int(to), 0), index(int(to), columnCount() - 1));
}

PupilGamesModel::PupilGamesModel(const ClassSession &session, QObject *parent)
    : PupilGamesModel(session.figures(), parent)
{
    connect(&session, &ClassSession::aboutToReset, this, [this] {
        beginResetModel();
        pupilRow = -1;
        shownGames = 0;
    });
    connect(&session, &ClassSession::reset, this, [this] {
        pupilRow = rowOfKey(figures, key);
        shownGames = pupilRow < 0 ? 0 : figures.pupils().at(pupilRow).games.size();
        endResetModel();
    });
    connect(&session, &ClassSession::pupilChanged, this, &PupilGamesModel::pupilChanged);
    connect(&session, &ClassSession::gameInserted, this, &PupilGamesModel::gameInserted);
}

PupilGamesModel::PupilGamesModel(const ClassFigures &classFigures, QObject *parent)
    : ColumnsModel(gameColumns(), parent)
    , figures(classFigures)
{
}

void PupilGamesModel::setPupil(const QString &name)
{
    key = name.isEmpty() ? QString() : ClassFigures::pupilKey(name);
    show(rowOfKey(figures, key));
}

void PupilGamesModel::setPupilRow(qsizetype row)
{
    key = ClassFigures::pupilKey(figures.pupils().at(row).name);
    show(row);
}

void PupilGamesModel::show(qsizetype row)
{
    beginResetModel();
    pupilRow = row;
    shownGames = row < 0 ? 0 : figures.pupils().at(row).games.size();
    endResetModel();
}

const classregister::PupilFigures *PupilGamesModel::pupil() const
{
    return pupilRow < 0 ? nullptr : &figures.pupils().at(pupilRow);
}

int PupilGamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(shownGames);
}

// The pupil chosen before has games again: a new pupil in the period.
void PupilGamesModel::pupilChanged(qsizetype row)
{
    if (pupilRow < 0 && !key.isEmpty() && ClassFigures::pupilKey(figures.pupils().at(row).name) == key)
        show(row);
}

void PupilGamesModel::gameInserted(qsizetype row, qsizetype position)
{
    if (row != pupilRow || shownGames == figures.pupils().at(row).games.size())
        return;
    arriving = position;
    beginInsertRows({}, int(position), int(position));
    arriving = -1;
    ++shownGames;
    endInsertRows();
}

} // namespace mirabolo::registro
