#include "runtime/numbers.h"
#include "tsvrows.h"

#include <QTest>

#include <clocale>

using namespace Qt::StringLiterals;
using namespace mirabolo;

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The cases live in numbers.tsv.
    void services_data()
    {
        // QApplication sets the C library's locale from the environment; an
        // Italian LC_NUMERIC must not leak a comma into parsing or a point into text.
        QVERIFY2(std::setlocale(LC_NUMERIC, "it_IT.UTF-8"), "it_IT.UTF-8 is not installed");
        mirabolo::test::addTsvRows(QFINDTESTDATA("numbers.tsv"));
    }

    void services()
    {
        QFETCH(mirabolo::test::TsvRow, row);
        const QString service = row[u"service"], argument = row[u"argument"], input = row[u"input"];
        const QLocale locale(argument);
        const auto shortest = [](std::optional<double> v) {
            return v ? QString::number(*v, 'g', QLocale::FloatingPointShortest) : u"none"_s;
        };
        QString actual;
        if (service == u"numberToText")
            actual = runtime::numberToText(input.toDouble(), locale);
        else if (service == u"formatWhole")
            actual = runtime::formatWhole(input.toLongLong(), argument);
        else if (service == u"val")
            actual = shortest(runtime::val(input));
        else if (service == u"numericText")
            actual = shortest(runtime::numericText(input, locale));
        else
            QFAIL(qPrintable(u"no such service: "_s + service));
        QCOMPARE(actual, row[u"expected"]);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
