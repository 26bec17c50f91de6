#include "runtime/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace mirabolo::runtime {

namespace {

const QString helpName = u"help"_s;
const QString versionName = u"version"_s;

} // namespace

void addHelpAndVersion(QCommandLineParser &parser)
{
    parser.addOption({{u"h"_s, helpName}, u"Mostra questo aiuto ed esce."_s});
    parser.addOption({{u"v"_s, versionName}, u"Mostra la versione del programma ed esce."_s});
}

void processCommandLine(QCommandLineParser &parser, const QCoreApplication &app)
{
    parser.process(app);
    if (parser.isSet(helpName))
        parser.showHelp(0);
    if (parser.isSet(versionName))
        parser.showVersion();
}

bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace mirabolo::runtime
