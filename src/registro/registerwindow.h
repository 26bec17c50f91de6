// The teacher's window: the class over a period, each pupil's row, the class
// chart and the chart of the pupil chosen. Layout and wiring only: the class
// is the session's, and every table and chart a view of a model over it.
#pragma once

#include "registro/classsession.h"
#include "registro/reportcontent.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace mirabolo::registro {

class ChartView;
class ClassAccuracyChart;
class ClassRankingModel;
class ColumnFit;
class PupilGamesModel;
class PupilsModel;
class ReviewPanel;

class RegisterWindow : public QMainWindow
{
    Q_OBJECT

public:
    RegisterWindow(const QString &path, classregister::Period period, ClassSession::Today clock,
                   QWidget *parent = nullptr);
    ~RegisterWindow() override;

    ClassSession &session() { return *classSession; }
    void setPeriod(classregister::Period period);
    // The days from range.first to range.last; false, with the reason in
    // `error`, when the end comes before the start.
    bool setRange(const QDate &first, const QDate &last, QString *error);
    // Chooses the pupil of that name (as grouped); false when not in the period.
    bool selectPupil(const QString &name);

    // The register and its answers were read to their ends and shown once.
    bool isReady() const { return shownOnce; }

    bool exportPdf(const QString &path, QString *error) const;
    // Writes the report and tells the teacher where, or why not, in a box left open.
    void saveReport(const QString &path);
    // The chosen pupil's sheet, one A4 page; false when no pupil is chosen.
    bool exportSheet(const QString &path, QString *error) const;
    // The pupils' table as the window shows it, in its order.
    bool saveCsv(const QString &path, QString *error) const;
    // Saves it and tells the teacher where, or why not, in a box left open.
    void saveTable(const QString &path);
    // The pupils' table on the clipboard, as rows and columns.
    void copyTable() const;
    // The class list saved as `list`, or why not in a box left open.
    bool saveClassList(const classregister::ClassList &list);

Q_SIGNALS:
    // The register and its answers were read to their ends and shown for
    // the first time.
    void ready();

private:
    void buildActions();
    QWidget *buildCentre();
    void registerOpened();
    void registerSettled();
    void showPupil();
    void askExportPdf();
    void askPrint();
    void askOpen();
    void askRange();
    void askExportSheet();
    void askPrintSheet();
    void askSaveCsv();
    void editClassList();
    void showSkippedLines();
    void classListRead();
    // Says in a box left open how a file was saved, or why not; `what` is
    // what was saved with its verb, as Italian agrees it ("La tabella degli
    // alunni è stata salvata").
    void tellSaved(const QString &title, bool saved, const QString &path, const QString &what, const QString &error);
    ReportContent sheetContent() const;

    ClassSession *classSession;
    PupilsModel *pupils = nullptr;
    QSortFilterProxyModel *pupilOrder = nullptr;
    ClassRankingModel *ranking = nullptr;
    PupilGamesModel *pupilGames = nullptr;
    std::unique_ptr<ClassAccuracyChart> classBars;
    bool restoreSelection = false; // the class was counted anew since it was last shown
    bool gamesToBottom = false; // the pupil's last game is in sight, and stays so
    bool shownOnce = false;

    QComboBox *periodBox = nullptr;
    QLabel *notice = nullptr;
    QLabel *summary = nullptr;
    QLabel *unlisted = nullptr;
    QTableView *pupilTable = nullptr;
    ChartView *classChartView = nullptr;
    QTableView *rankingView = nullptr;
    ChartView *pupilChartView = nullptr;
    QTableView *pupilGamesView = nullptr;
    ColumnFit *pupilsFit = nullptr;
    ColumnFit *rankingFit = nullptr;
    ColumnFit *gamesFit = nullptr;
    QLabel *pupilTitle = nullptr;
    ReviewPanel *review = nullptr;
    QLabel *fileLabel = nullptr;
    QPushButton *skippedButton = nullptr;
};

} // namespace mirabolo::registro
