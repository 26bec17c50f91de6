// The class's report on A4 pages, the same on paper and in a PDF: heading,
// summary, the pupils' table, the class chart, then one section per pupil
// with their chart and their games.
#pragma once

#include "registro/reportcontent.h"

class QPagedPaintDevice;

namespace mirabolo::registro {

// The rows of figures.pupils() by name, as the report lists the pupils.
QList<qsizetype> pupilsByName(const classregister::ClassFigures &figures);

// Draws the report on `device`, a QPdfWriter or a QPrinter set to A4 by the
// caller or by the print dialog. False when the device cannot be painted on.
bool printReport(QPagedPaintDevice &device, const ReportContent &content);

// Writes the report as a PDF at `path`, replacing what stands there (never
// through a link) only once it is whole, with this account's usual mode. On
// failure `error` says why in Italian.
bool writePdfReport(const QString &path, const ReportContent &content, QString *error);

} // namespace mirabolo::registro
