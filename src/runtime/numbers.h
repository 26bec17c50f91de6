// Number and text conversions the game relies on. They decide what a pupil
// must type to be right, so they are exact about separators and digits.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace mirabolo::runtime {

// A double as the game shows it: rounded to 15 significant digits, trailing
// zeros dropped, no exponent (a pupil cannot type "9E-05"), no digit grouping,
// the locale's decimal separator.
QString numberToText(double value, const QLocale &locale);

// A whole number through a numeric pattern of '#' and '0' as the game uses
// them: each '0' is a digit always shown, so "00" gives "05", while "###0"
// and "####0" give the plain digits.
QString formatWhole(qint64 value, QStringView pattern);

// The leading number of a text: leading blanks skipped, then an optional
// sign and digits with at most one '.' as decimal point, up to the first
// other character; 0 when the text does not start with a number. Never
// depends on the locale.
double val(QStringView text);

// A whole text read as a number by the locale's rules (surrounding blanks
// allowed). Empty when the text is not a number: the caller decides what a
// mismatch means instead of the program ending.
std::optional<double> numericText(QStringView text, const QLocale &locale);

} // namespace mirabolo::runtime
