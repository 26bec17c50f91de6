// How the report is laid out, whatever it says: where a table's rows go over
// columns and pages, and glyphs shaped for one paint device drawn on no other.
#include "report/glyphcache.h"
#include "report/pageflow.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::report;

namespace {

struct Flow
{
    QString rows = {}; // one character a row: Y a year's heading, . a game
    qsizetype firstLines = 0;
    qsizetype pageLines = 0;
    int groups = 1;
    // Each stretch, its columns as "FIRST-END", after "hROW " when a column
    // repeats the heading of that row first.
    QStringList stretches = {};
};

QString shown(const TableStretch &stretch)
{
    QStringList columns;
    for (const TableStretch::Column &c : stretch.columns)
        columns << (c.heading >= 0 ? u"h%1 "_s.arg(c.heading) : QString()) + u"%1-%2"_s.arg(c.first).arg(c.end);
    return columns.join(u", "_s);
}

} // namespace

Q_DECLARE_METATYPE(Flow)

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paginate_data()
    {
        QTest::addColumn<Flow>("flow");
        QTest::newRow("fits") << Flow{.rows = u"....."_s, .firstLines = 10, .pageLines = 20, .stretches = {u"0-5"_s}};
        QTest::newRow("down then across")
            << Flow{.rows = u"......"_s, .firstLines = 3, .pageLines = 9, .groups = 2, .stretches = {u"0-3, 3-6"_s}};
        QTest::newRow("columns of even length")
            << Flow{.rows = u"....."_s, .firstLines = 4, .pageLines = 9, .groups = 2, .stretches = {u"0-3, 3-5"_s}};
        QTest::newRow("a page break inside a pupil's games")
            << Flow{.rows = u"Y........"_s, .firstLines = 4, .pageLines = 6, .stretches = {u"0-4"_s, u"h0 4-9"_s}};
        QTest::newRow("a column going on under its year")
            << Flow{.rows = u"Y....."_s, .firstLines = 3, .pageLines = 9, .groups = 2, .stretches = {u"0-3, h0 3-6"_s}};
        QTest::newRow("a column starting at a year")
            << Flow{.rows = u"Y..Y.."_s, .firstLines = 3, .pageLines = 9, .groups = 2, .stretches = {u"0-3, 3-6"_s}};
        QTest::newRow("the later year repeated") << Flow{
            .rows = u"Y..Y....."_s, .firstLines = 4, .pageLines = 4, .stretches = {u"0-4"_s, u"h3 4-8"_s, u"h3 8-9"_s}};
        QTest::newRow("titles alone") << Flow{.firstLines = 3, .pageLines = 9, .stretches = {u"0-0"_s}};
        QTest::newRow("no room left on the page")
            << Flow{.rows = u"..."_s, .firstLines = 0, .pageLines = 2, .stretches = {u"0-1"_s, u"1-3"_s}};
    }
    void paginate()
    {
        QFETCH(Flow, flow);
        Table table;
        table.headed = true;
        for (const QChar row : flow.rows)
            table.rows << (row == u'Y' ? QStringList{u"2026"_s} : QStringList{u"07/12"_s, u"09:12"_s});
        QStringList stretches;
        for (const TableStretch &stretch :
             mirabolo::report::paginate(table, flow.firstLines, flow.pageLines, flow.groups))
            stretches << shown(stretch);
        QCOMPARE(stretches, flow.stretches);
    }

    // A pupil's games going on over pages: each further page says whose
    // they are at its top, every column is under its year, and every page
    // is numbered out of all of them.
    void continuedPages()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"pagine.pdf"_s);
        Table games;
        games.titles = {u"Data"_s, u"Ora"_s};
        games.widths = {0.5, 0.5};
        games.alignments = {Qt::AlignLeft, Qt::AlignRight};
        games.headed = true;
        games.continued = u"Ada (continua)"_s;
        games.rows << QStringList{u"2026"_s};
        for (int game = 1; game <= 200; ++game)
            games.rows << QStringList{u"%1/12"_s.arg(game % 28 + 1, 2, 10, QChar(u'0')), QString::number(game)};
        {
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(QPageSize::A6));
            QVERIFY(layOutPages(writer, u"Registro di Mirabolo"_s, [&games](QPainter &, PageFlow &flow) {
                flow.text(u"Ada"_s, reportFont(13, true));
                flow.table(games, 2);
            }));
        }
        QProcess text;
        text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY2(text.waitForFinished(60000) && text.exitCode() == 0, "pdftotext (poppler-utils) is needed");
        QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
        pages.removeLast(); // after the last page's form feed
        QVERIFY(pages.size() > 2);
        const QRegularExpression underYear(u"^ *2026( +2026)? *$"_s, QRegularExpression::MultilineOption);
        for (qsizetype page = 0; page < pages.size(); ++page) {
            const QString shown = pages.at(page).trimmed();
            QVERIFY2(shown.contains(u"Pagina %1 di %2"_s.arg(page + 1).arg(pages.size())), qPrintable(shown));
            QCOMPARE(shown.startsWith(u"Ada (continua)\n"_s), page > 0);
            QVERIFY2(underYear.match(shown).hasMatch(), qPrintable(shown));
        }
        QVERIFY(pages.last().contains(u" 200\n"_s));
    }

    // A cache draws on the device it was made for, placed glyphs too, and
    // on no other: glyphs shaped for a printer's resolution would land
    // elsewhere on a screen.
    void oneDevice()
    {
        QImage blank(120, 30, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QImage mine = blank;
        QImage other = blank;
        GlyphCache labels(reportFont(12), &mine);
        GlyphCache cells(reportFont(12), &mine, 8);
        QPainter painter(&mine);
        QVERIFY(labels.draw(painter, QRectF(0, 0, 120, 15), Qt::AlignLeft, u"Zoe"_s));
        painter.scale(1 / cells.units(), 1 / cells.units());
        cells.place(cells.shaped(u"Ugo"_s), QPointF(0, 15 * cells.units()));
        QVERIFY(cells.flush(painter));
        painter.end();
        QVERIFY(mine.copy(0, 0, 120, 15) != blank.copy(0, 0, 120, 15));
        QVERIFY(mine.copy(0, 15, 120, 15) != blank.copy(0, 15, 120, 15));

        painter.begin(&other);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"another"_s));
        QVERIFY(!labels.draw(painter, QRectF(0, 0, 120, 15), Qt::AlignLeft, u"Zoe"_s));
        cells.place(cells.shaped(u"Ugo"_s), QPointF(0, 15 * cells.units()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"another"_s));
        QVERIFY(!cells.flush(painter));
        painter.end();
        QCOMPARE(other, blank);
    }

    // A text too long for its room is cut with an ellipsis, and the same text
    // with room to spare is not.
    void room()
    {
        QImage page(10, 10, QImage::Format_RGB32);
        GlyphCache cells(reportFont(8), &page, 8);
        const QString name = u"Maria Vittoria Bianchi Colombo"_s;
        const qreal whole = cells.shaped(name).size.width();
        QVERIFY(cells.shaped(name, 40).size.width() <= 40);
        QCOMPARE(cells.shaped(name, whole + 10).size.width(), whole);
        QCOMPARE(cells.shaped(name).size.width(), whole);
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
