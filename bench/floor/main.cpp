// A bare Qt Widgets window of the game's shape: a menu bar, a fixed 792 x 554
// client area, a few labels, one line edit and a one-second timer that
// updates a label. Nothing else, so that it measures the toolkit alone.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(u"Floor"_s);

    QMenu *menu = window.menuBar()->addMenu(u"Menu"_s);
    menu->addAction(u"Uno"_s);
    menu->addAction(u"Due"_s);
    window.menuBar()->addAction(u"Altro"_s);

    auto *central = new QWidget;
    central->setFixedSize(792, 554);
    window.setCentralWidget(central);

    auto *title = new QLabel(u"3 dl = ? cl"_s, central);
    title->setGeometry(40, 40, 300, 40);
    auto *hint = new QLabel(u"Scrivi la risposta e premi Invio"_s, central);
    hint->setGeometry(40, 100, 300, 24);
    auto *clock = new QLabel(u"15:00"_s, central);
    clock->setGeometry(600, 40, 120, 24);
    auto *answer = new QLineEdit(central);
    answer->setGeometry(40, 140, 200, 28);

    int secondsLeft = 15 * 60;
    QTimer timer;
    timer.setInterval(1000);
    QObject::connect(&timer, &QTimer::timeout, clock, [&secondsLeft, clock] {
        --secondsLeft;
        clock->setText(u"%1:%2"_s.arg(secondsLeft / 60).arg(secondsLeft % 60, 2, 10, QLatin1Char('0')));
    });
    timer.start();

    answer->setFocus();
    window.show();
    return QApplication::exec();
}
