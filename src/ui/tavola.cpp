#include "ui/tavola.h"

#include "ui/form.h"
#include "ui/gamecontroller.h"
#include "ui/platform.h"
#include "ui_tavola.h"

#include "game/gamemodel.h"
#include "game/speech.h"
#include "game/units.h"
#include "runtime/numbers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

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

Tavola::Tavola(Platform &desktop, GameController &gameController, QWidget *parent)
    : QMainWindow(parent)
    , platform(desktop)
    , controller(gameController)
    , game(gameController.model())
{
    // Started by StartClock only: a tick must never find the form unbuilt.
    Timer1.setInterval(clockInterval);
    connect(&Timer1, &QTimer::timeout, this, &Tavola::Timer1_Timer);
}

Tavola::~Tavola()
{
    // QWidget's own destructor still moves the focus, after this object is
    // no longer a Tavola.
    disconnect(focusWatch);
}

bool Tavola::hasEnded() const
{
    return game.hasEnded();
}

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
    focusWatch =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { rememberFocus(now); });
}

void Tavola::rememberFocus(QWidget *now)
{
    if (now && now->window() == this && now != menuBar() && !menuBar()->isAncestorOf(now))
        pupilFocus = now;
}

void Tavola::Form_Load()
{
    Timer1.stop();
    controller.greet();
    // The controls are built only now, while the window is still hidden: the
    // name prompt then comes up at once instead of after the whole form.
    buildForm();
    setCaption(ui->lblnome1, game.name());
    StartClock();
    controller.openRecords();
    setCaption(ui->lblpunti, game.recordText());
    setCaption(ui->lblnome, game.holderText());
    setAccessibleDescription(game::startSpeech(game.name(), game.recordText(), game.holderText()));
}

void Tavola::Form_Activate()
{
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
    setWindowTitle(game.countdown().text());
}

void Tavola::cmdNext_Click()
{
    if (game.hasEnded())
        return;
    game.nextExercise();
    showExercise();
}

void Tavola::showExercise()
{
    const game::Exercise &exercise = game.exercise();
    ui->txtAnswer->clear();
    ui->lblMessage->clear();
    ui->Label2->clear();
    ui->Text6->clear();
    ui->Text2->clear();
    resetReferenceLines();

    ui->Label2->setText(game.expectedText()); // kept as the form has it; never read back
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
}

void Tavola::txtAnswer_KeyPress(int keyAscii)
{
    if (keyAscii == enterKey && game.answer(ui->txtAnswer->text()))
        showVerdict();
}

void Tavola::showVerdict()
{
    const game::Scoreboard &score = game.score();
    ui->lblMessage->setText(game.message());
    if (game.verdict() == game::Verdict::Wrong) {
        ui->canvas->fillBackground(Qt::black);
        setCaption(ui->lblScore1, runtime::formatWhole(score.wrongCount(), u"###0"));
    }
    setCaption(ui->lblScore, runtime::formatWhole(score.rightCount(), u"####0"));
    setCaption(ui->lblScore2, runtime::formatWhole(score.totalCount(), u"####0"));
    // Read out when the button takes the focus below.
    ui->cmdNext->setAccessibleDescription(
        game::verdictSpeech(game.message(), score.rightCount(), score.wrongCount(), game.countdown().secondsLeft()));
    enableNextAndFocus();
}

void Tavola::enableNextAndFocus()
{
    ui->cmdNext->setEnabled(true);
    ui->cmdNext->setFocus();
}

void Tavola::StartClock()
{
    platform.startTimer(Timer1);
    showClock();
}

void Tavola::Timer1_Timer()
{
    game.tick();
    if (!game.hasEnded())
        showClock();
}

void Tavola::showClock()
{
    ui->lblconto->setText(game.countdown().text());
    if (isMinimized())
        ShowTimeInCaption();
}

void Tavola::cmdExit_Click()
{
    game.end(game::GameEnd::Exit);
}

void Tavola::Next_Click()
{
    if (!controller.confirmNewGame()) {
        // The box, and the menu bar when the question came from the keyboard,
        // took the focus; the game goes on in the control the pupil left, its
        // text and caret untouched. A window that is not active gets it back
        // when it is.
        if (pupilFocus && !game.hasEnded())
            pupilFocus->setFocus(Qt::MenuBarFocusReason);
        return;
    }
    retire();
    Q_EMIT restartRequested();
}

void Tavola::retire()
{
    Timer1.stop();
    hide();
}

void Tavola::interrupt()
{
    game.end(game::GameEnd::Interrupted);
    retire();
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
    if (watched == ui->txtAnswer && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() == Qt::OtherFocusReason) {
        // The game itself moves on after a verdict, and the next exercise will
        // empty the box. Orca takes a caret move in the focused box for a
        // silent focus change: with the caret already home, emptying it moves
        // none, and the box's focus is then read out. A box, a menu or another
        // window leaves the caret where the pupil put it.
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
    if (!firstExerciseQueued && !game.hasEnded() && !event->spontaneous()) {
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

void Tavola::keyPressEvent(QKeyEvent *event)
{
    // F10 takes the keyboard to the menu bar and back, as on Windows and
    // GNOME; Qt binds only Alt, so F10 plays a tap of Alt to the menu bar. A
    // key event of Alt reports its own modifier flipped.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(this, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(this, &release);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Tavola::closeEvent(QCloseEvent *event)
{
    // Closing through the desktop ends the program without the end of game.
    game.end(game::GameEnd::WindowClosed);
    retire();
    event->accept();
    Q_EMIT closedByUser();
}

} // namespace mirabolo::ui
