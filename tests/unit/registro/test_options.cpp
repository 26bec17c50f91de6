// The teacher's program's command line: the periods, a range of days, and the
// pages of the report with no window, or why they do not go together.
#include "registro/options.h"

#include <QCommandLineParser>
#include <QTest>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;
using namespace mirabolo::registro;

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Period>("period");
        QTest::addColumn<QDate>("first"); // of a range
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("pupil");
        QTest::addColumn<bool>("sheets");
        QTest::addColumn<QString>("error"); // refused, and why
        const auto row = [](const char *tag, const QStringList &arguments, Period period, const QString &error = {},
                            const QDate &first = {}, const QDate &last = {}, const QString &pupil = {},
                            bool sheets = false) {
            QTest::newRow(tag) << arguments << period << first << last << pupil << sheets << error;
        };
        row("nothing", {}, Period::SchoolYear);
        row("first term", {u"--periodo"_s, u"quadrimestre1"_s}, Period::FirstTerm);
        row("second term", {u"--periodo=QUADRIMESTRE2"_s}, Period::SecondTerm);
        row("all", {u"--periodo"_s, u"tutto"_s}, Period::All);
        row("unknown period", {u"--periodo"_s, u"trimestre"_s}, Period::SchoolYear,
            u"periodo sconosciuto \"trimestre\": usa oggi, settimana, mese, quadrimestre1, quadrimestre2, anno o "
            u"tutto, oppure --dal e --al."_s);
        row("range", {u"--dal"_s, u"1/2/2028"_s, u"--al"_s, u"29/02/2028"_s}, Period::Range, {}, QDate(2028, 2, 1),
            QDate(2028, 2, 29));
        row("range ending before it starts", {u"--dal"_s, u"01/02/2027"_s, u"--al"_s, u"31/01/2027"_s},
            Period::SchoolYear,
            u"periodo non valido (--dal 01/02/2027 --al 31/01/2027): la data di fine (31/01/2027) viene prima di "
            u"quella d'inizio (01/02/2027)."_s);
        row("range without its end", {u"--dal"_s, u"01/02/2027"_s}, Period::SchoolYear,
            u"un periodo a scelta ha bisogno di tutte e due le date: --dal GG/MM/AAAA --al GG/MM/AAAA."_s);
        row("range and period", {u"--periodo=mese"_s, u"--dal=1/2/2027"_s, u"--al=2/2/2027"_s}, Period::SchoolYear,
            u"--dal e --al scelgono già il periodo: non vanno insieme a --periodo."_s);
        row("a pupil's sheet", {u"--pdf"_s, u"z.pdf"_s, u"--alunno"_s, u" Zoe "_s}, Period::SchoolYear, {}, {}, {},
            u"Zoe"_s);
        row("every sheet", {u"--pdf"_s, u"z.pdf"_s, u"--schede"_s}, Period::SchoolYear, {}, {}, {}, {}, true);
        row("a sheet in the window", {u"--alunno"_s, u"Zoe"_s}, Period::SchoolYear,
            u"--alunno e --schede scelgono le pagine del PDF: vanno insieme a --pdf FILE."_s);
        row("one sheet and all", {u"--pdf=z.pdf"_s, u"--alunno=Zoe"_s, u"--schede"_s}, Period::SchoolYear,
            u"--alunno dà la scheda di un alunno, --schede quelle di tutti: usane uno solo."_s);
        row("no name", {u"--pdf=z.pdf"_s, u"--alunno= "_s}, Period::SchoolYear,
            u"--alunno vuole il nome di un alunno."_s);
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QCommandLineParser parser;
        addOptions(parser);
        QVERIFY2(parser.parse(QStringList{u"mirabolo-registro"_s} + arguments), qPrintable(parser.errorText()));
        QString error;
        const std::optional<Options> options = readOptions(parser, &error);
        QTEST(error, "error");
        QCOMPARE(options.has_value(), error.isEmpty());
        if (!options)
            return;
        QTEST(options->period, "period");
        QTEST(options->range.first, "first");
        QTEST(options->range.last, "last");
        QTEST(options->pupil, "pupil");
        QTEST(options->sheets, "sheets");
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
