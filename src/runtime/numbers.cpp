#include "runtime/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace mirabolo::runtime {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
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
    const auto minimumDigits = int(pattern.count(u'0'));
    // Through the unsigned magnitude, so that the smallest qint64 has one.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude).rightJustified(minimumDigits, u'0');
    return value < 0 ? u'-' + digits : digits;
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

} // namespace mirabolo::runtime
