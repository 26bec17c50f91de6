// Item models over the class: its pupils, its ranking by accuracy, and the
// games of one pupil. Tables and charts are views of them, so that a table
// and the chart beside it cannot disagree. Over a session they follow it
// game by game; over bare figures (the report's) they show them as they are.
#pragma once

#include "classregister/classfigures.h"

#include <QAbstractTableModel>

namespace mirabolo::registro {

class ClassSession;

// One row per pupil, in the order each first played.
class PupilsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Numbers, dates and flags sort by their value, not by their text.
    static constexpr int SortRole = Qt::UserRole;

    explicit PupilsModel(const ClassSession &session, QObject *parent = nullptr);

    const classregister::PupilFigures &pupil(int row) const { return figures.pupils().at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void pupilChanged(qsizetype row);

    const classregister::ClassFigures &figures;
    qsizetype shownRows = 0;
};

// The pupils with answers, the most accurate first; on a tie by name.
class ClassRankingModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ClassRankingModel(const ClassSession &session, QObject *parent = nullptr);
    explicit ClassRankingModel(const classregister::ClassFigures &figures, QObject *parent = nullptr);

    const classregister::PupilFigures &pupil(int row) const { return figures.pupils().at(order.at(row)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void rankAll();
    // One pupil's figures changed: it takes its new place, the others keep theirs.
    void rankAgain(qsizetype pupil);
    bool ranksBefore(qsizetype a, qsizetype b) const;

    const classregister::ClassFigures &figures;
    QList<qsizetype> order; // rows of figures.pupils()
};

// The games of one pupil, in time order.
class PupilGamesModel : public QAbstractTableModel
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
    const classregister::GameRecord &game(int row) const
    {
        return pupil()->games.at(arriving >= 0 && row >= arriving ? row + 1 : row);
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

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
