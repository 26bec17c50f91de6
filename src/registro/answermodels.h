// Item models over the answers' figures of the class, or of one pupil: the
// grid of conversions, the kinds of mistake, the wrong answers given most
// often and what to go over. Tables show them; the texts are the report's.
#pragma once

#include "classregister/answerfigures.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

namespace mirabolo::registro {

class ClassAnswers;

// The figures of the class, or of the pupil set, as they change.
class AnswerTallyModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Numbers sort by their value, not by their text.
    static constexpr int SortRole = Qt::UserRole;

    // Empty for the whole class. A pupil with no answers in the period
    // shows nothing.
    void setPupil(const QString &name);
    QString pupil() const { return pupilName; }
    // Null when there is nothing to show.
    const classregister::AnswerTally *tally() const;

protected:
    AnswerTallyModel(const ClassAnswers &answers, QObject *parent);

    // The figures were counted afresh or grew: the rows follow them.
    virtual void refresh() = 0;
    // The rows shown become `fresh`, views told of rows gone or come before
    // they read them.
    template<typename Row>
    void replaceRows(QList<Row> &shown, QList<Row> fresh)
    {
        const int before = int(shown.size());
        const int after = int(fresh.size());
        if (after < before) {
            beginRemoveRows({}, after, before - 1);
            shown.resize(after);
            endRemoveRows();
        } else if (after > before) {
            beginInsertRows({}, before, after - 1);
            shown = fresh;
            endInsertRows();
        }
        shown = std::move(fresh);
        if (after > 0)
            Q_EMIT dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
    }

private:
    QPointer<const ClassAnswers> answerSource;
    QString pupilName;
};

// From-unit by row, to-unit by column, ml to hl: "85% · 40" in each cell,
// coloured by the share right, and said in words to a screen reader.
class PairGridModel : public AnswerTallyModel
{
    Q_OBJECT

public:
    explicit PairGridModel(const ClassAnswers &answers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void refresh() override;
};

// One row per kind of mistake: "Tipo di errore", "Errori", "Quota" (of the
// wrong answers).
class MistakeKindsModel : public AnswerTallyModel
{
    Q_OBJECT

public:
    explicit MistakeKindsModel(const ClassAnswers &answers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refresh() override;
};

// The wrong answers given most often: "Esercizio", "Risposta", "Volte",
// "Tipo di errore".
class CommonAnswersModel : public AnswerTallyModel
{
    Q_OBJECT

public:
    static constexpr int shownAnswers = 10;

    explicit CommonAnswersModel(const ClassAnswers &answers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refresh() override;

    QList<classregister::CommonAnswer> answersShown;
};

// "Da ripassare": a line for each kind and conversion to go over.
class ReviewModel : public AnswerTallyModel
{
    Q_OBJECT

public:
    explicit ReviewModel(const ClassAnswers &answers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refresh() override;

    QList<classregister::ReviewItem> items;
};

} // namespace mirabolo::registro
