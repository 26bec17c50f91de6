// One game's end without a window: what the game stores and registers when
// its time runs out. Usage: endgame_worker FOLDER NAME SCORE
#include "records/recordstore.h"

#include <QCoreApplication>

#include <cstdio>

using namespace mirabolo::records;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirabolo"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 64;
    const RecordStore store(args[1], true);
    const QString recordAtStart = Leggifiletxt(store.recordFilePath()).value_or(QString());
    const GameSummary game{QDateTime::currentDateTime(), args[2], args[3].toInt(), 0, 0, GameEnd::TimeOut};
    const EndOfGame result = store.finishGame(args[3], recordAtStart, game);
    const char *outcomes[] = {"non battuto", "nuovo", "non salvato"};
    std::printf("%s %s\n", outcomes[int(result.record)], result.registered ? "registrato" : "non registrato");
    return 0;
}
