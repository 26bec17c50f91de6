// How figures read in the window and in the report alike: Italian decimal
// commas and dates from the program's locale.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace mirabolo::classregister {
struct DateSpan;
enum class Period;
struct SkippedLine;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

// "7", "1.234".
QString countText(int count);
// "83,3%"; a dash when nothing was answered.
QString percentText(std::optional<double> fraction);
// "83%": one game's accuracy, where a tenth of a percent is noise.
QString wholePercentText(std::optional<double> fraction);
// "+5,2 punti", "−3,0 punti"; a dash without earlier games to compare.
QString trendText(std::optional<double> points);
// "07/12/2026".
QString dateText(const QDate &day);
// "07/12", under a heading that gives the year.
QString dayMonthText(const QDate &day);
// "07/12/2026 09:12".
QString dateTimeText(const QDateTime &when);
// "09:12".
QString timeText(const QDateTime &when);
// "Anno scolastico (dal 01/09/2026 al 31/08/2027)", "Tutto"; a range of
// days chosen: "Dal 01/02/2027 al 10/06/2027".
QString periodText(classregister::Period period, const classregister::DateSpan &span);
// "riga 5: data non leggibile".
QString skippedLineText(const classregister::SkippedLine &line);

} // namespace mirabolo::registro
