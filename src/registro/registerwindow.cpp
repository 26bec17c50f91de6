#include "registro/registerwindow.h"

#include "registro/charts.h"
#include "registro/chartview.h"
#include "registro/liveregister.h"
#include "registro/pupiltablemodel.h"
#include "registro/texts.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
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
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
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
void compactRows(QTableView &view)
{
    view.verticalHeader()->hide();
    view.verticalHeader()->setMinimumSectionSize(1);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 8);
}

QTableView *numbersView(QAbstractItemModel *model, const QString &name)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    compactRows(*view);
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

// Every column whole: the chart beside the table gives way rather than the
// table's last column.
void fitColumns(QTableView &view)
{
    view.resizeColumnsToContents();
    view.setMinimumWidth(view.horizontalHeader()->length() + 2 * view.frameWidth() +
                         view.verticalScrollBar()->sizeHint().width());
}

// Columns are sized to their contents when a table is filled, not on every
// change (that measures every cell): a changed row only widens them.
void widenColumnsFor(QTableView &view, int row)
{
    const int grid = view.showGrid() ? 1 : 0;
    for (int column = 0; column < view.model()->columnCount(); ++column) {
        const int wanted = view.sizeHintForIndex(view.model()->index(row, column)).width() + grid;
        if (wanted > view.columnWidth(column))
            view.setColumnWidth(column, wanted);
    }
}

void fillRow(QStandardItemModel &model, const QStringList &cells, const QList<int> &rightAligned, int row = -1)
{
    QList<QStandardItem *> items;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        auto *item = new QStandardItem(cells.at(c));
        if (rightAligned.contains(int(c)))
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    model.insertRow(row < 0 ? model.rowCount() : row, items);
}

} // namespace

QString registerSource(const QString &registerPath)
{
    const QFileInfo info(registerPath);
    return info.fileName() == u"registro.csv"_s ? info.absolutePath() : info.absoluteFilePath();
}

RegisterWindow::RegisterWindow(const QString &path, Period period, Today clock, QWidget *parent)
    : QMainWindow(parent)
    , today(std::move(clock))
    , shownPeriod(period)
{
    buildActions();
    setCentralWidget(buildCentre());
    setTabOrder(periodBox, pupilTable);
    setTabOrder(pupilTable, classNumbersView);
    setTabOrder(classNumbersView, pupilNumbersView);
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
    openRegister(path);
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
    add(u"Es&ci"_s, "application-exit", QKeySequence::Quit, &QWidget::close);

    bar->addSeparator();
    auto *label = new QLabel(u" &Periodo: "_s);
    periodBox = new QComboBox;
    for (Period p : periods)
        periodBox->addItem(classregister::periodName(p), QVariant::fromValue(int(p)));
    label->setBuddy(periodBox);
    bar->addWidget(label);
    bar->addWidget(periodBox);
    periodBox->setCurrentIndex(periodBox->findData(int(shownPeriod)));
    connect(periodBox, &QComboBox::activated, this,
            [this](int index) { setPeriod(Period(periodBox->itemData(index).toInt())); });
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
    summary->setWordWrap(true);
    QFont big = summary->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    summary->setFont(big);
    summary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(notice);
    layout->addWidget(summary);

    pupilModel = new PupilTableModel(classFigures, this);
    pupilOrder = new QSortFilterProxyModel(this);
    pupilOrder->setSourceModel(pupilModel);
    pupilOrder->setSortRole(PupilTableModel::SortRole);
    pupilOrder->setDynamicSortFilter(true);
    pupilTable = new QTableView;
    pupilTable->setModel(pupilOrder);
    pupilTable->setAccessibleName(u"Alunni della classe"_s);
    pupilTable->setSortingEnabled(true);
    pupilTable->sortByColumn(PupilTableModel::Name, Qt::AscendingOrder);
    pupilTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pupilTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pupilTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pupilTable->setTabKeyNavigation(false);
    compactRows(*pupilTable);
    pupilTable->horizontalHeader()->setStretchLastSection(true);
    connect(pupilTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                const qsizetype row = pupilOrder->mapToSource(current).row();
                selectedKey = classregister::ClassFigures::pupilKey(classFigures.pupils().at(row).name);
                showPupil();
            });

    auto *classBox = new QGroupBox(u"Precisione per alunno"_s);
    auto *classLayout = new QHBoxLayout(classBox);
    classChartView = new ChartView(u"Grafico: precisione per alunno"_s);
    classChartView->setDraw([this](QPainter &painter, const QRectF &area, const QRectF &exposed) {
        // A few pupils' bars stay bars, not slabs.
        QRectF bars = area;
        bars.setHeight(std::min(area.height(), 2 * classBars.naturalHeight()));
        classBars.draw(painter, bars, exposed);
    });
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(classChartView);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setMinimumWidth(300); // the percentages under the bars stay whole
    classNumbers = new QStandardItemModel(this);
    classNumbersView = numbersView(classNumbers, u"Precisione per alunno, in numeri"_s);
    classLayout->addWidget(new BesideOrBelow(scroll, classNumbersView));

    auto *pupilBox = new QGroupBox(u"Partite dell'alunno scelto"_s);
    auto *pupilLayout = new QVBoxLayout(pupilBox);
    pupilTitle = plainLabel();
    pupilTitle->setWordWrap(true);
    pupilLayout->addWidget(pupilTitle);
    pupilChartView = new ChartView(u"Grafico: partite dell'alunno scelto"_s);
    pupilChartView->setDraw([this](QPainter &painter, const QRectF &area, const QRectF &) {
        if (selectedRow >= 0)
            pupilChart.draw(painter, area, classFigures.pupils().at(selectedRow));
    });
    pupilNumbers = new QStandardItemModel(this);
    pupilNumbersView = numbersView(pupilNumbers, u"Partite dell'alunno scelto, in numeri"_s);
    pupilChartView->setMinimumWidth(320); // room for both axes and the legend
    pupilChartView->setMinimumHeight(160);
    pupilLayout->addWidget(new BesideOrBelow(pupilChartView, pupilNumbersView), 1);

    auto *charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(classBox);
    charts->addWidget(pupilBox);
    charts->setChildrenCollapsible(false);
    // In the proportion both need for their tables beside their charts.
    charts->setStretchFactor(0, 2);
    charts->setStretchFactor(1, 3);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(pupilTable);
    split->addWidget(charts);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);
    return centre;
}

void RegisterWindow::openRegister(const QString &path)
{
    delete liveRegister;
    registerPath = path;
    liveRegister = new LiveRegister(path, this);
    connect(liveRegister, &LiveRegister::reloaded, this, &RegisterWindow::registerReloaded);
    connect(liveRegister, &LiveRegister::appended, this, &RegisterWindow::gamesAppended);
    connect(liveRegister, &LiveRegister::settled, this, &RegisterWindow::registerSettled);
    setWindowTitle(u"Registro di Mirabolo — %1"_s.arg(registerSource(path)));
    fileLabel->setText(u"Registro: %1"_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    rebuildPending = true;
    liveRegister->setPolling(true);
    liveRegister->refresh();
}

void RegisterWindow::setPeriod(Period period)
{
    shownPeriod = period;
    periodBox->setCurrentIndex(periodBox->findData(int(period)));
    // The games outside the old period were not kept: read them again.
    liveRegister->readAgain();
}

bool RegisterWindow::selectPupil(const QString &name)
{
    const QString key = classregister::ClassFigures::pupilKey(name);
    for (int row = 0; row < pupilOrder->rowCount(); ++row) {
        const qsizetype source = pupilOrder->mapToSource(pupilOrder->index(row, 0)).row();
        if (classregister::ClassFigures::pupilKey(classFigures.pupils().at(source).name) == key) {
            pupilTable->setCurrentIndex(pupilOrder->index(row, 0));
            return true;
        }
    }
    return false;
}

void RegisterWindow::registerReloaded()
{
    rebuildPending = true;
    selectedRow = -1; // the rows are counted again
    newSelectedGames.clear();
    pupilModel->beginRebuild();
    classFigures = classregister::ClassFigures(classregister::periodSpan(shownPeriod, today()));
    for (const classregister::GameRecord &game : liveRegister->file().games())
        classFigures.add(game);
    pupilModel->endRebuild();
}

void RegisterWindow::gamesAppended(qsizetype first)
{
    const QList<classregister::GameRecord> &games = liveRegister->file().games();
    if (rebuildPending) {
        // Still reading the register whole: one reset costs less than a
        // signal per game.
        pupilModel->beginRebuild();
        for (qsizetype i = first; i < games.size(); ++i)
            classFigures.add(games.at(i));
        pupilModel->endRebuild();
        return;
    }
    for (qsizetype i = first; i < games.size(); ++i) {
        qsizetype position = 0;
        const qsizetype row = classFigures.add(games.at(i), &position);
        if (row < 0)
            continue;
        pupilModel->pupilChanged(row);
        changedPupils.append(row);
        if (row == selectedRow)
            newSelectedGames.append(position);
        else if (selectedRow < 0 && classregister::ClassFigures::pupilKey(games.at(i).name) == selectedKey)
            selectedChanged = true; // the pupil chosen before has games again
    }
}

void RegisterWindow::registerSettled()
{
    if (rebuildPending) {
        rebuildPending = false;
        classFigures.squeeze();
        restoreSelection();
        selectedChanged = true;
        wholeClassChanged = true;
    }
    const classregister::RegisterFile &file = liveRegister->file();
    const QString message = file.statusMessage();
    QStringList notes{
        message.isEmpty() && classFigures.games() == 0
            ? u"Nessuna partita nel periodo scelto: %1."_s.arg(periodText(shownPeriod, classFigures.span()).toLower())
            : message,
        classregister::tooManyNamesText(file.skippedForNames())};
    notes.removeAll(QString());
    notice->setText(notes.join(u'\n'));
    notice->setVisible(!notice->text().isEmpty());
    skippedButton->setText(classregister::skippedLinesText(file.skippedCount()));
    skippedButton->setVisible(file.skippedCount() > 0);
    if (wholeClassChanged)
        pupilTable->resizeColumnsToContents();
    else
        for (const qsizetype row : std::as_const(changedPupils))
            widenColumnsFor(*pupilTable, pupilOrder->mapFromSource(pupilModel->index(int(row), 0)).row());
    showClass();
    if (selectedChanged)
        showPupil();
    else if (!newSelectedGames.isEmpty())
        addPupilGames();
    if (!shownOnce) {
        shownOnce = true;
        Q_EMIT ready();
    }
}

void RegisterWindow::restoreSelection()
{
    if (pupilOrder->rowCount() == 0) {
        selectedKey.clear();
        return;
    }
    const QString wanted = selectedKey;
    if (wanted.isEmpty() || !selectPupil(wanted)) {
        pupilTable->setCurrentIndex(pupilOrder->index(0, 0));
    }
}

void RegisterWindow::showClass()
{
    const QLocale locale;
    summary->setText(u"%1 — Partite: %2 · Alunni: %3 · Esatte: %4 · Errate: %5 · Precisione: %6"_s.arg(
        periodText(shownPeriod, classFigures.span()), locale.toString(classFigures.games()),
        locale.toString(classFigures.pupils().size()), locale.toString(classFigures.right()),
        locale.toString(classFigures.wrong()), percentText(classFigures.accuracy())));

    const QList<qsizetype> order = pupilsByAccuracy(classFigures);
    const auto accuracyCell = [this](qsizetype row) { return percentText(classFigures.pupils().at(row).accuracy()); };
    if (!wholeClassChanged && order == classOrder) {
        // One more game mostly leaves every pupil in place.
        for (const qsizetype row : std::as_const(changedPupils))
            if (const qsizetype at = order.indexOf(row); at >= 0) {
                classNumbers->item(int(at), 0)->setText(classFigures.pupils().at(row).name);
                classNumbers->item(int(at), 1)->setText(accuracyCell(row));
                widenColumnsFor(*classNumbersView, int(at));
            }
    } else if (!wholeClassChanged && order.size() == classOrder.size()) {
        for (qsizetype at = 0; at < order.size(); ++at) {
            classNumbers->item(int(at), 0)->setText(classFigures.pupils().at(order.at(at)).name);
            classNumbers->item(int(at), 1)->setText(accuracyCell(order.at(at)));
        }
        fitColumns(*classNumbersView);
    } else {
        classNumbers->clear();
        classNumbers->setHorizontalHeaderLabels({u"Alunno"_s, u"Precisione"_s});
        for (qsizetype row : order)
            fillRow(*classNumbers, {classFigures.pupils().at(row).name, accuracyCell(row)}, {1});
        fitColumns(*classNumbersView);
    }
    classOrder = order;
    classBars.setPupils(classFigures, order);
    classChartView->setPlaceholder(order.isEmpty() ? u"Nessuna risposta da mostrare nel periodo scelto."_s : QString());
    classChartView->setMinimumHeight(int(std::ceil(classBars.naturalHeight() * classChartView->scale())));
    classChartView->update();
    wholeClassChanged = false;
    changedPupils.clear();
}

void RegisterWindow::showPupil()
{
    selectedChanged = false;
    newSelectedGames.clear();
    selectedRow = -1;
    for (qsizetype row = 0; row < classFigures.pupils().size(); ++row)
        if (classregister::ClassFigures::pupilKey(classFigures.pupils().at(row).name) == selectedKey)
            selectedRow = row;
    pupilNumbers->clear();
    pupilNumbers->setHorizontalHeaderLabels(gameColumnTitles());
    pupilChartView->setPlaceholder(selectedRow < 0 ? u"Nessuna partita da mostrare."_s : QString());
    if (selectedRow < 0) {
        pupilTitle->setText(u"Scegli un alunno nella tabella."_s);
    } else {
        const classregister::PupilFigures &pupil = classFigures.pupils().at(selectedRow);
        showPupilHeading(pupil);
        for (const classregister::GameRecord &game : pupil.games)
            fillRow(*pupilNumbers, gameCells(game), {2, 3, 4});
        pupilNumbersView->scrollToBottom();
    }
    fitColumns(*pupilNumbersView);
    pupilChartView->update();
}

void RegisterWindow::showPupilHeading(const classregister::PupilFigures &pupil)
{
    pupilTitle->setText(u"%1 — Partite: %2 · Precisione: %3 · Andamento: %4%5"_s.arg(
        pupil.name, QLocale().toString(pupil.games.size()), percentText(pupil.accuracy()), trendText(pupil.trend()),
        pupil.needsFollowing() ? u" · da seguire"_s : QString()));
}

// The selected pupil's new games join their table one by one, not the whole
// table again: a pupil of many games would cost each game that pupil plays.
void RegisterWindow::addPupilGames()
{
    const classregister::PupilFigures &pupil = classFigures.pupils().at(selectedRow);
    const bool atEnd =
        pupilNumbersView->verticalScrollBar()->value() == pupilNumbersView->verticalScrollBar()->maximum();
    for (const qsizetype at : std::as_const(newSelectedGames)) {
        fillRow(*pupilNumbers, gameCells(pupil.games.at(at)), {2, 3, 4}, int(at));
        widenColumnsFor(*pupilNumbersView, int(at));
    }
    newSelectedGames.clear();
    if (atEnd)
        pupilNumbersView->scrollToBottom();
    showPupilHeading(pupil);
    pupilChartView->update();
}

ReportContent RegisterWindow::reportContent() const
{
    const classregister::RegisterFile &file = liveRegister->file();
    return {registerSource(registerPath),
            shownPeriod,
            today(),
            &classFigures,
            file.statusMessage(),
            file.skippedCount(),
            file.skippedLines(),
            file.skippedForNames()};
}

bool RegisterWindow::exportPdf(const QString &path, QString *error) const
{
    return writePdfReport(path, reportContent(), error);
}

void RegisterWindow::askExportPdf()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
        u"/registro-%1.pdf"_s.arg(today().toString(Qt::ISODate));
    const QString path = QFileDialog::getSaveFileName(this, u"Esporta PDF"_s, suggested, u"PDF (*.pdf)"_s);
    if (!path.isEmpty())
        saveReport(path);
}

void RegisterWindow::saveReport(const QString &path)
{
    QString error;
    const bool saved = exportPdf(path, &error);
    const QFileInfo written(path);
    // Open, not exec: the window goes on following the register meanwhile.
    auto *box = new QMessageBox(saved ? QMessageBox::Information : QMessageBox::Warning, u"Esporta PDF"_s,
                                saved ? u"Il resoconto è stato salvato come «%1» nella cartella «%2»."_s.arg(
                                            written.fileName(), QDir::toNativeSeparators(written.absolutePath()))
                                      : error,
                                QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
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
    if (!printReport(printer, reportContent()))
        warn(this, u"Stampa"_s, u"Non è stato possibile stampare il resoconto."_s);
}

void RegisterWindow::askOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, u"Apri un registro"_s, QFileInfo(registerPath).path(),
                                                      u"Registri di Mirabolo (*.csv);;Tutti i file (*)"_s);
    if (!path.isEmpty())
        openRegister(path);
}

void RegisterWindow::showSkippedLines()
{
    const classregister::RegisterFile &file = liveRegister->file();
    QStringList lines;
    for (const classregister::SkippedLine &line : file.skippedLines())
        lines << skippedLineText(line);
    if (file.skippedCount() > lines.size())
        lines << u"e altre %1"_s.arg(classregister::skippedLinesText(file.skippedCount() - lines.size()));
    auto *box = new QMessageBox(
        QMessageBox::Information, u"Righe non lette"_s,
        u"Alcune righe del registro non descrivono una partita di Mirabolo e sono state saltate: %1."_s.arg(
            classregister::skippedLinesText(file.skippedCount())),
        QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setDetailedText(lines.join(u'\n'));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace mirabolo::registro
