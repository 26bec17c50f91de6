// "Cosa ripassare": what the answers of the period say, for the class or for
// the pupil chosen in the window: what to go over, the grid of conversions,
// the kinds of mistake and the wrong answers given most often.
#pragma once

#include <QWidget>

class QLabel;
class QRadioButton;
class QTableView;

namespace mirabolo::registro {

class ClassAnswers;
class CommonAnswersModel;
class MistakeKindsModel;
class PairGridModel;
class ReviewModel;

class ReviewPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ReviewPanel(const ClassAnswers &answers, QWidget *parent = nullptr);

    // The pupil chosen in the window (empty for none), shown when the
    // teacher asks for the pupil rather than the class.
    void setPupil(const QString &name);
    // Shows the pupil chosen rather than the whole class.
    void showPupil(bool pupil);

private:
    void showAnswers();

    const ClassAnswers &classAnswers;
    QString pupilName;
    QRadioButton *classButton = nullptr;
    QRadioButton *pupilButton = nullptr;
    QLabel *notice = nullptr;
    QWidget *figures = nullptr;
    ReviewModel *review = nullptr;
    PairGridModel *grid = nullptr;
    MistakeKindsModel *kinds = nullptr;
    CommonAnswersModel *common = nullptr;
    QWidget *figuresArea = nullptr;
    QTableView *reviewTable = nullptr;
    QLabel *nothingToReview = nullptr;
    QTableView *gridView = nullptr;
    QTableView *kindsView = nullptr;
    QTableView *commonView = nullptr;
};

} // namespace mirabolo::registro
