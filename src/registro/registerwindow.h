// The teacher's window: the class over a period, each pupil's row, the class
// chart and the chart of the pupil selected, kept up to date while games end.
#pragma once

#include "classregister/classfigures.h"
#include "registro/liveregister.h"
#include "registro/report.h"
#include "registro/reportcharts.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace mirabolo::registro {

class ChartView;
class PupilTableModel;

class RegisterWindow : public QMainWindow
{
    Q_OBJECT

public:
    using Today = std::function<QDate()>;

    RegisterWindow(const QString &path, classregister::Period period, Today clock, QWidget *parent = nullptr);
    ~RegisterWindow() override;

    void openRegister(const QString &path);
    void setPeriod(classregister::Period period);
    classregister::Period period() const { return shownPeriod; }
    // Selects the pupil of that name (as grouped); false when not in the period.
    bool selectPupil(const QString &name);
    const classregister::ClassFigures &figures() const { return classFigures; }
    const ClassAccuracyChart &classChart() const { return classBars; }
    LiveRegister *live() const { return liveRegister; }

    // The register was read to its end and shown once.
    bool isReady() const { return shownOnce; }

    ReportContent reportContent() const;
    bool exportPdf(const QString &path, QString *error) const;
    // Writes the report and tells the teacher where, or why not, in a box left open.
    void saveReport(const QString &path);

Q_SIGNALS:
    // The register was read to its end and shown for the first time.
    void ready();

private:
    void buildActions();
    QWidget *buildCentre();
    void registerReloaded();
    void gamesAppended(qsizetype first);
    void registerSettled();
    void showClass();
    void showPupil();
    void showPupilHeading(const classregister::PupilFigures &pupil);
    void addPupilGames();
    void restoreSelection();
    void askExportPdf();
    void askPrint();
    void askOpen();
    void showSkippedLines();

    Today today;
    QString registerPath;
    classregister::Period shownPeriod;
    classregister::ClassFigures classFigures;
    QPointer<LiveRegister> liveRegister;
    PupilTableModel *pupilModel = nullptr;
    QSortFilterProxyModel *pupilOrder = nullptr;
    QString selectedKey; // the pupil shown in the pupil's chart
    qsizetype selectedRow = -1; // in classFigures.pupils(), while it is shown
    QList<qsizetype> changedPupils; // rows whose figures changed since the class was last shown
    QList<qsizetype> newSelectedGames; // where the selected pupil's new games went among theirs
    QList<qsizetype> classOrder; // the rows of the class chart, the best first
    ClassAccuracyChart classBars;
    PupilGamesChart pupilChart;
    bool wholeClassChanged = true;
    bool rebuildPending = false;
    bool selectedChanged = false;
    bool shownOnce = false;

    QComboBox *periodBox = nullptr;
    QLabel *notice = nullptr;
    QLabel *summary = nullptr;
    QTableView *pupilTable = nullptr;
    ChartView *classChartView = nullptr;
    QStandardItemModel *classNumbers = nullptr;
    QTableView *classNumbersView = nullptr;
    ChartView *pupilChartView = nullptr;
    QStandardItemModel *pupilNumbers = nullptr;
    QTableView *pupilNumbersView = nullptr;
    QLabel *pupilTitle = nullptr;
    QLabel *fileLabel = nullptr;
    QPushButton *skippedButton = nullptr;
};

// The name the report and the title give the register: its folder for a
// class's registro.csv, else the file itself.
QString registerSource(const QString &registerPath);

} // namespace mirabolo::registro
