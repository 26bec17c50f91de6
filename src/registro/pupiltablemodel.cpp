#include "registro/pupiltablemodel.h"

#include "classregister/classfigures.h"
#include "registro/texts.h"

#include <QColor>
#include <QLocale>

#include <limits>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

// An absent figure sorts below every real one.
constexpr double noValue = -std::numeric_limits<double>::infinity();

QVariant sortValue(const classregister::PupilFigures &pupil, int column)
{
    switch (column) {
    case PupilTableModel::Name:
        return pupil.name.toCaseFolded();
    case PupilTableModel::Games:
        return qint64(pupil.games.size());
    case PupilTableModel::Right:
        return pupil.right;
    case PupilTableModel::Wrong:
        return pupil.wrong;
    case PupilTableModel::Accuracy:
        return pupil.accuracy().value_or(noValue);
    case PupilTableModel::BestGame:
        return pupil.bestGame().right;
    case PupilTableModel::LastGame:
        return pupil.lastGame().when;
    case PupilTableModel::Trend:
        return pupil.trend().value_or(noValue);
    case PupilTableModel::Follow:
        return pupil.needsFollowing();
    default:
        return {};
    }
}

} // namespace

PupilTableModel::PupilTableModel(const classregister::ClassFigures &figures, QObject *parent)
    : QAbstractTableModel(parent)
    , shown(figures)
    , shownRows(figures.pupils().size())
{
}

int PupilTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(shownRows);
}

int PupilTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString PupilTableModel::columnTitle(int column)
{
    static const QString titles[ColumnCount] = {u"Nome"_s,           u"Partite"_s,    u"Esatte"_s,
                                                u"Errate"_s,         u"Precisione"_s, u"Miglior partita"_s,
                                                u"Ultima partita"_s, u"Andamento"_s,  u"Da seguire"_s};
    return column >= 0 && column < ColumnCount ? titles[column] : QString();
}

QString PupilTableModel::cellText(const classregister::ClassFigures &figures, qsizetype row, int column)
{
    const classregister::PupilFigures &pupil = figures.pupils().at(row);
    const QLocale locale;
    switch (column) {
    case Name:
        return pupil.name;
    case Games:
        return locale.toString(pupil.games.size());
    case Right:
        return locale.toString(pupil.right);
    case Wrong:
        return locale.toString(pupil.wrong);
    case Accuracy:
        return percentText(pupil.accuracy());
    case BestGame:
        return u"%1 esatte, %2"_s.arg(locale.toString(pupil.bestGame().right), dateText(pupil.bestGame().when.date()));
    case LastGame:
        return dateTimeText(pupil.lastGame().when);
    case Trend:
        return trendText(pupil.trend());
    case Follow:
        return pupil.needsFollowing() ? u"da seguire"_s : QString();
    default:
        return {};
    }
}

QVariant PupilTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return cellText(shown, index.row(), index.column());
    if (role == SortRole)
        return sortValue(shown.pupils().at(index.row()), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != Name && index.column() != Follow)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && index.column() == Follow)
        return QColor(Qt::darkRed);
    return {};
}

QVariant PupilTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void PupilTableModel::beginRebuild()
{
    beginResetModel();
    shownRows = 0;
}

void PupilTableModel::endRebuild()
{
    shownRows = shown.pupils().size();
    endResetModel();
}

void PupilTableModel::pupilChanged(qsizetype row)
{
    if (row < 0)
        return;
    if (row >= shownRows) {
        beginInsertRows({}, int(shownRows), int(row));
        shownRows = row + 1;
        endInsertRows();
        return;
    }
    Q_EMIT dataChanged(index(int(row), 0), index(int(row), ColumnCount - 1));
}

} // namespace mirabolo::registro
