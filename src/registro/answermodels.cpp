#include "registro/answermodels.h"

#include "registro/answertexts.h"
#include "registro/classanswers.h"

#include <QColor>

using namespace Qt::StringLiterals;
using mirabolo::classregister::AnswerTally;
using mirabolo::game::MistakeKind;

namespace mirabolo::registro {

namespace {

constexpr int unitCount = 6;
constexpr int kindRows = classregister::mistakeKindCount - 1; // all but None

MistakeKind kindOfRow(int row)
{
    return MistakeKind(row + 1);
}

// From a light red for none right, through yellow, to a light green for all
// right: light enough for black text on it.
QColor shareColour(double right)
{
    return QColor::fromHsvF(float(right / 3.0), 0.35f, 1.0f);
}

QVariant horizontalTitle(const QStringList &titles, int section, Qt::Orientation orientation, int role)
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return {};
}

} // namespace

AnswerTallyModel::AnswerTallyModel(const ClassAnswers &answers, QObject *parent)
    : QAbstractTableModel(parent)
    , answerSource(&answers)
{
    connect(&answers, &ClassAnswers::changed, this, [this] { refresh(); });
}

void AnswerTallyModel::setPupil(const QString &name)
{
    if (name == pupilName)
        return;
    pupilName = name;
    refresh();
}

const AnswerTally *AnswerTallyModel::tally() const
{
    return answerSource ? answerSource->tally(pupilName) : nullptr;
}

PairGridModel::PairGridModel(const ClassAnswers &answers, QObject *parent)
    : AnswerTallyModel(answers, parent)
{
}

int PairGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : unitCount;
}

int PairGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : unitCount;
}

QVariant PairGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() == index.column())
        return {};
    const int source = index.row() + 1;
    const int target = index.column() + 1;
    const AnswerTally *shown = tally();
    const classregister::PairTally pair = shown ? shown->pair(source, target) : classregister::PairTally{};
    switch (role) {
    case Qt::DisplayRole:
        return pairCellText(pair);
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return pairAccessibleText(source, target, pair);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return pair.accuracy() ? QVariant(shareColour(*pair.accuracy())) : QVariant();
    case Qt::ForegroundRole:
        return pair.accuracy() ? QVariant(QColor(Qt::black)) : QVariant();
    case SortRole:
        return pair.accuracy() ? QVariant(*pair.accuracy()) : QVariant();
    default:
        return {};
    }
}

QVariant PairGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0 || section >= unitCount)
        return {};
    return orientation == Qt::Vertical ? fromUnitText(section + 1) : toUnitText(section + 1);
}

Qt::ItemFlags PairGridModel::flags(const QModelIndex &index) const
{
    // No conversion from a unit into itself.
    if (index.row() == index.column())
        return Qt::NoItemFlags;
    return QAbstractTableModel::flags(index);
}

void PairGridModel::refresh()
{
    Q_EMIT dataChanged(index(0, 0), index(unitCount - 1, unitCount - 1));
}

MistakeKindsModel::MistakeKindsModel(const ClassAnswers &answers, QObject *parent)
    : AnswerTallyModel(answers, parent)
{
}

int MistakeKindsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kindRows;
}

int MistakeKindsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant MistakeKindsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const MistakeKind kind = kindOfRow(index.row());
    const AnswerTally *shown = tally();
    const qint64 mistakes = shown ? shown->mistakes(kind) : 0;
    const qint64 wrong = shown ? shown->wrong() : 0;
    if (role == Qt::ToolTipRole)
        return mistakeKindExplanation(kind);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role == SortRole && index.column() > 0)
        return mistakes;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != SortRole)
        return {};
    switch (index.column()) {
    case 0:
        return game::mistakeKindName(kind);
    case 1:
        return answerCountText(mistakes);
    default:
        return mistakeShareText(mistakes, wrong);
    }
}

QVariant MistakeKindsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return horizontalTitle({u"Tipo di errore"_s, u"Errori"_s, u"Quota"_s}, section, orientation, role);
}

void MistakeKindsModel::refresh()
{
    Q_EMIT dataChanged(index(0, 0), index(kindRows - 1, columnCount() - 1));
}

CommonAnswersModel::CommonAnswersModel(const ClassAnswers &answers, QObject *parent)
    : AnswerTallyModel(answers, parent)
{
    refresh();
}

int CommonAnswersModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(answersShown.size());
}

int CommonAnswersModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant CommonAnswersModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const classregister::CommonAnswer &answer = answersShown.at(index.row());
    if (role == Qt::ToolTipRole)
        return commonAnswerText(answer);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role == SortRole && index.column() == 2)
        return answer.count;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != SortRole)
        return {};
    switch (index.column()) {
    case 0:
        return exerciseText(answer.answer);
    case 1:
        return typedText(answer.answer);
    case 2:
        return timesText(answer);
    default:
        return game::mistakeKindName(answer.kind);
    }
}

QVariant CommonAnswersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return horizontalTitle({u"Esercizio"_s, u"Risposta"_s, u"Volte"_s, u"Tipo di errore"_s}, section, orientation,
                           role);
}

void CommonAnswersModel::refresh()
{
    const AnswerTally *shown = tally();
    replaceRows(answersShown, shown ? shown->common().mostCommon(shownAnswers) : QList<classregister::CommonAnswer>{});
}

ReviewModel::ReviewModel(const ClassAnswers &answers, QObject *parent)
    : AnswerTallyModel(answers, parent)
{
    refresh();
}

int ReviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(items.size());
}

int ReviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ReviewModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const classregister::ReviewItem &item = items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return reviewItemText(item);
    case Qt::ToolTipRole:
        return item.subject == classregister::ReviewItem::Subject::Kind ? mistakeKindExplanation(item.kind)
                                                                        : QVariant();
    default:
        return {};
    }
}

QVariant ReviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return horizontalTitle({u"Da ripassare"_s}, section, orientation, role);
}

void ReviewModel::refresh()
{
    const AnswerTally *shown = tally();
    replaceRows(items, shown ? shown->toReview() : QList<classregister::ReviewItem>{});
}

} // namespace mirabolo::registro
