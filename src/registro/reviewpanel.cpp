#include "registro/reviewpanel.h"

#include "registro/answermodels.h"
#include "registro/answertexts.h"
#include "registro/classanswers.h"
#include "registro/reportcontent.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

// Names and typed answers come from files pupils write: shown as they are.
QLabel *plainLabel(const QString &text = {})
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// A table a line of text high per row, as the window's others, `rows` rows
// high: the figures are few, and a screen 768 pixels high has no room to
// spare around them.
QTableView *tableView(QAbstractItemModel *model, const QString &name, int rows)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setTabKeyNavigation(false);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int header = view->horizontalHeader()->sizeHint().height();
    view->setFixedHeight(header + rows * view->verticalHeader()->defaultSectionSize() + 2 * view->frameWidth());
    return view;
}

QGroupBox *box(const QString &title, QWidget *content, QWidget *below = nullptr)
{
    auto *group = new QGroupBox(title);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(content);
    if (below)
        layout->addWidget(below);
    return group;
}

} // namespace

ReviewPanel::ReviewPanel(const ClassAnswers &answers, QWidget *parent)
    : QWidget(parent)
    , classAnswers(answers)
    , review(new ReviewModel(answers, this))
    , grid(new PairGridModel(answers, this))
    , kinds(new MistakeKindsModel(answers, this))
    , common(new CommonAnswersModel(answers, this))
{
    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout;
    classButton = new QRadioButton(u"&Tutta la classe"_s);
    pupilButton = new QRadioButton(u"L'al&unno scelto"_s);
    classButton->setChecked(true);
    auto *group = new QButtonGroup(this);
    group->addButton(classButton);
    group->addButton(pupilButton);
    connect(pupilButton, &QRadioButton::toggled, this, [this] { showAnswers(); });
    choice->addWidget(classButton);
    choice->addWidget(pupilButton);
    choice->addStretch(1);
    layout->addLayout(choice);
    notice = plainLabel();
    notice->setObjectName(u"answersNotice"_s);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(notice);

    auto *reviewView = tableView(review, u"Da ripassare"_s, classregister::reviewLines);
    reviewView->horizontalHeader()->hide();
    reviewView->verticalHeader()->hide();
    reviewView->horizontalHeader()->setStretchLastSection(true);
    reviewView->setFixedHeight(reviewView->height() - reviewView->horizontalHeader()->sizeHint().height());
    reviewTable = reviewView;
    gridView = tableView(grid, u"Conversioni: risposte esatte e risposte date"_s, 6);
    kindsView = tableView(kinds, u"Tipi di errore"_s, classregister::mistakeKindCount - 1);
    kindsView->verticalHeader()->hide();
    commonView = tableView(common, u"Risposte sbagliate più frequenti"_s, CommonAnswersModel::shownAnswers);
    commonView->verticalHeader()->hide();
    commonView->horizontalHeader()->setStretchLastSection(true);
    for (QTableView *view : {reviewView, kindsView, commonView})
        view->setSelectionBehavior(QAbstractItemView::SelectRows);

    // Two columns, scrolled when the window leaves them too little room.
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    figures = new QWidget;
    auto *columns = new QHBoxLayout(figures);
    columns->setContentsMargins({});
    auto *left = new QVBoxLayout;
    // An empty list would look like one not yet read: said in words instead.
    nothingToReview = plainLabel(nothingToReviewText());
    nothingToReview->setObjectName(u"nothingToReview"_s);
    auto *reviewBox = box(u"Da ripassare"_s, reviewView, nothingToReview);
    reviewBox->layout()->addWidget(plainLabel(reviewRuleText()));
    left->addWidget(reviewBox);
    left->addWidget(box(u"Tipi di errore"_s, kindsView));
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(box(u"Conversioni: risposte esatte e risposte date"_s, gridView));
    right->addWidget(box(u"Risposte sbagliate più frequenti"_s, commonView));
    right->addStretch(1);
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    scroll->setWidget(figures);
    layout->addWidget(scroll, 1);
    figuresArea = scroll;

    connect(&classAnswers, &ClassAnswers::changed, this, [this] { showAnswers(); });
    connect(&classAnswers, &ClassAnswers::rebuildingStarted, this, [this] { showAnswers(); });
    showAnswers();
}

void ReviewPanel::setPupil(const QString &name)
{
    pupilName = name;
    showAnswers();
}

void ReviewPanel::showPupil(bool pupil)
{
    (pupil ? pupilButton : classButton)->setChecked(true);
}

void ReviewPanel::showAnswers()
{
    const bool forPupil = pupilButton->isChecked();
    const QString shown = forPupil ? pupilName : QString();
    pupilButton->setText(pupilName.isEmpty()
                             ? u"L'al&unno scelto"_s
                             : u"L'al&unno scelto: %1"_s.arg(QString(pupilName).replace(u'&', u"&&"_s)));
    for (AnswerTallyModel *model : {static_cast<AnswerTallyModel *>(review), static_cast<AnswerTallyModel *>(grid),
                                    static_cast<AnswerTallyModel *>(kinds), static_cast<AnswerTallyModel *>(common)})
        model->setPupil(shown);
    const bool empty = classAnswers.tally(shown) == nullptr || (forPupil && pupilName.isEmpty());
    QString said;
    if (!classAnswers.statusMessage().isEmpty())
        said = classAnswers.statusMessage();
    else if (forPupil && pupilName.isEmpty())
        said = u"Scegli un alunno nella tabella."_s;
    else if (empty && classAnswers.rebuilding())
        said = readingAnswersText(); // a school's answers take a second or two
    else if (empty)
        said = noAnswersInPeriodText();
    const QString skipped = answersSkippedText(classAnswers.skippedCount(), classAnswers.skippedLines());
    if (!skipped.isEmpty())
        said = said.isEmpty() ? skipped : said + u'\n' + skipped;
    notice->setText(said);
    notice->setVisible(!said.isEmpty());
    figuresArea->setVisible(!empty);
    reviewTable->setVisible(review->rowCount() > 0);
    nothingToReview->setVisible(review->rowCount() == 0);
    if (!empty) {
        // The cells alike, as wide as the widest.
        gridView->resizeColumnsToContents();
        int widest = 0;
        for (int column = 0; column < grid->columnCount(); ++column)
            widest = std::max(widest, gridView->columnWidth(column));
        for (int column = 0; column < grid->columnCount(); ++column)
            gridView->setColumnWidth(column, widest);
        kindsView->resizeColumnsToContents();
        commonView->resizeColumnsToContents();
    }
}

} // namespace mirabolo::registro
