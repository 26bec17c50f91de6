// The game's one window. Each handler reads as the steps it performs; the
// arithmetic, texts and files are left to game/, clock/ and records/.
#pragma once

#include "clock/countdown.h"
#include "game/scoring.h"
#include "records/recordstore.h"
#include "ui_tavola.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <optional>

namespace mirabolo::game {
class RandomSource;
}

namespace mirabolo::ui {

class Platform;

class Tavola : public QMainWindow
{
    Q_OBJECT

public:
    Tavola(Platform &platform, game::RandomSource &random, QWidget *parent = nullptr);
    ~Tavola() override;

    // The start-up sequence; the owner runs it before showing the window. The
    // controls exist from its greeting on.
    void Form_Load();

    // Stops this window for good before its owner destroys it: no timer, no
    // handler runs afterwards.
    void retire();

    const Ui::Tavola &form() const { return ui; }
    const game::Scoreboard &scoreboard() const { return score; }
    const clock::Countdown &countdown() const { return m_clock; }
    bool timerRunning() const { return Timer1.isActive(); }
    bool hasEnded() const { return m_ended; }

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

private:
    void buildForm();
    void StartClock();
    void EndGame();
    void ShowTimeInCaption();
    void loadRecords();
    void resetReferenceLines();
    void highlightReferenceLine(int unitNumber, const QColor &colour);
    void setCaption(QLabel *label, const QString &text);
    void enableNextAndFocus();
    bool typesDecimalSeparator(QKeyEvent *event);

    Platform &m_platform;
    game::RandomSource &m_random;
    Ui::Tavola ui{};
    std::array<QLineEdit *, 7> Text1{}; // indexes 1 to 6, like the reference lines
    QTimer Timer1;

    game::Scoreboard score;
    clock::Countdown m_clock;
    std::optional<QString> dataDir;
    std::optional<records::RecordStore> store;

    bool m_firstExerciseQueued = false;
    bool m_ended = false;
};

} // namespace mirabolo::ui
