// One row per pupil of the class figures, for a sortable table view.
#pragma once

#include <QAbstractTableModel>

namespace mirabolo::classregister {
class ClassFigures;
}

namespace mirabolo::registro {

class PupilTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, Games, Right, Wrong, Accuracy, BestGame, LastGame, Trend, Follow, ColumnCount };
    // Numbers, dates and flags sort by their value, not by their text.
    static constexpr int SortRole = Qt::UserRole;

    explicit PupilTableModel(const classregister::ClassFigures &figures, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Around building the figures again from scratch.
    void beginRebuild();
    void endRebuild();
    // The figures of pupil `row` changed, or the pupil is new.
    void pupilChanged(qsizetype row);

    // The texts of one cell, shared with the report.
    static QString cellText(const classregister::ClassFigures &figures, qsizetype row, int column);
    static QString columnTitle(int column);

private:
    const classregister::ClassFigures &shown;
    qsizetype shownRows = 0;
};

} // namespace mirabolo::registro
