#include "registro/registerwindow.h"

#include "registro/charts.h"
#include "registro/chartview.h"
#include "registro/classlistdialog.h"
#include "registro/classmodels.h"
#include "registro/report.h"
#include "registro/reportcontent.h"
#include "registro/reviewpanel.h"
#include "registro/tableexport.h"
#include "registro/texts.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;

namespace mirabolo::registro {

namespace {

// A range of the teacher's choosing before the broadest, which stays last.
constexpr Period periods[] = {Period::Today,      Period::ThisWeek,   Period::ThisMonth, Period::FirstTerm,
                              Period::SecondTerm, Period::SchoolYear, Period::Range,     Period::All};

// Names and paths come from the register and the class folder, where pupils
// write: shown as they are, never as markup that could load a picture or a
// file named in them.
QLabel *plainLabel()
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The same for a message box's text.
void warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The window as a large screen shows it; on a smaller one it takes the
// whole screen.
constexpr QSize preferredSize(1360, 860);
// A window manager's borders and title bar, not known before the window is shown.
constexpr QSize frameAllowance(16, 48);

// Rows a line of text high, not the style's roomier default: on a screen
// 768 pixels high that is a third more pupils at once.
QTableView *tableView(QAbstractItemModel *model, const QString &name)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->setTabKeyNavigation(false);
    return view;
}

// What a layout leaves a widget at least: its minimum size, else its hint.
int leastWidth(const QWidget &widget)
{
    return widget.minimumWidth() > 0 ? widget.minimumWidth() : std::max(0, widget.minimumSizeHint().width());
}

int leastHeight(const QWidget &widget)
{
    return widget.minimumHeight() > 0 ? widget.minimumHeight() : std::max(0, widget.minimumSizeHint().height());
}

// Ctrl+C in the pupils' table copies the whole table, as rows and columns,
// rather than the one cell the view would copy.
class CopyWholeTable : public QObject
{
public:
    CopyWholeTable(QObject *view, std::function<void()> copyTable)
        : QObject(view)
        , copy(std::move(copyTable))
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy))
            return false;
        copy();
        return true;
    }

private:
    std::function<void()> copy;
};

// The class list is in the teacher's own settings: "~/.config/…" says so in
// short.
QString listPathText(const QString &path)
{
    QString shown = QFileInfo(path).absoluteFilePath();
    if (const QString home = QDir::homePath() + u'/'; shown.startsWith(home))
        shown = u"~/"_s + shown.sliced(home.size());
    return QDir::toNativeSeparators(shown);
}

// A chart and its figures side by side where the width allows, else the
// figures under the chart: a screen 1024 pixels wide has no room for both
// pupils' charts with their tables beside them.
class BesideOrBelow : public QWidget
{
public:
    BesideOrBelow(QWidget *first, QWidget *second)
        : layout(new QBoxLayout(QBoxLayout::LeftToRight, this))
        , parts{first, second}
    {
        layout->setContentsMargins({});
        layout->addWidget(first, 3);
        layout->addWidget(second, 2);
    }

    // The narrower arrangement's: what the window may shrink to.
    QSize minimumSizeHint() const override
    {
        const int spacing = layout->spacing();
        return {std::max(leastWidth(*parts[0]), leastWidth(*parts[1])),
                leastHeight(*parts[0]) + spacing + leastHeight(*parts[1])};
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        arrange();
    }

    bool event(QEvent *event) override
    {
        // A table's columns widened: it may no longer fit beside the chart.
        if (event->type() == QEvent::LayoutRequest)
            arrange();
        return QWidget::event(event);
    }

private:
    void arrange()
    {
        const bool beside = width() >= leastWidth(*parts[0]) + layout->spacing() + leastWidth(*parts[1]);
        const auto direction = beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (layout->direction() != direction)
            layout->setDirection(direction);
    }

    QBoxLayout *layout;
    QWidget *parts[2];
};

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
    classSession->setCheckpointFolder(ClassSession::defaultCheckpointFolder());
    buildActions();
    setCentralWidget(buildCentre());
    setTabOrder(periodBox, pupilTable);
    setTabOrder(pupilTable, rankingView);
    setTabOrder(rankingView, pupilGamesView);
    fileLabel = plainLabel();
    statusBar()->addWidget(fileLabel, 1);
    skippedButton = new QPushButton;
    skippedButton->setFlat(true);
    skippedButton->setToolTip(u"Mostra quali righe non è stato possibile leggere, e perché"_s);
    connect(skippedButton, &QPushButton::clicked, this, &RegisterWindow::showSkippedLines);
    statusBar()->addPermanentWidget(skippedButton);
    const QSize room = screen()->availableSize() - frameAllowance;
    if (preferredSize.width() <= room.width() && preferredSize.height() <= room.height()) {
        resize(preferredSize);
    } else {
        resize(preferredSize.boundedTo(room));
        setWindowState(Qt::WindowMaximized);
    }

    connect(classSession, &ClassSession::settled, this, &RegisterWindow::registerSettled);
    // Shown whole once "Cosa ripassare" has the answers too.
    connect(classSession, &ClassSession::ready, this, [this] {
        if (!std::exchange(shownOnce, true))
            Q_EMIT ready();
    });
    // After the class was counted anew, the pupil chosen stays chosen.
    connect(pupils, &QAbstractItemModel::modelReset, this, [this] { restoreSelection = true; });
    connect(pupilGames, &QAbstractItemModel::modelReset, this, [this] { gamesToBottom = true; });
    connect(pupilGames, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = pupilGamesView->verticalScrollBar();
        gamesToBottom = gamesToBottom || bar->value() == bar->maximum();
    });
    connect(classSession, &ClassSession::classListChanged, this, &RegisterWindow::classListRead);
    // Read with the session: what it says waits for the window to show.
    registerOpened();
    QMetaObject::invokeMethod(this, &RegisterWindow::classListRead, Qt::QueuedConnection);
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
    add(u"Scheda dell'alunno: esporta P&DF…"_s, "document-export", QKeySequence::UnknownKey,
        &RegisterWindow::askExportSheet);
    add(u"Scheda dell'alunno: s&tampa…"_s, "document-print", QKeySequence::UnknownKey, &RegisterWindow::askPrintSheet);
    add(u"Salva la tabella come CS&V…"_s, "document-save-as", QKeySequence::UnknownKey, &RegisterWindow::askSaveCsv);
    file->addSeparator();
    add(u"Es&ci"_s, "application-exit", QKeySequence::Quit, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(u"&Modifica"_s);
    auto *copy = new QAction(QIcon::fromTheme(u"edit-copy"_s), u"&Copia la tabella degli alunni"_s, this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &RegisterWindow::copyTable);
    edit->addAction(copy);
    QMenu *classMenu = menuBar()->addMenu(u"C&lasse"_s);
    auto *list = new QAction(QIcon::fromTheme(u"document-edit"_s), u"&Elenco della classe…"_s, this);
    connect(list, &QAction::triggered, this, &RegisterWindow::editClassList);
    classMenu->addAction(list);

    bar->addSeparator();
    auto *label = new QLabel(u" &Periodo: "_s);
    periodBox = new QComboBox;
    for (Period p : periods)
        periodBox->addItem(classregister::periodName(p), QVariant::fromValue(int(p)));
    label->setBuddy(periodBox);
    bar->addWidget(label);
    bar->addWidget(periodBox);
    periodBox->setCurrentIndex(periodBox->findData(int(classSession->period())));
    periodBox->setItemText(periodBox->findData(int(Period::Range)), u"Altro periodo…"_s);
    connect(periodBox, &QComboBox::activated, this, [this](int index) {
        const auto period = Period(periodBox->itemData(index).toInt());
        if (period == Period::Range)
            askRange();
        else
            setPeriod(period);
    });
    bar->addSeparator();
    bar->addAction(list);
}

QWidget *RegisterWindow::buildCentre()
{
    auto *centre = new QWidget;
    auto *layout = new QVBoxLayout(centre);
    notice = plainLabel();
    notice->setObjectName(u"notice"_s);
    notice->setWordWrap(true);
    notice->setStyleSheet(u"font-weight: bold; color: #8b0000"_s);
    notice->hide();
    summary = plainLabel();
    summary->setObjectName(u"summary"_s);
    summary->setWordWrap(true);
    QFont big = summary->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    summary->setFont(big);
    summary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    unlisted = plainLabel();
    unlisted->setObjectName(u"unlisted"_s);
    unlisted->setWordWrap(true);
    unlisted->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    unlisted->hide();
    layout->addWidget(notice);
    layout->addWidget(summary);
    layout->addWidget(unlisted);

    review = new ReviewPanel(classSession->answers());
    pupilOrder = new QSortFilterProxyModel(this);
    pupilOrder->setSourceModel(pupils);
    pupilOrder->setSortRole(PupilsModel::SortRole);
    pupilOrder->setDynamicSortFilter(true);
    pupilTable = tableView(pupilOrder, u"Alunni della classe"_s);
    pupilTable->setSortingEnabled(true);
    pupilTable->sortByColumn(0, Qt::AscendingOrder);
    pupilTable->setSelectionMode(QAbstractItemView::SingleSelection);
    new CopyWholeTable(pupilTable, [this] { copyTable(); });
    pupilTable->horizontalHeader()->setStretchLastSection(true);
    pupilsFit = new ColumnFit(*pupilTable, *pupils, false);
    connect(pupilTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                const QString name = pupils->record(pupilOrder->mapToSource(current).row()).name;
                pupilGames->setPupil(name);
                review->setPupil(name);
                showPupil();
            });

    auto *classBox = new QGroupBox(u"Precisione per alunno"_s);
    auto *classLayout = new QHBoxLayout(classBox);
    classChartView = new ChartView(
        u"Grafico: precisione per alunno"_s, *ranking, u"Nessuna risposta da mostrare nel periodo scelto."_s,
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
    classLayout->addWidget(new BesideOrBelow(scroll, rankingView));

    auto *pupilBox = new QGroupBox(u"Partite dell'alunno scelto"_s);
    auto *pupilLayout = new QVBoxLayout(pupilBox);
    pupilTitle = plainLabel();
    pupilTitle->setObjectName(u"pupilTitle"_s);
    pupilTitle->setWordWrap(true);
    pupilLayout->addWidget(pupilTitle);
    pupilChartView =
        new ChartView(u"Grafico: partite dell'alunno scelto"_s, *pupilGames, u"Nessuna partita da mostrare."_s,
                      [this](QPainter &painter, report::GlyphCache &labels, const QRectF &area, const QRectF &) {
                          drawPupilGames(painter, labels, area, *pupilGames);
                      });
    pupilGamesView = tableView(pupilGames, u"Partite dell'alunno scelto, in numeri"_s);
    gamesFit = new ColumnFit(*pupilGamesView, *pupilGames, true);
    pupilChartView->setMinimumWidth(320); // room for both axes and the legend
    pupilChartView->setMinimumHeight(160);
    pupilLayout->addWidget(new BesideOrBelow(pupilChartView, pupilGamesView), 1);

    auto *charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(classBox);
    charts->addWidget(pupilBox);
    charts->setChildrenCollapsible(false);
    // In the proportion both need for their tables beside their charts.
    charts->setStretchFactor(0, 2);
    charts->setStretchFactor(1, 3);
    auto *tabs = new QTabWidget;
    tabs->addTab(charts, u"&Grafici"_s);
    tabs->addTab(review, u"Cosa &ripassare"_s);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(pupilTable);
    split->addWidget(tabs);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);
    return centre;
}

void RegisterWindow::registerOpened()
{
    setWindowTitle(u"Registro di Mirabolo — %1"_s.arg(classSession->className()));
    const classregister::ClassList &list = classSession->classList();
    fileLabel->setText(u"Registro: %1 · Elenco della classe: %2"_s.arg(
        QDir::toNativeSeparators(QFileInfo(classSession->registerPath()).absoluteFilePath()),
        list.isEmpty() && list.className().isEmpty() ? u"nessuno"_s : listPathText(classSession->classListPath())));
}

// A list that could not be read whole is said once, when read.
void RegisterWindow::classListRead()
{
    registerOpened();
    const QString error = classSession->classListError();
    const QStringList &problems = classSession->classListProblems();
    if (error.isEmpty() && problems.isEmpty())
        return;
    auto *box =
        new QMessageBox(QMessageBox::Warning, u"Elenco della classe"_s,
                        error.isEmpty() ? u"Alcune righe dell'elenco della classe %1 non si leggono e non "
                                          u"contano; il resto sì."_s.arg(listPathText(classSession->classListPath()))
                                        : error,
                        QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    if (!problems.isEmpty())
        box->setDetailedText(problems.join(u'\n'));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void RegisterWindow::setPeriod(Period period)
{
    periodBox->setCurrentIndex(periodBox->findData(int(period)));
    classSession->setPeriod(period);
}

bool RegisterWindow::setRange(const QDate &first, const QDate &last, QString *error)
{
    const auto range = classregister::dateRange(first, last, error);
    if (!range)
        return false;
    periodBox->setCurrentIndex(periodBox->findData(int(Period::Range)));
    classSession->setRange(*range);
    return true;
}

void RegisterWindow::askRange()
{
    // Open, not exec: the window goes on following the register meanwhile.
    auto *dialog = new QDialog(this);
    dialog->setObjectName(u"rangeDialog"_s);
    dialog->setWindowTitle(u"Altro periodo"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto *form = new QFormLayout(dialog);
    const classregister::DateSpan shown = classSession->span();
    const QDate today = classSession->today();
    const auto dayBox = [](const QDate &day, const QString &name) {
        auto *box = new QDateEdit(day);
        box->setObjectName(name);
        box->setDisplayFormat(u"dd/MM/yyyy"_s);
        box->setCalendarPopup(true);
        return box;
    };
    QDateEdit *from = dayBox(shown.first.isValid() ? shown.first : today, u"from"_s);
    QDateEdit *to = dayBox(shown.last.isValid() && shown.last <= today ? shown.last : today, u"to"_s);
    form->addRow(u"&Dal giorno:"_s, from);
    form->addRow(u"&Al giorno (compreso):"_s, to);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"Annulla"_s);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, dialog, [this, dialog, from, to] {
        QString error;
        if (setRange(from->date(), to->date(), &error))
            dialog->accept();
        else
            warn(dialog, u"Altro periodo"_s, u"Periodo non valido: %1"_s.arg(error));
    });
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    connect(dialog, &QDialog::rejected, this,
            [this] { periodBox->setCurrentIndex(periodBox->findData(int(classSession->period()))); });
    dialog->open();
}

bool RegisterWindow::selectPupil(const QString &name)
{
    const QString key = classregister::ClassFigures::pupilKey(name);
    for (int row = 0; row < pupilOrder->rowCount(); ++row) {
        const int source = pupilOrder->mapToSource(pupilOrder->index(row, 0)).row();
        if (classregister::ClassFigures::pupilKey(pupils->record(source).name) == key) {
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
    notice->setText(noticeText(file.statusMessage(), classSession->period(), figures, file.skippedForNames()));
    notice->setVisible(!notice->text().isEmpty());
    skippedButton->setText(classregister::skippedLinesText(file.skippedCount()));
    skippedButton->setVisible(file.skippedCount() > 0);
    const QString className = classSession->classList().className();
    summary->setText((className.isEmpty() ? QString() : u"Classe %1 · "_s.arg(className)) +
                     periodSummaryText(classSession->period(), figures) + u"\n"_s + ruleText(figures.rule()));
    unlisted->setText(unlistedText(figures));
    unlisted->setVisible(!unlisted->text().isEmpty());
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

ReportContent RegisterWindow::sheetContent() const
{
    ReportContent content = classSession->reportContent();
    if (const classregister::PupilFigures *pupil = pupilGames->pupil())
        content.sheets = {classSession->figures().indexOf(pupil->name)};
    return content;
}

bool RegisterWindow::exportSheet(const QString &path, QString *error) const
{
    const ReportContent content = sheetContent();
    if (content.sheets.isEmpty()) {
        *error = u"Scegli prima un alunno nella tabella."_s;
        return false;
    }
    return writePdfReport(path, content, error);
}

bool RegisterWindow::saveCsv(const QString &path, QString *error) const
{
    return writeTableCsv(path, *pupilOrder, 0, error);
}

void RegisterWindow::copyTable() const
{
    QGuiApplication::clipboard()->setMimeData(tableMimeData(*pupilOrder, 0));
}

void RegisterWindow::tellSaved(const QString &title, bool saved, const QString &path, const QString &what,
                               const QString &error)
{
    const QFileInfo written(path);
    // Open, not exec: the window goes on following the register meanwhile.
    auto *box = new QMessageBox(saved ? QMessageBox::Information : QMessageBox::Warning, title,
                                saved ? u"%1 come «%2» nella cartella «%3»."_s.arg(
                                            what, written.fileName(), QDir::toNativeSeparators(written.absolutePath()))
                                      : error,
                                QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

namespace {

// A pupil's name in a file name: plain letters, digits and dashes.
QString fileNamePart(const QString &text)
{
    QString part;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            part += c.toLower();
        else if (!part.isEmpty() && !part.endsWith(u'-') && (c.isSpace() || c == u'-' || c == u'_'))
            part += u'-';
    }
    while (part.endsWith(u'-'))
        part.chop(1);
    return part.isEmpty() ? u"alunno"_s : part;
}

} // namespace

void RegisterWindow::askExportSheet()
{
    const classregister::PupilFigures *pupil = pupilGames->pupil();
    if (pupil == nullptr) {
        tellSaved(u"Scheda dell'alunno"_s, false, {}, {}, u"Scegli prima un alunno nella tabella."_s);
        return;
    }
    const QString name = pupil->name;
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
        u"/scheda-%1-%2.pdf"_s.arg(fileNamePart(name), classSession->today().toString(Qt::ISODate));
    const QString path =
        QFileDialog::getSaveFileName(this, u"Scheda dell'alunno: esporta PDF"_s, suggested, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    QString error;
    const bool saved = exportSheet(path, &error);
    tellSaved(u"Scheda dell'alunno"_s, saved, path, u"La scheda di %1 è stata salvata"_s.arg(name), error);
}

void RegisterWindow::askPrintSheet()
{
    ReportContent content = sheetContent();
    if (content.sheets.isEmpty()) {
        tellSaved(u"Scheda dell'alunno"_s, false, {}, {}, u"Scegli prima un alunno nella tabella."_s);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(u"Scheda di %1"_s.arg(content.figures->pupils().at(content.sheets.first()).name));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(u"Stampa la scheda dell'alunno"_s);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The register may have moved on while the dialog was open.
    content = sheetContent();
    if (content.sheets.isEmpty() || !printReport(printer, content))
        warn(this, u"Stampa"_s, u"Non è stato possibile stampare la scheda."_s);
}

void RegisterWindow::askSaveCsv()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
        u"/alunni-%1.csv"_s.arg(classSession->today().toString(Qt::ISODate));
    const QString path = QFileDialog::getSaveFileName(this, u"Salva la tabella come CSV"_s, suggested,
                                                      u"CSV per fogli di calcolo (*.csv)"_s);
    if (path.isEmpty())
        return;
    saveTable(path);
}

void RegisterWindow::saveTable(const QString &path)
{
    QString error;
    const bool saved = saveCsv(path, &error);
    tellSaved(u"Salva come CSV"_s, saved, path, u"La tabella degli alunni è stata salvata"_s, error);
}

bool RegisterWindow::saveClassList(const classregister::ClassList &list)
{
    QString error;
    if (classSession->saveClassList(list, &error))
        return true;
    tellSaved(u"Elenco della classe"_s, false, {}, {}, error);
    return false;
}

void RegisterWindow::editClassList()
{
    auto *dialog = new ClassListDialog(classSession->classList(), classSession->unlistedNames(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { saveClassList(dialog->list()); });
    dialog->open();
}

void RegisterWindow::askExportPdf()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
        u"/registro-%1.pdf"_s.arg(classSession->today().toString(Qt::ISODate));
    const QString path = QFileDialog::getSaveFileName(this, u"Esporta PDF"_s, suggested, u"PDF (*.pdf)"_s);
    if (!path.isEmpty())
        saveReport(path);
}

void RegisterWindow::saveReport(const QString &path)
{
    QString error;
    const bool saved = exportPdf(path, &error);
    tellSaved(u"Esporta PDF"_s, saved, path, u"Il resoconto è stato salvato"_s, error);
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
        warn(this, u"Stampa"_s, u"Non è stato possibile stampare il resoconto."_s);
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
    auto *box = new QMessageBox(QMessageBox::Information, u"Righe non lette"_s,
                                skippedLinesExplanation(file.skippedCount()), QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setDetailedText(skippedLinesDetail(file.skippedCount(), file.skippedLines()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace mirabolo::registro
