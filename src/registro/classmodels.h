// Item models over the class: its pupils, its ranking by accuracy, and the
// games of one pupil. Tables and charts are views of them, so that a table
// and the chart beside it cannot disagree. Over a session they follow it
// game by game; over bare figures (the report's) they show them as they are.
#pragma once

#include "classregister/classfigures.h"
#include "registro/columns.h"

#include <QAbstractTableModel>

namespace mirabolo::registro {

class ClassSession;

// A table of records of one kind, its columns as declared in columns.h.
template<typename Row>
class ColumnsModel : public QAbstractTableModel
{
public:
    // Numbers, dates and flags sort by their value, not by their text.
    static constexpr int SortRole = Qt::UserRole;

    virtual const Row &record(int row) const = 0;

    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(columns.size());
    }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const Column<Row> &column = columns.at(index.column());
        const Row &row = record(index.row());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return column.text(row);
        case SortRole:
            return column.sortValue ? column.sortValue(row) : QVariant(column.text(row));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            return column.ink.isValid() ? QVariant(column.ink) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columns.size())
            return columns.at(section).title;
        return {};
    }

protected:
    ColumnsModel(const QList<Column<Row>> &declared, QObject *parent)
        : QAbstractTableModel(parent)
        , columns(declared)
    {
    }

private:
    const QList<Column<Row>> &columns;
};

// A pupil "da seguire" stands out on every row that shows them: in bold on
// a tinted ground, besides the words in the row. None for other roles.
QVariant followStyle(const classregister::PupilFigures &pupil, int role);

// One row per pupil: those on the class list first, in its order, then the
// others in the order each first played.
class PupilsModel : public ColumnsModel<classregister::PupilFigures>
{
    Q_OBJECT

public:
    explicit PupilsModel(const ClassSession &session, QObject *parent = nullptr);

    const classregister::PupilFigures &record(int row) const override { return figures.pupils().at(row); }
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void pupilChanged(qsizetype row);

    const classregister::ClassFigures &figures;
    qsizetype shownRows = 0;
};

// The pupils with answers, the most accurate first; on a tie by name.
class ClassRankingModel : public ColumnsModel<classregister::PupilFigures>
{
    Q_OBJECT

public:
    explicit ClassRankingModel(const ClassSession &session, QObject *parent = nullptr);
    explicit ClassRankingModel(const classregister::ClassFigures &figures, QObject *parent = nullptr);

    const classregister::PupilFigures &record(int row) const override { return figures.pupils().at(order.at(row)); }
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The class's rule for "da seguire", which the chart draws as a line.
    classregister::FollowRule rule() const { return figures.rule(); }

private:
    void rankAll();
    // One pupil's figures changed: it takes its new place, the others keep theirs.
    void rankAgain(qsizetype pupil);
    bool ranksBefore(qsizetype a, qsizetype b) const;

    const classregister::ClassFigures &figures;
    QList<qsizetype> order; // rows of figures.pupils()
};

// The games of one pupil, in time order.
class PupilGamesModel : public ColumnsModel<classregister::GameRecord>
{
    Q_OBJECT

public:
    explicit PupilGamesModel(const ClassSession &session, QObject *parent = nullptr);
    explicit PupilGamesModel(const classregister::ClassFigures &figures, QObject *parent = nullptr);

    // The pupil of that name as grouped, also across periods and registers:
    // while the period holds no game of theirs the model is empty.
    void setPupil(const QString &name);
    void setPupilRow(qsizetype row);
    // Null while the period holds no game of the pupil.
    const classregister::PupilFigures *pupil() const;
    const classregister::GameRecord &record(int row) const override
    {
        return pupil()->games.at(arriving >= 0 && row >= arriving ? row + 1 : row);
    }
    int rowCount(const QModelIndex &parent = {}) const override;

private:
    void show(qsizetype row);
    void pupilChanged(qsizetype row);
    void gameInserted(qsizetype row, qsizetype position);

    const classregister::ClassFigures &figures;
    QString key; // classregister::ClassFigures::pupilKey()
    qsizetype pupilRow = -1;
    qsizetype shownGames = 0;
    // While views learn of a new game, the game already in the figures at
    // this place is not among the rows yet.
    qsizetype arriving = -1;
};

} // namespace mirabolo::registro
