// What the teacher's window pays to read a register whole, and to take in one
// more game once it has read it: the reading and the class figures, without
// drawing. MIRABOLO_BENCH_REGISTER names the register (make_register makes
// one); the file itself is never written, the appends go to a copy.
#include "classregister/classfigures.h"
#include "classregister/registerfile.h"
#include "records/endgame.h"

#include <QFile>
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
        mirabolo::records::GameSummary game;
        game.end = followed->games().constLast().when.addSecs(60);
        game.name = figures.pupils().constFirst().name;
        game.right = 12;
        game.wrong = 3;
        game.ending = mirabolo::records::GameEnd::TimeOut;
        const QByteArray line = mirabolo::records::registerLine(game, mirabolo::records::StoreOutcome::NotBeaten);
        QBENCHMARK
        {
            appender.write(line);
            appender.flush();
            if (takeIn(*followed, figures) != 1)
                QFAIL("one game appended, but not one game read");
        }
        QCOMPARE(figures.pupils().size(), pupils);
    }

private:
    QString source;
    QTemporaryDir copy;
    std::optional<RegisterFile> followed;
    ClassFigures figures;
    QFile appender;
};

QTEST_GUILESS_MAIN(BenchRegistro)
#include "bench_registro.moc"
