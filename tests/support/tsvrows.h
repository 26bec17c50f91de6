// QtTest rows from a tab-separated table, one test row a line, tagged by its
// first field. Lines starting with '#' explain; the last of them before the
// first row names the columns ("#tag<TAB>judged<TAB>key…"), and a row's fields
// are read by those names: row["judged"]. In fields, \t, \r and \n stand for
// a tab and the line ends.
#pragma once

#include <QFile>
#include <QTest>

namespace mirabolo::test {

class TsvRow
{
public:
    // The field under `column`, empty when the line stops before it.
    QString operator[](QStringView column) const { return fields.value(at(column)); }
    // `count` fields from `column` on; all the rest when negative.
    QStringList from(QStringView column, qsizetype count = -1) const { return fields.mid(at(column), count); }

    QStringList names;
    QStringList fields;

private:
    // A name the table lacks is a slip in the test: it stops at once.
    qsizetype at(QStringView column) const
    {
        const qsizetype found = names.indexOf(column);
        if (found < 0)
            qFatal("no column \"%s\" in the table", qPrintable(column.toString()));
        return found;
    }
};

// Adds the rows of `path` to the data of the running test, in a column "row".
inline void addTsvRows(const QString &path)
{
    QTest::addColumn<TsvRow>("row");
    QFile table(path);
    QVERIFY2(table.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
    QStringList names;
    for (const QString &line : QString::fromUtf8(table.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) {
            if (line.contains(u'\t')) {
                names = line.mid(1).split(u'\t');
                for (QString &name : names)
                    name = name.trimmed();
            }
            continue;
        }
        QVERIFY2(!names.isEmpty(), "a table names its columns before its first row");
        TsvRow row{names, line.split(u'\t')};
        QVERIFY2(row.fields.size() >= names.size(), qPrintable(QStringLiteral("a field short: ") + line));
        for (QString &field : row.fields)
            field.replace(QStringLiteral("\\t"), QStringLiteral("\t"))
                .replace(QStringLiteral("\\r"), QStringLiteral("\r"))
                .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        QTest::newRow(qPrintable(row.fields.constFirst())) << row;
    }
}

} // namespace mirabolo::test

Q_DECLARE_METATYPE(mirabolo::test::TsvRow)
