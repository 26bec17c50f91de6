// The command line of both programs, read with Italian texts for the help and
// version options too (Qt's own translation leaves them in English).
#pragma once

class QCommandLineParser;
class QCoreApplication;

namespace mirabolo::runtime {

// Adds -h/--help and -v/--version, to be read by processCommandLine.
void addHelpAndVersion(QCommandLineParser &parser);

// QCommandLineParser::process, with the options above: the help or the version
// is printed and the program ends.
void processCommandLine(QCommandLineParser &parser, const QCoreApplication &app);

// Whether a window can be shown at all: without a display Qt would abort with
// a long message, and each program says it in one line of its own instead.
bool displayAvailable();

} // namespace mirabolo::runtime
