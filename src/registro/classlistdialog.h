// The teacher edits her class list: the class's name, her rule for "da
// seguire", the pupils and the other spellings of each, and the names typed
// in the register that match nobody, to add as a pupil or as a spelling.
#pragma once

#include "classregister/classlist.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace mirabolo::registro {

class ClassListDialog : public QDialog
{
    Q_OBJECT

public:
    // `unmatched`: names typed in the register that are nobody's on `list`.
    ClassListDialog(const classregister::ClassList &list, const QStringList &unmatched, QWidget *parent = nullptr);

    // The list as edited; `problems` gets what could not go in it (a name
    // that is already someone's, an open quote), one sentence each.
    classregister::ClassList list(QStringList *problems = nullptr) const;

    // The name typed at `unmatched` goes on the list: as a new pupil, or as a
    // further spelling of the pupil in the table's current row.
    void addAsPupil(int unmatched);
    void addAsSpelling(int unmatched);

    void accept() override;

private:
    void addRow(const QString &name, const QString &spellings);
    void updateButtons();

    QLineEdit *classNameEdit;
    QSpinBox *percentBox;
    QSpinBox *gamesBox;
    QTableWidget *pupilTable;
    QListWidget *unmatchedList;
    QPushButton *removeButton;
    QPushButton *asPupilButton;
    QPushButton *asSpellingButton;
    QLabel *problemLabel;
};

} // namespace mirabolo::registro
