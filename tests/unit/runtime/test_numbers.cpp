#include "runtime/numbers.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QLocale italian()
{
    return QLocale(QLocale::Italian, QLocale::Italy);
}

constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberToText_data();
    void numberToText();
    void numberToTextIgnoresCLibraryLocale();
    void formatWhole_data();
    void formatWhole();
    void formatMediumTime_data();
    void formatMediumTime();
    void val_data();
    void val();
    void numericText_data();
    void numericText();
    void wholePart_data();
    void wholePart();
};

void TestNumbers::numberToText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    const QLocale it = italian();
    const QLocale c = QLocale::c();
    // Products of powers of 0.1 carry binary noise that must not show.
    QTest::newRow("it: 3 tenths") << it << std::pow(0.1, 1.0) * 3 << u"0,3"_s;
    QTest::newRow("it: 3 hundredths") << it << std::pow(0.1, 2.0) * 3 << u"0,03"_s;
    QTest::newRow("it: 11 thousandths") << it << std::pow(0.1, 3.0) * 11 << u"0,011"_s;
    QTest::newRow("it: 1 hundred-thousandth") << it << std::pow(0.1, 5.0) * 1 << u"0,00001"_s;
    QTest::newRow("it: 9 hundred-thousandths") << it << std::pow(0.1, 5.0) * 9 << u"0,00009"_s;
    QTest::newRow("it: 15 hundred-thousandths") << it << std::pow(0.1, 5.0) * 15 << u"0,00015"_s;
    QTest::newRow("it: tenth of tenth") << it << 1e-10 << u"0,0000000001"_s;
    QTest::newRow("it: sum with noise") << it << 0.1 + 0.2 << u"0,3"_s;
    QTest::newRow("it: a third, 15 digits") << it << 1.0 / 3.0 << u"0,333333333333333"_s;
    QTest::newRow("it: two thirds rounds up") << it << 2.0 / 3.0 << u"0,666666666666667"_s;
    QTest::newRow("it: whole") << it << 30.0 << u"30"_s;
    QTest::newRow("it: no grouping") << it << std::pow(10.0, 5.0) * 20 << u"2000000"_s;
    QTest::newRow("it: no grouping, fraction") << it << 12345.5 << u"12345,5"_s;
    QTest::newRow("it: large, no exponent") << it << 1e20 << u"100000000000000000000"_s;
    QTest::newRow("it: 18 digits rounded to 15") << it << 123456789012345678.0 << u"123456789012346000"_s;
    QTest::newRow("it: negative") << it << -2.5 << u"-2,5"_s;
    QTest::newRow("it: zero") << it << 0.0 << u"0"_s;
    QTest::newRow("it: negative zero") << it << -0.0 << u"0"_s;
    QTest::newRow("C: 3 tenths") << c << std::pow(0.1, 1.0) * 3 << u"0.3"_s;
    QTest::newRow("C: 9 hundred-thousandths") << c << std::pow(0.1, 5.0) * 9 << u"0.00009"_s;
    QTest::newRow("C: no grouping") << c << 2000000.0 << u"2000000"_s;
    QTest::newRow("C: fraction") << c << 12345.5 << u"12345.5"_s;
}

void TestNumbers::numberToText()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, text);

    QCOMPARE(mirabolo::runtime::numberToText(value, locale), text);
}

// The application sets the C library's locale from the environment; an
// Italian LC_NUMERIC must not leak a comma into parsing or a point into text.
void TestNumbers::numberToTextIgnoresCLibraryLocale()
{
    const char *const previous = std::setlocale(LC_NUMERIC, nullptr);
    const QByteArray saved = previous ? QByteArray(previous) : QByteArrayLiteral("C");
    if (!std::setlocale(LC_NUMERIC, "it_IT.UTF-8")) {
        QSKIP("it_IT.UTF-8 is not installed");
    }

    const QString cText = mirabolo::runtime::numberToText(0.5, QLocale::c());
    const QString itText = mirabolo::runtime::numberToText(0.5, italian());
    const double leading = mirabolo::runtime::val(u"3.5");
    std::setlocale(LC_NUMERIC, saved.constData());

    QCOMPARE(cText, u"0.5"_s);
    QCOMPARE(itText, u"0,5"_s);
    QCOMPARE(leading, 3.5);
}

void TestNumbers::formatWhole_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");

    QTest::newRow("00: one digit padded") << qint64(5) << u"00"_s << u"05"_s;
    QTest::newRow("00: two digits") << qint64(15) << u"00"_s << u"15"_s;
    QTest::newRow("00: zero") << qint64(0) << u"00"_s << u"00"_s;
    QTest::newRow("00: three digits kept") << qint64(123) << u"00"_s << u"123"_s;
    QTest::newRow("00: negative") << qint64(-5) << u"00"_s << u"-05"_s;
    QTest::newRow("###0: zero") << qint64(0) << u"###0"_s << u"0"_s;
    QTest::newRow("###0: one digit") << qint64(7) << u"###0"_s << u"7"_s;
    QTest::newRow("####0: zero") << qint64(0) << u"####0"_s << u"0"_s;
    QTest::newRow("####0: largest counter") << qint64(32767) << u"####0"_s << u"32767"_s;
    QTest::newRow("####0: beyond the placeholders") << qint64(1234567) << u"####0"_s << u"1234567"_s;
    QTest::newRow("#: zero shows nothing") << qint64(0) << u"#"_s << QString();
    QTest::newRow("smallest qint64") << std::numeric_limits<qint64>::min() << u"0"_s << u"-9223372036854775808"_s;
    QTest::newRow("literal pattern") << qint64(3) << u"15"_s << u"15"_s;
    QTest::newRow("literals around digits") << qint64(7) << u"[00]"_s << u"[07]"_s;
}

void TestNumbers::formatWhole()
{
    QFETCH(qint64, value);
    QFETCH(QString, pattern);
    QFETCH(QString, text);

    QCOMPARE(mirabolo::runtime::formatWhole(value, pattern), text);
}

void TestNumbers::formatMediumTime_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("text");

    const QLocale it = italian();
    QTest::newRow("it: day zero") << it << 0.0 << u"00:00:00"_s;
    QTest::newRow("it: whole count of seconds") << it << 900.0 << u"00:00:00"_s;
    QTest::newRow("it: half a day") << it << 0.5 << u"12:00:00"_s;
    QTest::newRow("it: seconds shown") << it << (13 * 3600 + 4 * 60 + 5) / 86400.0 << u"13:04:05"_s;
    QTest::newRow("it: later day") << it << 1.25 << u"06:00:00"_s;
    QTest::newRow("it: before day zero") << it << -1.25 << u"06:00:00"_s;
    QTest::newRow("it: rounds into midnight") << it << 0.99999999999 << u"00:00:00"_s;
    QTest::newRow("C") << QLocale::c() << 0.75 << u"18:00:00"_s;
    QTest::newRow("en_US keeps AM/PM") << QLocale(QLocale::English, QLocale::UnitedStates) << 0.75 << u"6:00:00 PM"_s;
}

void TestNumbers::formatMediumTime()
{
    QFETCH(QLocale, locale);
    QFETCH(double, days);
    QFETCH(QString, text);

    QCOMPARE(mirabolo::runtime::formatMediumTime(days, locale), text);
}

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("blanks only") << u"  \t "_s << 0.0;
    QTest::newRow("record line with CR LF") << u"12\r\n"_s << 12.0;
    QTest::newRow("leading blanks") << u" \t\r\n42"_s << 42.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("number then unit") << u"3.5kg"_s << 3.5;
    QTest::newRow("comma ends the number") << u"1,5"_s << 1.0;
    QTest::newRow("second point ends the number") << u"1.2.3"_s << 1.2;
    QTest::newRow("blank ends the number") << u"12 34"_s << 12.0;
    QTest::newRow("no exponent") << u"1e3"_s << 1.0;
    QTest::newRow("leading point") << u".5"_s << 0.5;
    QTest::newRow("trailing point") << u"5."_s << 5.0;
    QTest::newRow("point alone") << u"."_s << 0.0;
    QTest::newRow("sign alone") << u"-"_s << 0.0;
    QTest::newRow("negative") << u"-4.25"_s << -4.25;
    QTest::newRow("plus sign") << u"+8"_s << 8.0;
    QTest::newRow("leading zeros") << u"00012"_s << 12.0;
    QTest::newRow("full-width digits") << u"\uFF11\uFF12"_s << 0.0;
    QTest::newRow("huge digit string") << QString(400, u'9') << infinity;
    QTest::newRow("huge negative digit string") << (u"-"_s + QString(400, u'9')) << -infinity;
    QTest::newRow("million digits") << QString(1000000, u'1') << infinity;
    QTest::newRow("vanishing fraction") << (u"0."_s + QString(400, u'0') + u"1"_s) << 0.0;
    QTest::newRow("many digits after the point") << (u"2."_s + QString(2000, u'5')) << 23.0 / 9.0;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);

    QCOMPARE(mirabolo::runtime::val(text), value);
}

void TestNumbers::numericText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    const QLocale it = italian();
    const QLocale c = QLocale::c();
    QTest::newRow("it: decimal comma") << it << u"0,3"_s << true << 0.3;
    QTest::newRow("it: blanks around") << it << u"  12 \r\n"_s << true << 12.0;
    QTest::newRow("it: negative") << it << u"-2"_s << true << -2.0;
    QTest::newRow("it: empty") << it << QString() << false << 0.0;
    QTest::newRow("it: blanks only") << it << u"   "_s << false << 0.0;
    QTest::newRow("it: letters") << it << u"abc"_s << false << 0.0;
    QTest::newRow("it: number then unit") << it << u"3,5kg"_s << false << 0.0;
    QTest::newRow("it: infinity word") << it << u"inf"_s << false << 0.0;
    QTest::newRow("it: not a number word") << it << u"nan"_s << false << 0.0;
    QTest::newRow("it: overflow") << it << u"1e400"_s << false << 0.0;
    QTest::newRow("C: decimal point") << c << u"0.3"_s << true << 0.3;
    QTest::newRow("C: comma is no decimal separator") << c << u"1,5"_s << false << 0.0;
}

void TestNumbers::numericText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);

    const std::optional<double> number = mirabolo::runtime::numericText(text, locale);
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber) {
        QCOMPARE(*number, value);
    }
}

void TestNumbers::wholePart_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("whole");

    QTest::newRow("positive fraction") << 2.7 << true << 2;
    QTest::newRow("negative fraction goes down") << -2.5 << true << -3;
    QTest::newRow("zero") << 0.0 << true << 0;
    QTest::newRow("just below one") << 0.9999999999999999 << true << 0;
    QTest::newRow("largest") << 32767.9 << true << 32767;
    QTest::newRow("past the largest") << 32768.0 << false << 0;
    QTest::newRow("smallest") << -32768.0 << true << -32768;
    QTest::newRow("below the smallest") << -32768.5 << false << 0;
    QTest::newRow("huge") << 1e300 << false << 0;
    QTest::newRow("infinity") << infinity << false << 0;
    QTest::newRow("minus infinity") << -infinity << false << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void TestNumbers::wholePart()
{
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, whole);

    const std::optional<qint16> part = mirabolo::runtime::wholePart(value);
    QCOMPARE(part.has_value(), fits);
    if (fits) {
        QCOMPARE(int(*part), whole);
    }
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
