// The teacher's program's command line: which register, which period, and
// for the report with no window, which pages.
#pragma once

#include "classregister/classfigures.h"

#include <QString>

#include <optional>

class QCommandLineParser;

namespace mirabolo::registro {

struct Options
{
    QString registerPath; // empty: the class folder's, else the teacher's own
    QString classFolder; // --cartella-record
    classregister::Period period = classregister::Period::SchoolYear;
    classregister::DateSpan range; // the days of Period::Range
    QString classList; // --classe: the class list's file, instead of the teacher's own for the class
    QString pdf; // the report's file: no window
    QString pupil; // --alunno: that pupil's sheet alone
    bool sheets = false; // --schede: a sheet for each pupil in turn
    bool quitWhenReady = false;
};

// Declares the program's options and its one argument on `parser`.
void addOptions(QCommandLineParser &parser);

// What the command line asks, once `parser` has parsed it; none, with the
// reason in Italian in `error`, when its options do not go together.
std::optional<Options> readOptions(const QCommandLineParser &parser, QString *error);

} // namespace mirabolo::registro
