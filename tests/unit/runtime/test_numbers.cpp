#include "runtime/numbers.h"

#include <QFile>
#include <QTest>
#include <QTextStream>

#include <clocale>

using namespace Qt::StringLiterals;
using namespace mirabolo;

namespace {

QString shortest(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', QLocale::FloatingPointShortest) : u"none"_s;
}

} // namespace

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void services_data();
    void services();
};

// The application sets the C library's locale from the environment; an
// Italian LC_NUMERIC must not leak a comma into parsing or a point into text.
void TestNumbers::initTestCase()
{
    if (!std::setlocale(LC_NUMERIC, "it_IT.UTF-8")) {
        qWarning("it_IT.UTF-8 is not installed: the C library keeps its own locale");
    }
}

void TestNumbers::services_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QFile file(QFINDTESTDATA("numbers.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    for (QString line; in.readLineInto(&line);) {
        if (line.startsWith(u'#')) {
            continue;
        }
        QStringList f = line.split(u'\t');
        for (QString &field : f) {
            field.replace(u"\\t"_s, u"\t"_s).replace(u"\\r"_s, u"\r"_s).replace(u"\\n"_s, u"\n"_s);
        }
        QVERIFY2(f.size() == 5, qPrintable(line));
        QTest::addRow("%s: %s", qPrintable(f[1]), qPrintable(f[0])) << f[1] << f[2] << f[3] << f[4];
    }
}

void TestNumbers::services()
{
    QFETCH(QString, service);
    QFETCH(QString, argument);
    QFETCH(QString, input);
    QFETCH(QString, expected);

    const QLocale locale(argument);
    QString actual;
    if (service == u"numberToText") {
        actual = runtime::numberToText(input.toDouble(), locale);
    } else if (service == u"formatWhole") {
        actual = runtime::formatWhole(input.toLongLong(), argument);
    } else if (service == u"formatMediumTime") {
        actual = runtime::formatMediumTime(input.toDouble(), locale);
    } else if (service == u"val") {
        actual = shortest(runtime::val(input));
    } else if (service == u"numericText") {
        actual = shortest(runtime::numericText(input, locale));
    } else if (service == u"wholePart") {
        const std::optional<qint16> whole = runtime::wholePart(input.toDouble());
        actual = whole ? QString::number(*whole) : u"none"_s;
    } else {
        QFAIL("unknown service");
    }
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
