#include "numbers.h"

#include <QTime>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace mirabolo::runtime {

using namespace Qt::StringLiterals;

namespace {

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The time half of a long format without its time zone: a pupil's clock has
// no zone, and Qt offers nothing between the short format (no seconds) and
// the long one.
QString mediumTimeFormat(const QLocale &locale)
{
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    format.reserve(longFormat.size());
    bool quoted = false;
    for (const QChar c : longFormat) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            continue;
        }
        format.append(c);
    }
    format = format.trimmed();
    while (format.contains(u"  "_s)) {
        format.replace(u"  "_s, u" "_s);
    }
    return format;
}

} // namespace

QString numberToText(double value, const QLocale &locale)
{
    // Going through 15 significant digits first hides the binary noise of
    // the powers of 0.1 (0.030000000000000006 reads 0,03). QString::number
    // and toDouble ignore the C library's locale, so the round trip is safe
    // under any LC_NUMERIC.
    double rounded = QString::number(value, 'g', 15).toDouble();
    if (rounded == 0.0) {
        rounded = 0.0; // no "-0"
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(rounded, 'f', QLocale::FloatingPointShortest);
}

QString formatWhole(qint64 value, QStringView pattern)
{
    qsizetype first = -1;
    qsizetype last = -1;
    int minimumDigits = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isPlaceholder(pattern[i])) {
            if (first < 0) {
                first = i;
            }
            last = i;
            if (pattern[i] == u'0') {
                ++minimumDigits;
            }
        }
    }
    // A pattern without a digit placeholder is shown as it stands.
    if (first < 0) {
        return pattern.toString();
    }

    // Through the unsigned magnitude, so that the smallest qint64 has one.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    QString digits = magnitude == 0 ? QString() : QString::number(magnitude);
    if (digits.size() < minimumDigits) {
        digits.prepend(QString(minimumDigits - digits.size(), u'0'));
    }

    QString text;
    if (value < 0) {
        text.append(u'-');
    }
    text.append(pattern.first(first));
    text.append(digits);
    text.append(pattern.sliced(last + 1));
    return text;
}

QString formatMediumTime(double days, const QLocale &locale)
{
    if (!std::isfinite(days)) {
        return {};
    }
    // Day 0 is 1899-12-30 at midnight; before it the time of day still counts
    // forward from midnight, so only the size of the fraction matters.
    constexpr double millisecondsPerDay = 86400000.0;
    const double fraction = std::fabs(days - std::trunc(days));
    // Rounded to the second; a fraction that rounds up to a whole day is the
    // next midnight.
    auto seconds = static_cast<int>(std::lround(fraction * millisecondsPerDay / 1000.0));
    seconds %= 86400;
    const QTime time = QTime(0, 0).addSecs(seconds);
    return locale.toString(time, mediumTimeFormat(locale));
}

double val(QStringView text)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && isBlank(text[i])) {
        ++i;
    }

    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    std::string number;
    bool point = false;
    bool anyDigit = false;
    bool nonZeroWholeDigit = false;
    for (; i < size; ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            anyDigit = true;
            if (!point && c != u'0') {
                nonZeroWholeDigit = true;
            }
            number.push_back(static_cast<char>(c.unicode()));
        } else if (c == u'.' && !point) {
            point = true;
            number.push_back('.');
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }

    double result = 0.0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), result, std::chars_format::fixed);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too many digits before the point overflow; a run of zeros after it
        // underflows.
        result = nonZeroWholeDigit ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc()) {
        result = 0.0;
    }
    return negative ? -result : result;
}

std::optional<double> numericText(QStringView text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    // "inf" and "nan" are no numbers a pupil or a record file would write.
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<qint16> wholePart(double value)
{
    const double whole = std::floor(value);
    if (!(whole >= double(std::numeric_limits<qint16>::min()) && whole <= double(std::numeric_limits<qint16>::max()))) {
        return std::nullopt;
    }
    return static_cast<qint16>(whole);
}

} // namespace mirabolo::runtime
