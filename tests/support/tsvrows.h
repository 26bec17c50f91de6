// QtTest rows from a tab-separated table: the tag first, then one field per
// fact, all in one QStringList column "row"; lines starting with '#' explain.
#pragma once

#include <QFile>
#include <QTest>

namespace mirabolo::test {

inline void addTsvRows(const QString &path)
{
    QTest::addColumn<QStringList>("row");
    QFile table(path);
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QString &line : QString::fromUtf8(table.readAll()).split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'#'))
            QTest::newRow(qPrintable(line.section(u'\t', 0, 0))) << line.split(u'\t');
}

} // namespace mirabolo::test
