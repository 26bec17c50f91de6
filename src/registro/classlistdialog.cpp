#include "registro/classlistdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using mirabolo::classregister::ClassList;
using mirabolo::classregister::FollowRule;

namespace mirabolo::registro {

ClassListDialog::ClassListDialog(const ClassList &list, const QStringList &unmatched, QWidget *parent)
    : QDialog(parent)
    , classNameEdit(new QLineEdit(list.className()))
    , percentBox(new QSpinBox)
    , gamesBox(new QSpinBox)
    , pupilTable(new QTableWidget(0, 2))
    , unmatchedList(new QListWidget)
    , removeButton(new QPushButton(u"&Togli alunno"_s))
    , asPupilButton(new QPushButton(u"Aggiungi come &nuovo alunno"_s))
    , asSpellingButton(new QPushButton(u"Aggiungi come altra &grafia dell'alunno scelto"_s))
    , problemLabel(new QLabel)
{
    setWindowTitle(u"Elenco della classe"_s);
    auto *layout = new QVBoxLayout(this);

    auto *form = new QFormLayout;
    classNameEdit->setPlaceholderText(u"per esempio 4ª A"_s);
    form->addRow(u"Nome della &classe:"_s, classNameEdit);
    percentBox->setRange(FollowRule::minPercent, FollowRule::maxPercent);
    percentBox->setSuffix(u"%"_s);
    percentBox->setValue(list.rule().percent);
    percentBox->setAccessibleName(u"Da seguire: precisione sotto"_s);
    gamesBox->setRange(FollowRule::minGames, FollowRule::maxGames);
    gamesBox->setValue(list.rule().games);
    gamesBox->setAccessibleName(u"Da seguire: partite almeno"_s);
    auto *rule = new QHBoxLayout;
    rule->addWidget(percentBox);
    rule->addWidget(new QLabel(u"in almeno"_s));
    rule->addWidget(gamesBox);
    rule->addWidget(new QLabel(u"partite del periodo"_s));
    rule->addStretch();
    auto *ruleLabel = new QLabel(u"&Da seguire con precisione sotto il"_s);
    ruleLabel->setBuddy(percentBox);
    form->addRow(ruleLabel, rule);
    layout->addLayout(form);

    auto *pupilsLabel = new QLabel(u"&Alunni (le altre grafie sono i modi in cui l'alunno ha scritto il suo nome, "
                                   u"separati da |):"_s);
    pupilsLabel->setWordWrap(true);
    pupilsLabel->setBuddy(pupilTable);
    layout->addWidget(pupilsLabel);
    pupilTable->setHorizontalHeaderLabels({u"Alunno"_s, u"Altre grafie"_s});
    pupilTable->setAccessibleName(u"Alunni della classe"_s);
    pupilTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    pupilTable->verticalHeader()->hide();
    pupilTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pupilTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pupilTable->setTabKeyNavigation(false);
    for (const classregister::ListedPupil &pupil : list.pupils())
        addRow(pupil.name, classregister::spellingsText(pupil.spellings));
    layout->addWidget(pupilTable, 2);
    auto *pupilButtons = new QHBoxLayout;
    auto *addButton = new QPushButton(u"Aggiungi al&unno"_s);
    pupilButtons->addWidget(addButton);
    pupilButtons->addWidget(removeButton);
    pupilButtons->addStretch();
    layout->addLayout(pupilButtons);
    connect(addButton, &QPushButton::clicked, this, [this] {
        addRow({}, {});
        pupilTable->setFocus();
        pupilTable->editItem(pupilTable->item(pupilTable->rowCount() - 1, 0));
    });
    connect(removeButton, &QPushButton::clicked, this, [this] {
        if (pupilTable->currentRow() >= 0)
            pupilTable->removeRow(pupilTable->currentRow());
    });

    auto *unmatchedLabel = new QLabel(u"Nomi &scritti nel registro che non sono di nessuno dell'elenco:"_s);
    unmatchedLabel->setWordWrap(true);
    unmatchedLabel->setBuddy(unmatchedList);
    layout->addWidget(unmatchedLabel);
    unmatchedList->addItems(unmatched);
    unmatchedList->setAccessibleName(u"Nomi che non sono nell'elenco"_s);
    layout->addWidget(unmatchedList, 1);
    auto *unmatchedButtons = new QHBoxLayout;
    unmatchedButtons->addWidget(asPupilButton);
    unmatchedButtons->addWidget(asSpellingButton);
    unmatchedButtons->addStretch();
    layout->addLayout(unmatchedButtons);
    connect(asPupilButton, &QPushButton::clicked, this, [this] { addAsPupil(unmatchedList->currentRow()); });
    connect(asSpellingButton, &QPushButton::clicked, this, [this] { addAsSpelling(unmatchedList->currentRow()); });

    problemLabel->setTextFormat(Qt::PlainText);
    problemLabel->setWordWrap(true);
    problemLabel->setStyleSheet(u"color: #8b0000"_s);
    problemLabel->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    problemLabel->hide();
    layout->addWidget(problemLabel);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Save)->setText(u"Salva"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"Annulla"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(pupilTable, &QTableWidget::currentCellChanged, this, &ClassListDialog::updateButtons);
    connect(unmatchedList, &QListWidget::currentRowChanged, this, &ClassListDialog::updateButtons);
    if (!unmatched.isEmpty())
        unmatchedList->setCurrentRow(0);
    updateButtons();
    resize(620, 560);
}

void ClassListDialog::addRow(const QString &name, const QString &spellings)
{
    const int row = pupilTable->rowCount();
    pupilTable->insertRow(row);
    pupilTable->setItem(row, 0, new QTableWidgetItem(name));
    pupilTable->setItem(row, 1, new QTableWidgetItem(spellings));
}

void ClassListDialog::updateButtons()
{
    const bool chosenName = unmatchedList->currentRow() >= 0;
    removeButton->setEnabled(pupilTable->currentRow() >= 0);
    asPupilButton->setEnabled(chosenName);
    asSpellingButton->setEnabled(chosenName && pupilTable->currentRow() >= 0);
}

void ClassListDialog::addAsPupil(int unmatched)
{
    if (unmatched < 0 || unmatched >= unmatchedList->count())
        return;
    addRow(unmatchedList->item(unmatched)->text(), {});
    pupilTable->setCurrentCell(pupilTable->rowCount() - 1, 0);
    delete unmatchedList->takeItem(unmatched);
    updateButtons();
}

void ClassListDialog::addAsSpelling(int unmatched)
{
    const int row = pupilTable->currentRow();
    if (unmatched < 0 || unmatched >= unmatchedList->count() || row < 0)
        return;
    QTableWidgetItem *cell = pupilTable->item(row, 1);
    QStringList spellings = classregister::parseSpellings(cell->text()).value_or(QStringList{cell->text()});
    spellings << unmatchedList->item(unmatched)->text();
    cell->setText(classregister::spellingsText(spellings));
    delete unmatchedList->takeItem(unmatched);
    updateButtons();
}

ClassList ClassListDialog::list(QStringList *problems) const
{
    ClassList list;
    list.setClassName(classNameEdit->text());
    list.setRule({percentBox->value(), gamesBox->value()});
    const auto problem = [problems](int row, const QString &what) {
        if (problems)
            *problems << u"Alunno %1 della tabella: %2"_s.arg(row + 1).arg(what);
    };
    for (int row = 0; row < pupilTable->rowCount(); ++row) {
        const QString name = pupilTable->item(row, 0)->text().simplified();
        const QString spellingText = pupilTable->item(row, 1)->text();
        const auto spellings = classregister::parseSpellings(spellingText);
        if (name.isEmpty()) {
            if (!spellingText.trimmed().isEmpty())
                problem(row, u"manca il nome, prima delle altre grafie «%1»."_s.arg(spellingText.trimmed()));
            continue;
        }
        if (!spellings) {
            problem(row, u"virgolette non chiuse in «%1»."_s.arg(spellingText));
            continue;
        }
        // A name of invisible characters alone is blank too, and nobody's.
        const auto taken = [&](const QString &typed) {
            const qsizetype owner = list.find(typed);
            if (owner >= 0)
                problem(row, u"«%1» è già un nome di %2."_s.arg(typed, list.pupils().at(owner).name));
        };
        if (!list.addPupil(name)) {
            taken(name);
            continue;
        }
        const qsizetype added = list.pupils().size() - 1;
        for (const QString &spelling : *spellings) {
            if (!list.addSpelling(added, spelling))
                taken(spelling);
        }
    }
    return list;
}

void ClassListDialog::accept()
{
    QStringList problems;
    list(&problems);
    if (problems.isEmpty()) {
        QDialog::accept();
        return;
    }
    problemLabel->setText(u"Prima di salvare correggi:\n"_s + problems.join(u'\n'));
    problemLabel->show();
}

} // namespace mirabolo::registro
