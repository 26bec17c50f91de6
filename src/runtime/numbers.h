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

// A whole number through a numeric pattern of '#' and '0': each '0' is a
// digit that is always shown (zero-padded), '#' adds nothing. "00" gives
// "05", "###0" and "####0" give the plain digits. A negative value keeps
// its minus sign in front of the digits. Other characters before and after
// the placeholders stay as they are; a pattern without any ("15") is shown
// as it stands.
QString formatWhole(qint64 value, QStringView pattern);

// A count of days read as a date-time and shown as its time of day in the
// locale's medium (seconds included) time format: a whole number always
// reads as midnight.
QString formatMediumTime(double days, const QLocale &locale);

// The leading number of a text: leading blanks skipped, then an optional
// sign and digits with at most one '.' as decimal point, up to the first
// other character. 0 when the
// text does not start with a number. Never depends on the locale.
double val(QStringView text);

// A whole text read as a number by the locale's rules (surrounding blanks
// allowed). Empty when the text is not a number: the caller decides what a
// mismatch means instead of the program ending.
std::optional<double> numericText(QStringView text, const QLocale &locale);

// The largest whole number not above value, as a 16-bit integer; empty when
// it does not fit.
std::optional<qint16> wholePart(double value);

} // namespace mirabolo::runtime
