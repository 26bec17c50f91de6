#include "runtime/numbers.h"

#include <QFile>
#include <QTest>

#include <clocale>

using namespace Qt::StringLiterals;
using namespace mirabolo;

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The cases live in numbers.tsv: case, service, locale or pattern, input,
    // expected ("none": no number).
    void services_data()
    {
        // QApplication sets the C library's locale from the environment; an
        // Italian LC_NUMERIC must not leak a comma into parsing or a point into text.
        QVERIFY2(std::setlocale(LC_NUMERIC, "it_IT.UTF-8"), "it_IT.UTF-8 is not installed");
        QTest::addColumn<QStringList>("f");
        QFile file(QFINDTESTDATA("numbers.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            QStringList f = line.split(u'\t');
            for (QString &field : f)
                field.replace(u"\\t"_s, u"\t"_s).replace(u"\\r"_s, u"\r"_s).replace(u"\\n"_s, u"\n"_s);
            if (!line.startsWith(u'#'))
                QTest::addRow("%s: %s", qPrintable(f.value(1)), qPrintable(f.value(0))) << f;
        }
    }

    void services()
    {
        QFETCH(QStringList, f);
        QCOMPARE(f.size(), 5);
        const QString &service = f[1], &argument = f[2], &input = f[3];
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
        QCOMPARE(actual, f[4]);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
