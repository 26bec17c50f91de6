// The class's report on A4 pages, the same on paper and in a PDF: heading,
// summary, the pupils' table, the class chart, then one section per pupil
// with their chart and their games.
#pragma once

#include "classregister/classfigures.h"
#include "classregister/registerparser.h"

#include <QDate>
#include <QList>
#include <QString>

class QPagedPaintDevice;

namespace mirabolo::registro {

struct ReportContent
{
    QString source; // the folder of the register, or the file when given alone
    classregister::Period period = classregister::Period::All;
    QDate today;
    const classregister::ClassFigures *figures = nullptr;
    QString notice; // why the class is empty, when it is
    qint64 skippedCount = 0;
    QList<classregister::SkippedLine> skippedLines;
    qint64 skippedForNames = 0; // of skippedCount, the lines of names beyond the register's bound
};

// Draws the report on `device`, a QPdfWriter or a QPrinter set to A4 by the
// caller or by the print dialog. False when the device cannot be painted on.
bool printReport(QPagedPaintDevice &device, const ReportContent &content);

// Writes the report as a PDF at `path`, replacing what stands there (never
// through a link) only once it is whole, with this account's usual mode. On
// failure `error` says why in Italian.
bool writePdfReport(const QString &path, const ReportContent &content, QString *error);

} // namespace mirabolo::registro
