#include "registro/classmodels.h"

#include "registro/classsession.h"
#include "registro/columns.h"

using mirabolo::classregister::ClassFigures;

namespace mirabolo::registro {

namespace {

template<typename Row>
QVariant cellData(const QList<Column<Row>> &columns, const QModelIndex &index, const Row &row, int role)
{
    const Column<Row> &column = columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return column.text(row);
    case PupilsModel::SortRole:
        return column.sortValue ? column.sortValue(row) : QVariant(column.text(row));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return column.ink.isValid() ? QVariant(column.ink) : QVariant();
    default:
        return {};
    }
}

template<typename Row>
QVariant headerText(const QList<Column<Row>> &columns, int section, Qt::Orientation orientation, int role)
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columns.size())
        return columns.at(section).title;
    return {};
}

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

PupilsModel::PupilsModel(const ClassSession &session, QObject *parent)
    : QAbstractTableModel(parent)
    , figures(session.figures())
    , shownRows(figures.pupils().size())
{
    connect(&session, &ClassSession::aboutToReset, this, &PupilsModel::beginResetModel);
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

int PupilsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(pupilColumns().size());
}

QVariant PupilsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return cellData(pupilColumns(), index, pupil(index.row()), role);
}

QVariant PupilsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return headerText(pupilColumns(), section, orientation, role);
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
    connect(&session, &ClassSession::aboutToReset, this, &ClassRankingModel::beginResetModel);
    connect(&session, &ClassSession::reset, this, [this] {
        rankAll();
        endResetModel();
    });
    connect(&session, &ClassSession::pupilChanged, this, &ClassRankingModel::rankAgain);
}

ClassRankingModel::ClassRankingModel(const ClassFigures &classFigures, QObject *parent)
    : QAbstractTableModel(parent)
    , figures(classFigures)
{
    rankAll();
}

int ClassRankingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(order.size());
}

int ClassRankingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rankingColumns().size());
}

QVariant ClassRankingModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return cellData(rankingColumns(), index, pupil(index.row()), role);
}

QVariant ClassRankingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return headerText(rankingColumns(), section, orientation, role);
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
    connect(&session, &ClassSession::aboutToReset, this, &PupilGamesModel::beginResetModel);
    connect(&session, &ClassSession::reset, this, [this] {
        pupilRow = rowOfKey(figures, key);
        shownGames = pupilRow < 0 ? 0 : figures.pupils().at(pupilRow).games.size();
        endResetModel();
    });
    connect(&session, &ClassSession::pupilChanged, this, &PupilGamesModel::pupilChanged);
    connect(&session, &ClassSession::gameInserted, this, &PupilGamesModel::gameInserted);
}

PupilGamesModel::PupilGamesModel(const ClassFigures &classFigures, QObject *parent)
    : QAbstractTableModel(parent)
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

int PupilGamesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(gameColumns().size());
}

QVariant PupilGamesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return cellData(gameColumns(), index, game(index.row()), role);
}

QVariant PupilGamesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return headerText(gameColumns(), section, orientation, role);
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
