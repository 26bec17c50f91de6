// What the teacher's program pays to read a register whole, and to take in
// one more game once it has read it: first the reading and the class figures
// alone, then the whole window (run it on a display: bench/run-registro gives
// it Xvfb). MIRABOLO_BENCH_REGISTER names the register (make_register makes
// one), with or without its answers beside it; the files themselves are
// never written, the appends go to copies.
#include "classregister/answersreader.h"
#include "classregister/classfigures.h"
#include "classregister/registerfile.h"
#include "records/endgame.h"
#include "registro/registerwindow.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using mirabolo::classregister::ClassFigures;
using mirabolo::classregister::RegisterFile;

namespace {

// Everything the window learns from a register: its games, and the figures
// of the whole class.
qsizetype takeIn(RegisterFile &file, ClassFigures &figures)
{
    file.refresh();
    const auto &games = file.games();
    for (qsizetype i = file.appendedFrom(); i < games.size(); ++i)
        figures.add(games.at(i));
    return games.size() - file.appendedFrom();
}

// The line of one more game of a pupil already in the register.
QByteArray oneMoreLine(const RegisterFile &file, const ClassFigures &figures)
{
    mirabolo::records::GameSummary game;
    game.end = file.games().constLast().when.addSecs(60);
    game.name = figures.pupils().constFirst().name;
    game.right = 12;
    game.wrong = 3;
    game.ending = mirabolo::records::GameEnd::TimeOut;
    return mirabolo::classregister::registerLine(game, mirabolo::records::StoreOutcome::NotBeaten);
}

// Counts the paintings of every widget while it lives.
class PaintCounter : public QObject
{
public:
    PaintCounter() { qApp->installEventFilter(this); }
    qint64 count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The answers of one more game of a pupil already there: the last game's
// answers, a day later.
QByteArray oneMoreGameAnswers(const QString &answersPath)
{
    QFile file(answersPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(std::max<qint64>(0, file.size() - 16384)))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // after the last line end
    const QByteArray start = lines.constLast().split(';').value(3);
    QByteArray game;
    for (auto line = lines.crbegin(); line != lines.crend() && line->split(';').value(3) == start; ++line) {
        QList<QByteArray> fields = line->split(';');
        const QDate day = QDate::fromString(QString::fromLatin1(fields.at(0)), Qt::ISODate).addDays(1);
        fields[0] = day.toString(Qt::ISODate).toLatin1();
        fields[3] = day.toString(Qt::ISODate).toLatin1() + fields[3].mid(10);
        game.prepend(fields.join(';') + '\n');
    }
    return game;
}

// The window reads a large register in slices between event-loop turns, and
// its answers with it; "Cosa ripassare" is the tab shown, so that drawing it
// is timed.
bool waitUntilShown(mirabolo::registro::RegisterWindow &window)
{
    QSignalSpy ready(&window, &mirabolo::registro::RegisterWindow::ready);
    window.findChild<QTabWidget *>()->setCurrentIndex(1);
    window.show();
    if (!window.isReady() && !ready.wait(120'000))
        return false;
    window.repaint();
    return true;
}

} // namespace

class BenchRegistro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        source = qEnvironmentVariable("MIRABOLO_BENCH_REGISTER");
        if (source.isEmpty() || !QFile::exists(source))
            QSKIP("MIRABOLO_BENCH_REGISTER names no register");
    }

    void fullLoad()
    {
        qsizetype games = 0;
        QBENCHMARK
        {
            RegisterFile file(source);
            ClassFigures whole;
            games = takeIn(file, whole);
        }
        QVERIFY(games > 0);
        qInfo("%lld games read", qlonglong(games));
    }

    // QtTest calls this again for each trial count it tries: the whole read
    // of the copy is done once, before.
    void oneMoreGame()
    {
        if (!followed) {
            followed.emplace(copy.filePath(u"registro.csv"_s));
            QVERIFY(QFile::copy(source, followed->path()));
            QVERIFY(takeIn(*followed, figures) > 0);
            appender.setFileName(followed->path());
            QVERIFY(appender.open(QIODevice::Append));
        }
        const qsizetype pupils = figures.pupils().size();
        const QByteArray line = oneMoreLine(*followed, figures);
        QBENCHMARK
        {
            appender.write(line);
            appender.flush();
            if (takeIn(*followed, figures) != 1)
                QFAIL("one game appended, but not one game read");
        }
        QCOMPARE(figures.pupils().size(), pupils);
    }

    void windowFullLoad()
    {
        QBENCHMARK_ONCE
        {
            mirabolo::registro::RegisterWindow shown(source, mirabolo::classregister::Period::All, &today);
            QVERIFY(waitUntilShown(shown));
            QVERIFY(shown.session().figures().games() > 0);
        }
    }

    // From the game's line on disk to the window drawn again with it: the
    // event loop paints what changed, as it does while the teacher watches.
    void windowOneMoreGame()
    {
        if (!window) {
            QVERIFY(QFile::copy(source, windowCopy.filePath(u"registro.csv"_s)));
            const QString answers = mirabolo::classregister::answersPathBeside(source);
            QVERIFY(!QFile::exists(answers) ||
                    QFile::copy(answers, mirabolo::classregister::answersPathBeside(windowCopy.path() + u"/x"_s)));
            window.emplace(windowCopy.filePath(u"registro.csv"_s), mirabolo::classregister::Period::All, &today);
            QVERIFY(waitUntilShown(*window));
            window->session().setFollowing(false);
            windowAppender.setFileName(windowCopy.filePath(u"registro.csv"_s));
            QVERIFY(windowAppender.open(QIODevice::Append));
        }
        const QByteArray line = oneMoreLine(window->session().file(), window->session().figures());
        const qint64 before = window->session().figures().games();
        qint64 appended = 0;
        QCoreApplication::processEvents();
        PaintCounter paints;
        QBENCHMARK
        {
            windowAppender.write(line);
            windowAppender.flush();
            ++appended;
            window->session().refresh();
            QCoreApplication::processEvents();
        }
        QCOMPARE(window->session().figures().games(), before + appended);
        QVERIFY2(paints.count >= appended, "a game appended, but nothing painted");
    }

    // From one more game's answers on disk to "Cosa ripassare" drawn again.
    void windowOneMoreGameAnswers()
    {
        if (!window)
            QSKIP("windowOneMoreGame did not run");
        const QString answersPath = mirabolo::classregister::answersPathBeside(window->session().registerPath());
        if (!QFile::exists(answersPath))
            QSKIP("no answers beside the register");
        const QByteArray lines = oneMoreGameAnswers(answersPath);
        QVERIFY(lines.count('\n') > 0);
        const auto counted = [this] { return window->session().answers().figures().wholeClass().answers(); };
        const qint64 before = counted();
        qint64 appended = 0;
        QFile answersAppender(answersPath);
        QVERIFY(answersAppender.open(QIODevice::Append));
        QCoreApplication::processEvents();
        PaintCounter paints;
        QBENCHMARK
        {
            answersAppender.write(lines);
            answersAppender.flush();
            ++appended;
            window->session().refresh();
            QCoreApplication::processEvents();
        }
        QCOMPARE(counted(), before + appended * lines.count('\n'));
        QVERIFY2(paints.count >= appended, "answers appended, but nothing painted");
        qInfo("%lld answers a game", qlonglong(lines.count('\n')));
    }

private:
    QString source;
    QTemporaryDir copy;
    std::optional<RegisterFile> followed;
    ClassFigures figures;
    QFile appender;
    QTemporaryDir windowCopy;
    std::optional<mirabolo::registro::RegisterWindow> window;
    QFile windowAppender;

    static QDate today() { return {2026, 12, 7}; }
};

QTEST_MAIN(BenchRegistro)
#include "bench_registro.moc"
