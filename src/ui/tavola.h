// The game's one window. Each handler reads as the steps it performs; the
// arithmetic, texts and files are left to game/, clock/ and records/.
#pragma once

#include "clock/countdown.h"
#include "game/scoring.h"
#include "records/recordstore.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QKeyEvent;

namespace Ui {
class Tavola;
}

namespace mirabolo::game {
class RandomSource;
}

namespace mirabolo::ui {

class Platform;

class Tavola : public QMainWindow
{
    Q_OBJECT

public:
    // `classFolder`: where a lab keeps its class record; empty for the
    // pupil's own data folder.
    Tavola(Platform &desktop, game::RandomSource &draws, QString classFolder = {}, QWidget *parent = nullptr);
    ~Tavola() override;

    // The start-up sequence; the owner runs it before showing the window. The
    // controls exist from its greeting on.
    void Form_Load();

    // Stops this window for good before its owner destroys it: no timer, no
    // handler runs afterwards.
    void retire();

    bool hasEnded() const { return ended; }

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
    static bool isAccessKey(const QKeyEvent *event);

    Platform &platform;
    game::RandomSource &random;
    std::unique_ptr<Ui::Tavola> ui; // built by Form_Load, after the name prompt
    std::array<QLineEdit *, 7> Text1{}; // indexes 1 to 6, like the reference lines
    QTimer Timer1;

    game::Scoreboard score;
    clock::Countdown countdown;
    QString classFolder;
    std::optional<QString> dataDir;
    std::optional<records::RecordStore> store;
    records::GameEnd ending = records::GameEnd::Exit; // why EndGame runs

    bool firstExerciseQueued = false;
    bool ended = false;
};

} // namespace mirabolo::ui
