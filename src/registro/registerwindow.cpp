#include "registro/registerwindow.h"

#include "registro/charts.h"
#include "registro/chartview.h"
#include "registro/classmodels.h"
#include "registro/report.h"
#include "registro/reportcontent.h"
#include "registro/texts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;

namespace mirabolo::registro {

namespace {

constexpr Period periods[] = {Period::Today, Period::ThisWeek, Period::ThisMonth, Period::SchoolYear, Period::All};

QTableView *tableView(QAbstractItemModel *model, const QString &name)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->setTabKeyNavigation(false);
    return view;
}

} // namespace

// Columns are sized to their contents when a table is filled, not on every
// change (that measures every cell): a changed row only widens them. A table
// beside a chart keeps every column whole: the chart gives way rather than
// the table's last column.
class ColumnFit : public QObject
{
public:
    ColumnFit(QTableView &shown, const QAbstractItemModel &source, bool keepWhole)
        : QObject(&shown)
        , view(shown)
        , model(source)
        , whole(keepWhole)
    {
        connect(&model, &QAbstractItemModel::modelReset, this, [this] { fitAll = true; });
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) { changed(first, last); });
        connect(&model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &first, const QModelIndex &last) { changed(first.row(), last.row()); });
    }

    void apply()
    {
        if (std::exchange(fitAll, false)) {
            view.resizeColumnsToContents();
        } else {
            const auto *order = qobject_cast<const QSortFilterProxyModel *>(view.model());
            const int grid = view.showGrid() ? 1 : 0;
            for (const int row : std::as_const(rows)) {
                const int shown = order ? order->mapFromSource(model.index(row, 0)).row() : row;
                for (int column = 0; column < model.columnCount(); ++column) {
                    const int wanted = view.sizeHintForIndex(view.model()->index(shown, column)).width() + grid;
                    if (wanted > view.columnWidth(column))
                        view.setColumnWidth(column, wanted);
                }
            }
        }
        rows.clear();
        if (whole)
            view.setMinimumWidth(view.horizontalHeader()->length() + 2 * view.frameWidth() +
                                 view.verticalScrollBar()->sizeHint().width());
    }

private:
    void changed(int first, int last)
    {
        for (int row = first; row <= last && !fitAll; ++row)
            if (!rows.contains(row))
                rows << row;
    }

    QTableView &view;
    const QAbstractItemModel &model;
    bool whole;
    bool fitAll = true;
    QList<int> rows;
};

RegisterWindow::RegisterWindow(const QString &path, Period period, ClassSession::Today clock, QWidget *parent)
    : QMainWindow(parent)
    , classSession(new ClassSession(path, period, std::move(clock), this))
    , pupils(new PupilsModel(*classSession, this))
    , ranking(new ClassRankingModel(*classSession, this))
    , pupilGames(new PupilGamesModel(*classSession, this))
    , classBars(std::make_unique<ClassAccuracyChart>(*ranking))
{
    buildActions();
    setCentralWidget(buildCentre());
    setTabOrder(periodBox, pupilTable);
    setTabOrder(pupilTable, rankingView);
    setTabOrder(rankingView, pupilGamesView);
    fileLabel = new QLabel;
    statusBar()->addWidget(fileLabel, 1);
    skippedButton = new QPushButton;
    skippedButton->setFlat(true);
    skippedButton->setToolTip(u"Mostra i numeri delle righe che non è stato possibile leggere"_s);
    connect(skippedButton, &QPushButton::clicked, this, &RegisterWindow::showSkippedLines);
    statusBar()->addPermanentWidget(skippedButton);
    resize(1200, 820);

    connect(classSession, &ClassSession::settled, this, &RegisterWindow::registerSettled);
    // After the class was counted anew, the pupil chosen stays chosen.
    connect(pupils, &QAbstractItemModel::modelReset, this, [this] { restoreSelection = true; });
    connect(pupilGames, &QAbstractItemModel::modelReset, this, [this] { gamesToBottom = true; });
    connect(pupilGames, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = pupilGamesView->verticalScrollBar();
        gamesToBottom = gamesToBottom || bar->value() == bar->maximum();
    });
    registerOpened();
    classSession->setFollowing(true);
    classSession->refresh();
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::buildActions()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    QToolBar *bar = addToolBar(u"Strumenti"_s);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [&](const QString &text, const char *icon, QKeySequence::StandardKey key, auto slot) {
        auto *action = new QAction(QIcon::fromTheme(QString::fromLatin1(icon)), text, this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        file->addAction(action);
        return action;
    };
    bar->addAction(add(u"&Apri…"_s, "document-open", QKeySequence::Open, &RegisterWindow::askOpen));
    bar->addAction(add(u"&Esporta PDF…"_s, "document-export", QKeySequence::Save, &RegisterWindow::askExportPdf));
    bar->addAction(add(u"&Stampa…"_s, "document-print", QKeySequence::Print, &RegisterWindow::askPrint));
    file->addSeparator();
    add(u"E&sci"_s, "application-exit", QKeySequence::Quit, &QWidget::close);

    bar->addSeparator();
    auto *label = new QLabel(u" &Periodo: "_s);
    periodBox = new QComboBox;
    for (Period p : periods)
        periodBox->addItem(classregister::periodName(p), QVariant::fromValue(int(p)));
    label->setBuddy(periodBox);
    bar->addWidget(label);
    bar->addWidget(periodBox);
    periodBox->setCurrentIndex(periodBox->findData(int(classSession->period())));
    connect(periodBox, &QComboBox::activated, this,
            [this](int index) { setPeriod(Period(periodBox->itemData(index).toInt())); });
}

QWidget *RegisterWindow::buildCentre()
{
    auto *centre = new QWidget;
    auto *layout = new QVBoxLayout(centre);
    notice = new QLabel;
    notice->setObjectName(u"notice"_s);
    notice->setWordWrap(true);
    notice->setStyleSheet(u"font-weight: bold; color: #8b0000"_s);
    notice->hide();
    summary = new QLabel;
    summary->setObjectName(u"summary"_s);
    QFont big = summary->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    summary->setFont(big);
    summary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(notice);
    layout->addWidget(summary);

    pupilOrder = new QSortFilterProxyModel(this);
    pupilOrder->setSourceModel(pupils);
    pupilOrder->setSortRole(PupilsModel::SortRole);
    pupilOrder->setDynamicSortFilter(true);
    pupilTable = tableView(pupilOrder, u"Alunni della classe"_s);
    pupilTable->setSortingEnabled(true);
    pupilTable->sortByColumn(0, Qt::AscendingOrder);
    pupilTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pupilTable->horizontalHeader()->setStretchLastSection(true);
    pupilsFit = new ColumnFit(*pupilTable, *pupils, false);
    connect(pupilTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                pupilGames->setPupil(pupils->pupil(pupilOrder->mapToSource(current).row()).name);
                showPupil();
            });

    auto *classBox = new QGroupBox(u"Precisione per alunno"_s);
    auto *classLayout = new QHBoxLayout(classBox);
    classChartView =
        new ChartView(u"Grafico: precisione per alunno"_s, *ranking,
                      [this](QPainter &painter, report::GlyphCache &labels, const QRectF &area, const QRectF &exposed) {
                          // A few pupils' bars stay bars, not slabs.
                          QRectF bars = area;
                          bars.setHeight(std::min(area.height(), 2 * classBars->naturalHeight()));
                          classBars->draw(painter, labels, bars, exposed);
                      });
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(classChartView);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setMinimumWidth(300); // the percentages under the bars stay whole
    rankingView = tableView(ranking, u"Precisione per alunno, in numeri"_s);
    rankingFit = new ColumnFit(*rankingView, *ranking, true);
    classLayout->addWidget(scroll, 3);
    classLayout->addWidget(rankingView, 2);

    auto *pupilBox = new QGroupBox(u"Partite dell'alunno scelto"_s);
    auto *pupilLayout = new QVBoxLayout(pupilBox);
    pupilTitle = new QLabel;
    pupilTitle->setObjectName(u"pupilTitle"_s);
    pupilLayout->addWidget(pupilTitle);
    auto *pupilRow = new QHBoxLayout;
    pupilChartView = new ChartView(u"Grafico: partite dell'alunno scelto"_s, *pupilGames,
                                   [this](QPainter &painter, report::GlyphCache &labels, const QRectF &area,
                                          const QRectF &) { drawPupilGames(painter, labels, area, *pupilGames); });
    pupilGamesView = tableView(pupilGames, u"Partite dell'alunno scelto, in numeri"_s);
    // The numbers of the chart beside it; how each game ended is in the report.
    pupilGamesView->setColumnHidden(pupilGames->columnCount() - 1, true);
    gamesFit = new ColumnFit(*pupilGamesView, *pupilGames, true);
    pupilChartView->setMinimumWidth(320); // room for both axes and the legend
    pupilRow->addWidget(pupilChartView, 3);
    pupilRow->addWidget(pupilGamesView, 2);
    pupilLayout->addLayout(pupilRow);

    auto *charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(classBox);
    charts->addWidget(pupilBox);
    charts->setChildrenCollapsible(false);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(pupilTable);
    split->addWidget(charts);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);
    return centre;
}

void RegisterWindow::registerOpened()
{
    setWindowTitle(u"Registro di Mirabolo — %1"_s.arg(classSession->source()));
    fileLabel->setText(
        u"Registro: %1"_s.arg(QDir::toNativeSeparators(QFileInfo(classSession->registerPath()).absoluteFilePath())));
}

void RegisterWindow::setPeriod(Period period)
{
    periodBox->setCurrentIndex(periodBox->findData(int(period)));
    classSession->setPeriod(period);
}

bool RegisterWindow::selectPupil(const QString &name)
{
    const QString key = classregister::ClassFigures::pupilKey(name);
    for (int row = 0; row < pupilOrder->rowCount(); ++row) {
        const int source = pupilOrder->mapToSource(pupilOrder->index(row, 0)).row();
        if (classregister::ClassFigures::pupilKey(pupils->pupil(source).name) == key) {
            pupilTable->setCurrentIndex(pupilOrder->index(row, 0));
            return true;
        }
    }
    return false;
}

void RegisterWindow::registerSettled()
{
    const classregister::RegisterFile &file = classSession->file();
    const classregister::ClassFigures &figures = classSession->figures();
    notice->setText(noticeText(file.statusMessage(), classSession->period(), figures));
    notice->setVisible(!notice->text().isEmpty());
    skippedButton->setText(classregister::skippedLinesText(file.skippedCount()));
    skippedButton->setVisible(file.skippedCount() > 0);
    summary->setText(periodSummaryText(classSession->period(), figures));
    if (std::exchange(restoreSelection, false)) {
        const PupilGamesModel &chosen = *pupilGames;
        if (pupilOrder->rowCount() == 0)
            pupilGames->setPupil({});
        else if (chosen.pupil() == nullptr || !selectPupil(chosen.pupil()->name))
            pupilTable->setCurrentIndex(pupilOrder->index(0, 0));
    }
    pupilsFit->apply();
    rankingFit->apply();
    classChartView->setMinimumHeight(int(std::ceil(classBars->naturalHeight() * classChartView->scale())));
    showPupil();
    if (!std::exchange(shownOnce, true))
        Q_EMIT ready();
}

void RegisterWindow::showPupil()
{
    const classregister::PupilFigures *pupil = pupilGames->pupil();
    pupilTitle->setText(pupil ? pupilHeadingText(*pupil) : u"Scegli un alunno nella tabella."_s);
    gamesFit->apply();
    if (std::exchange(gamesToBottom, false))
        pupilGamesView->scrollToBottom();
}

bool RegisterWindow::exportPdf(const QString &path, QString *error) const
{
    return writePdfReport(path, classSession->reportContent(), error);
}

void RegisterWindow::askExportPdf()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
        u"/registro-%1.pdf"_s.arg(classSession->today().toString(Qt::ISODate));
    const QString path = QFileDialog::getSaveFileName(this, u"Esporta PDF"_s, suggested, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    QString error;
    if (exportPdf(path, &error))
        statusBar()->showMessage(u"Resoconto salvato in %1"_s.arg(QDir::toNativeSeparators(path)), 10000);
    else
        QMessageBox::warning(this, u"Esporta PDF"_s, error);
}

void RegisterWindow::askPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(u"Registro di Mirabolo"_s);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(u"Stampa il resoconto"_s);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printReport(printer, classSession->reportContent()))
        QMessageBox::warning(this, u"Stampa"_s, u"Non è stato possibile stampare il resoconto."_s);
}

void RegisterWindow::askOpen()
{
    const QString path =
        QFileDialog::getOpenFileName(this, u"Apri un registro"_s, QFileInfo(classSession->registerPath()).path(),
                                     u"Registri di Mirabolo (*.csv);;Tutti i file (*)"_s);
    if (path.isEmpty())
        return;
    classSession->openRegister(path);
    registerOpened();
}

void RegisterWindow::showSkippedLines()
{
    const classregister::RegisterFile &file = classSession->file();
    QMessageBox box(QMessageBox::Information, u"Righe non lette"_s, skippedLinesExplanation(file.skippedCount()),
                    QMessageBox::Ok, this);
    box.setDetailedText(skippedLinesNumbers(file.skippedCount(), file.skippedLines()));
    box.exec();
}

} // namespace mirabolo::registro
