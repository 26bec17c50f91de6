// The game's one window: a view of the game model. Each handler forwards the
// pupil's action to the model and shows what changed; the rules, texts and
// files live in game/, clock/, records/ and the game controller.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QKeyEvent;

namespace Ui {
class Tavola;
}

namespace mirabolo::game {
class GameModel;
}

namespace mirabolo::ui {

class GameController;
class Platform;

class Tavola : public QMainWindow
{
    Q_OBJECT

public:
    Tavola(Platform &desktop, GameController &controller, QWidget *parent = nullptr);
    ~Tavola() override;

    // The start-up sequence; the owner runs it before showing the window. The
    // controls exist from its greeting on.
    void Form_Load();

    // Stops this window for good before its owner destroys it: no timer, no
    // handler runs afterwards.
    void retire();

    // The desktop ends the session: this game ends with only its register
    // line, as when the window is closed.
    void interrupt();

    bool hasEnded() const;

public Q_SLOTS:
    void Form_Activate();
    void Form_Resize();
    void cmdNext_Click();
    void txtAnswer_KeyPress(int keyAscii);
    void Timer1_Timer();
    void cmdExit_Click();
    void Next_Click();

Q_SIGNALS:
    // The pupil confirmed a new game: the owner replaces this window.
    void restartRequested();
    // The pupil closed the window through the desktop.
    void closedByUser();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    void StartClock();
    void ShowTimeInCaption();
    void showClock();
    void showExercise();
    void showVerdict();
    void resetReferenceLines();
    void highlightReferenceLine(int unitNumber, const QColor &colour);
    void setCaption(QLabel *label, const QString &text);
    void enableNextAndFocus();
    bool typesDecimalSeparator(QKeyEvent *event);
    static bool isAccessKey(const QKeyEvent *event);
    void rememberFocus(QWidget *now);

    Platform &platform;
    GameController &controller;
    game::GameModel &game;
    std::unique_ptr<Ui::Tavola> ui; // built by Form_Load, after the name prompt
    std::array<QLineEdit *, 7> Text1{}; // indexes 1 to 6, like the reference lines
    QTimer Timer1;
    QPointer<QWidget> pupilFocus; // the control the pupil was in, never the menu bar
    QMetaObject::Connection focusWatch;

    bool firstExerciseQueued = false;
};

} // namespace mirabolo::ui
