#include "tavola.h"

#include "form.h"
#include "platform.h"
#include "ui_tavola.h"

#include "game/exercise.h"
#include "game/random.h"
#include "game/speech.h"
#include "game/units.h"
#include "records/endgame.h"
#include "runtime/numbers.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

namespace {

constexpr int enterKey = 13;
constexpr int clockInterval = 1000;
constexpr qreal plainLineSize = 18;
constexpr qreal highlightedLineSize = 24;

const QString caption = u"Giocare con le brunaste"_s;

void setForeColor(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setFontSize(QWidget *widget, qreal points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}

} // namespace

Tavola::Tavola(Platform &desktop, game::RandomSource &draws, QString folder, QWidget *parent)
    : QMainWindow(parent)
    , platform(desktop)
    , random(draws)
    , classFolder(std::move(folder))
{
    // Started by StartClock only: a tick must never find the form unbuilt.
    Timer1.setInterval(clockInterval);
    connect(&Timer1, &QTimer::timeout, this, &Tavola::Timer1_Timer);
}

Tavola::~Tavola() = default;

void Tavola::buildForm()
{
    ui = std::make_unique<Ui::Tavola>();
    ui->setupUi(this);
    finishForm(this, *ui);
    Text1 = {nullptr, ui->Text1_1, ui->Text1_2, ui->Text1_3, ui->Text1_4, ui->Text1_5, ui->Text1_6};

    connect(ui->cmdNext, &QPushButton::clicked, this, &Tavola::cmdNext_Click);
    connect(ui->cmdExit, &QPushButton::clicked, this, &Tavola::cmdExit_Click);
    connect(ui->Next, &QAction::triggered, this, &Tavola::Next_Click);
    ui->txtAnswer->installEventFilter(this);
}

void Tavola::Form_Load()
{
    score.reset();
    Timer1.stop();
    const QString name = platform.inputBox(u"Come ti chiami?"_s);
    platform.msgBox(u" "_s + name + u" vediamo se sei un vero campione  "_s);
    // The controls are built only now, while the window is still hidden: the
    // name prompt then comes up at once instead of after the whole form.
    buildForm();
    setCaption(ui->lblnome1, name);
    StartClock();
    loadRecords();
    ui->lblconto->setText(countdown.text());
    setAccessibleDescription(game::startSpeech(name, ui->lblpunti->text(), ui->lblnome->text()));
}

void Tavola::Form_Activate()
{
    if (ended)
        return;
    cmdNext_Click();
}

void Tavola::Form_Resize()
{
    if (isMinimized())
        ShowTimeInCaption();
    else
        setWindowTitle(caption);
}

void Tavola::ShowTimeInCaption()
{
    // The time left, so that a minimised game still tells how long is left.
    setWindowTitle(countdown.text());
}

void Tavola::cmdNext_Click()
{
    if (ended)
        return;
    ui->txtAnswer->clear();
    ui->lblMessage->clear();

    const game::Exercise exercise = game::drawExercise(random);

    ui->Label2->clear();
    ui->Text6->clear();
    ui->Text2->clear();
    resetReferenceLines();

    ui->Label2->setText(game::expectedAnswerText(exercise, platform.locale()));
    ui->Text6->setText(QString::number(exercise.quantity));
    ui->Text3->setText(game::unitAbbreviation(exercise.source));
    highlightReferenceLine(exercise.source, Qt::red);
    ui->Text4->setPlainText(game::unitAbbreviation(exercise.target));
    highlightReferenceLine(exercise.target, QColor(0, 255, 0));

    ui->canvas->paintBands(exercise);
    // Read out when the answer box takes the focus, now or on a later Tab.
    ui->txtAnswer->setAccessibleDescription(game::exerciseQuestion(exercise) + u' ' + ui->txtAnswer->toolTip());

    ui->txtAnswer->setFocus();
    ui->cmdNext->setEnabled(false);
    ui->txtAnswer->setFocus();
    score.openExercise();
}

void Tavola::txtAnswer_KeyPress(int keyAscii)
{
    if (ended || keyAscii != enterKey)
        return;
    const QString expected = ui->Label2->text();
    const std::optional<game::Verdict> verdict = score.judge(ui->txtAnswer->text(), expected);
    if (!verdict)
        return; // this exercise has had its verdict

    ui->lblMessage->setText(game::verdictMessage(*verdict, expected));
    if (*verdict == game::Verdict::Wrong) {
        ui->canvas->fillBackground(Qt::black);
        setCaption(ui->lblScore1, runtime::formatWhole(score.wrongCount, u"###0"));
    }
    setCaption(ui->lblScore, runtime::formatWhole(score.rightCount, u"####0"));
    setCaption(ui->lblScore2, runtime::formatWhole(score.totalCount(), u"####0"));
    // Read out when the button takes the focus below.
    ui->cmdNext->setAccessibleDescription(
        game::verdictSpeech(ui->lblMessage->text(), score.rightCount, score.wrongCount, countdown.secondsLeft));
    enableNextAndFocus();
}

void Tavola::enableNextAndFocus()
{
    ui->cmdNext->setEnabled(true);
    ui->cmdNext->setFocus();
}

void Tavola::StartClock()
{
    Timer1.start();
    countdown.start();
    ui->lblconto->setText(countdown.text());
}

void Tavola::Timer1_Timer()
{
    if (ended)
        return;
    if (ui->lblconto->text() == QStringView(clock::zeroClockText)) {
        ending = records::GameEnd::TimeOut;
        EndGame();
        return;
    }
    countdown.tick();
    ui->lblconto->setText(countdown.text());
    if (isMinimized())
        ShowTimeInCaption();
}

void Tavola::cmdExit_Click()
{
    ending = records::GameEnd::Exit;
    EndGame();
}

void Tavola::EndGame()
{
    // Ticks go on behind the boxes below; the end takes effect only once.
    if (ended)
        return;
    ended = true;

    // The game as it stood when it ended, whatever happens behind the boxes.
    const records::GameSummary game{platform.now(),   ui->lblnome1->text(),  score.rightCount,
                                    score.wrongCount, countdown.secondsLeft, ending};
    platform.msgBox(records::farewellPrompt(game.secondsLeft), Platform::OkOnly,
                    records::farewellTitle(game.end.date(), platform.locale()));

    const records::EndOfGame result = store->finishGame(ui->lblScore->text(), ui->lblpunti->text(), game);

    if (result.record == records::StoreOutcome::Stored)
        platform.msgBox(QString::fromUtf16(records::newRecordMessage));
    else if (result.record == records::StoreOutcome::Failed)
        platform.msgBox(QString::fromUtf16(records::recordNotSavedMessage));
    if (!result.registered)
        platform.msgBox(QString::fromUtf16(records::registerNotWrittenMessage));

    Timer1.stop();
    platform.terminate();
}

void Tavola::Next_Click()
{
    if (ended)
        return;
    const int answer =
        platform.msgBox(u"INIZIAMO UNA NUOVA GARA  ?"_s, Platform::YesNoQuestionDefaultNo, u"INIZIARE NUOVA GARA"_s);
    // The time may have run out while the question was open.
    if (ended || answer == Platform::No)
        return;
    retire();
    Q_EMIT restartRequested();
}

void Tavola::retire()
{
    Timer1.stop();
    ended = true;
    hide();
}

void Tavola::loadRecords()
{
    dataDir = records::recordFolder(classFolder);
    std::optional<QString> recordText;
    std::optional<QString> holderText;
    if (dataDir) {
        const records::RecordStore files(*dataDir, !classFolder.isEmpty());
        if (files.ensureFilesExist()) {
            recordText = records::Leggifiletxt(files.recordFilePath());
            holderText = records::Leggifiletxt(files.holderFilePath());
        }
    }
    const bool usable = recordText && holderText;
    // Without usable files the store has no folder: it writes nothing, and a
    // beaten record is reported as not saved.
    store.emplace(usable ? *dataDir : QString(), !classFolder.isEmpty());
    setCaption(ui->lblpunti, recordText.value_or(QString()));
    setCaption(ui->lblnome, holderText.value_or(QString()));
    if (!usable) // the pupil plays on with an empty record line
        platform.msgBox(QString::fromUtf16(records::recordsUnavailableMessage));
}

void Tavola::resetReferenceLines()
{
    for (int line = 6; line >= 1; --line) {
        setForeColor(Text1[line], Qt::black);
        setFontSize(Text1[line], plainLineSize);
    }
}

void Tavola::highlightReferenceLine(int unitNumber, const QColor &colour)
{
    QLineEdit *line = Text1[game::referenceLineOf(unitNumber)];
    setForeColor(line, colour);
    setFontSize(line, highlightedLineSize);
}

void Tavola::setCaption(QLabel *label, const QString &text)
{
    label->setText(text);
    if (label->property("autoSize").toBool())
        label->adjustSize();
}

bool Tavola::typesDecimalSeparator(QKeyEvent *event)
{
    // The keypad's decimal key must give the separator a right answer uses,
    // whatever the keyboard layout sends.
    if (!(event->modifiers() & Qt::KeypadModifier) || (event->key() != Qt::Key_Period && event->key() != Qt::Key_Comma))
        return false;
    ui->txtAnswer->insert(platform.locale().decimalPoint());
    return true;
}

bool Tavola::isAccessKey(const QKeyEvent *event)
{
    // Alt+letter belongs to the access keys: one whose button is disabled must
    // not type its letter. Ctrl+Alt is AltGr on Windows and types symbols.
    const Qt::KeyboardModifiers mods = event->modifiers();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z;
}

bool Tavola::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->txtAnswer && event->type() == QEvent::FocusOut) {
        // Orca takes a caret move in the focused box for a silent focus
        // change: with the caret already home, emptying the box for the next
        // exercise moves none, and the box's focus is then read out.
        ui->txtAnswer->setCursorPosition(0);
    }
    if (watched == ui->txtAnswer && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Holding Enter down is not a new answer.
            if (!key->isAutoRepeat())
                txtAnswer_KeyPress(enterKey);
        } else if (typesDecimalSeparator(key) || isAccessKey(key)) {
            return true;
        } else if (!key->text().isEmpty()) {
            txtAnswer_KeyPress(key->text().at(0).unicode());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tavola::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    Form_Resize();
    // The first exercise comes once the window is on screen, whether or not
    // the desktop makes it the active window.
    if (!firstExerciseQueued && !ended && !event->spontaneous()) {
        firstExerciseQueued = true;
        QMetaObject::invokeMethod(this, &Tavola::Form_Activate, Qt::QueuedConnection);
    }
}

void Tavola::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Tavola::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Tavola::closeEvent(QCloseEvent *event)
{
    // Closing through the desktop ends the program without the end of game.
    retire();
    event->accept();
    Q_EMIT closedByUser();
}

} // namespace mirabolo::ui
