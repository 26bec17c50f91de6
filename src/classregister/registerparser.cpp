#include "classregister/registerparser.h"

namespace mirabolo::classregister {

void RegisterParser::feed(QByteArrayView) { }

void RegisterParser::finish() { }

QList<GameRecord> RegisterParser::takeGames()
{
    return std::exchange(games, {});
}

std::optional<GameRecord> RegisterParser::parseLine(QByteArrayView, bool *)
{
    return std::nullopt;
}

QString skippedLinesText(qint64)
{
    return {};
}

} // namespace mirabolo::classregister
