// What one exercise costs on screen, next to the cheapest thing that touches
// every pixel of the window, and a check that showing the window again does
// not draw the bands again.
//
// Run it on a real X display (bench/run gives it Xvfb): a repaint then goes all
// the way to the X server, and covering the window produces real exposes.
#include "ui/bandcanvas.h"
#include "ui/gamecontroller.h"
#include "ui/platform.h"
#include "ui/tavola.h"

#include "game/exercise.h"
#include "game/random.h"
#include "records/answerswriter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The bench links with the linker's --wrap for bandColour, so every band the
// canvas actually draws passes through here: a count of real drawing, not of
// requests to draw.
int bandsDrawn = 0;

} // namespace

// NOLINTBEGIN: the names are the linker's.
extern "C" mirabolo::game::BandColour __real__ZN8mirabolo4game10bandColourERKNS0_8ExerciseEi(
    const mirabolo::game::Exercise &exercise, int band);

extern "C" mirabolo::game::BandColour __wrap__ZN8mirabolo4game10bandColourERKNS0_8ExerciseEi(
    const mirabolo::game::Exercise &exercise, int band)
{
    ++bandsDrawn;
    return __real__ZN8mirabolo4game10bandColourERKNS0_8ExerciseEi(exercise, band);
}
// NOLINTEND

namespace {

constexpr QSize windowSize(792, 554);

// Answers the start-up boxes of the game window without showing them.
class SilentPlatform final : public mirabolo::ui::Platform
{
public:
    Answer msgBox(const QString &, Buttons, const QString &) override { return Answer::Ok; }
    QString inputBox(const QString &) override { return u"Zoe"_s; }
    void startTimer(QTimer &timer) override { timer.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    QLocale locale() const override { return QLocale::system(); }
    void terminate() override { }
};

// One colour over the whole widget, a new one at every paint.
class PlainWidget final : public QWidget
{
public:
    PlainWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), (m_odd = !m_odd) ? QColor(20, 40, 60) : QColor(60, 40, 20));
    }

private:
    bool m_odd = false;
};

// Counts what reaches a widget or a window.
class EventCounter final : public QObject
{
public:
    EventCounter(QObject *target, QEvent::Type type)
        : m_type(type)
    {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

class BenchExercise : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fullWindowFill();
    void fullWindowRepaint();
    void exercise();
    void exerciseParts_data();
    void exerciseParts();
    void windowExercise();
    void exposeDoesNotRedrawBands_data();
    void exposeDoesNotRedrawBands();

private:
    QTemporaryDir m_dataHome;
    bool onRealDisplay() const { return QGuiApplication::platformName() == u"xcb"_s; }
};

void BenchExercise::initTestCase()
{
    // The game window keeps its records here, never in the real home.
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    qInfo("platform %s, device pixel ratio %g", qPrintable(QGuiApplication::platformName()), qApp->devicePixelRatio());
}

void BenchExercise::fullWindowFill()
{
    QPixmap surface(windowSize);
    const QColor colours[] = {QColor(20, 40, 60), QColor(60, 40, 20)};
    int next = 0;
    QBENCHMARK
    {
        surface.fill(colours[next ^= 1]);
    }
}

// The least the toolkit spends to put a whole fresh window on screen: a
// widget that paints one colour, repainted. Not a goal; it shows how much of
// one exercise no drawing code of the game can save.
void BenchExercise::fullWindowRepaint()
{
    PlainWidget plain;
    plain.resize(windowSize);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QBENCHMARK
    {
        plain.repaint();
    }
}

void BenchExercise::exercise()
{
    mirabolo::ui::BandCanvas canvas;
    canvas.resize(windowSize);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    mirabolo::game::ClockSeededRandom random;
    QBENCHMARK
    {
        canvas.paintBands(mirabolo::game::drawExercise(random));
        canvas.repaint();
    }
}

// Not a goal of its own: where the time of one exercise goes.
void BenchExercise::exerciseParts_data()
{
    QTest::addColumn<QString>("part");
    QTest::newRow("draw") << u"draw"_s;
    QTest::newRow("bands") << u"bands"_s;
    QTest::newRow("repaint") << u"repaint"_s;
}

void BenchExercise::exerciseParts()
{
    QFETCH(QString, part);
    mirabolo::ui::BandCanvas canvas;
    canvas.resize(windowSize);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    mirabolo::game::ClockSeededRandom random;
    mirabolo::game::Exercise exercise = mirabolo::game::drawExercise(random);
    canvas.paintBands(exercise);
    canvas.repaint();
    if (part == u"draw"_s) {
        QBENCHMARK
        {
            exercise = mirabolo::game::drawExercise(random);
        }
    } else if (part == u"bands"_s) {
        QBENCHMARK
        {
            canvas.paintBands(exercise);
        }
    } else {
        QBENCHMARK
        {
            canvas.repaint();
        }
    }
}

// Not a goal of its own: the whole window's next exercise (captions, fonts of
// the reference lines, the bands) and the repaint of everything it changed.
void BenchExercise::windowExercise()
{
    SilentPlatform platform;
    mirabolo::game::ClockSeededRandom random;
    mirabolo::records::AnswersWriter answers;
    auto *controller = new mirabolo::ui::GameController(platform, random, answers);
    mirabolo::ui::Tavola window(platform, *controller);
    controller->setParent(&window);
    window.Form_Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(!window.findChild<QLabel *>(u"Label2"_s)->text().isEmpty());
    QBENCHMARK
    {
        window.cmdNext_Click();
        window.repaint();
    }
}

void BenchExercise::exposeDoesNotRedrawBands_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("repaint of the canvas") << u"repaint"_s;
    QTest::newRow("uncovered by another window") << u"uncover"_s;
    QTest::newRow("hidden and shown again") << u"reshow"_s;
}

void BenchExercise::exposeDoesNotRedrawBands()
{
    QFETCH(QString, how);
    if (how != u"repaint"_s && !onRealDisplay())
        QSKIP("needs a real X display");

    mirabolo::ui::BandCanvas canvas;
    canvas.setGeometry(QRect(QPoint(0, 0), windowSize));
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    mirabolo::game::ClockSeededRandom random;

    int drawnBefore = bandsDrawn;
    canvas.paintBands(mirabolo::game::drawExercise(random));
    QVERIFY2(bandsDrawn - drawnBefore == mirabolo::game::bandCount,
             "paintBands did not draw each band once through bandColour: the drawing counter is blind");

    // From here on nothing may draw a band: the exercise's own repaint, then
    // the window shown again.
    EventCounter paints(&canvas, QEvent::Paint);
    EventCounter exposes(canvas.windowHandle(), QEvent::Expose);
    const int requestsBefore = canvas.bandPaintCount();
    drawnBefore = bandsDrawn;
    canvas.repaint();
    paints.count = 0;

    if (how == u"repaint"_s) {
        canvas.repaint();
        QVERIFY(paints.count > 0);
    } else if (how == u"uncover"_s) {
        QWidget cover;
        cover.setGeometry(QRect(QPoint(0, 0), windowSize));
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        cover.hide();
        QTRY_VERIFY(exposes.count > 0);
        QCoreApplication::processEvents();
    } else {
        canvas.hide();
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        QTRY_VERIFY(paints.count > 0);
    }

    QCOMPARE(canvas.bandPaintCount(), requestsBefore);
    QCOMPARE(bandsDrawn - drawnBefore, 0);
}

QTEST_MAIN(BenchExercise)
#include "bench_exercise.moc"
