#include "records/recordstore.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace mirabolo::records;
using enum StoreOutcome;

namespace {

const QByteArray noFile = "(no file)";
const QStringList allFiles{u"eqc.txt"_s, u"neqc.txt"_s, u"registro.csv"_s};

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : noFile;
}

// The tag names what is in the way and what it is; no `field` when the register cannot be written.
struct Row
{
    QByteArray recordAtStart, score, name, field, recordBefore, recordAfter, holderAfter;
    StoreOutcome outcome;
};

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
    QTemporaryDir scratch;

private slots:
    void initTestCase()
    {
        QVERIFY(scratch.isValid() && QDir(scratch.path()).mkdir(u"xdg"_s));
        // Set before Qt first reads settings; the pupil's own must never count.
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(scratch.filePath(u"xdg"_s)));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
        QVERIFY(writeBytes(scratch.filePath(u"mirabolo.conf"_s), "[Record]\nCartella=/home\n"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath(u"data/share"_s)));
        QCoreApplication::setApplicationName(u"mirabolo"_s);
        ::umask(077);
    }

    // A class folder is never created; without one the data folder is.
    void location()
    {
        const QString configured = scratch.filePath(u"classe 4a,b"_s);
        QVERIFY(writeBytes(scratch.filePath(u"xdg/mirabolo.conf"_s), "[Record]\nCartella=" + configured.toUtf8()));
        QCOMPARE(classFolder({}), configured);
        QCOMPARE(classFolder(u"opzione"_s), u"opzione"_s);
        QCOMPARE(recordFolder(configured), std::nullopt);
        QVERIFY(QDir().mkdir(configured));
        QCOMPARE(recordFolder(configured), std::optional(configured + u'/'));
        QCOMPARE(recordFolder({}), std::optional(scratch.filePath(u"data/share/mirabolo/"_s)));
    }

    void endOfGame_data()
    {
        QTest::addColumn<Row>("row");
        const QByteArray huge(5000, '7');
        QTest::newRow("tie") << Row{"5\r\n", "5", "=1+1", "'=1+1", "5\r\n", "5\r\n", "", NotBeaten};
        QTest::newRow("100-beats-99") << Row{{}, "100", "\ra", "\"'\ra\"", "99\r\n", "100\r\n", "\ra\r\n", Stored};
        QTest::newRow("huge-file") << Row{{}, "9", "\tA\nda", "\"'\tA\nda\"", huge, huge, "", NotBeaten};
        QTest::newRow("code-page") << Row{{}, "2", "ë€Ł😀", "ë€Ł😀", "caf\xE8\r\n", "2\r\n", "\xEB\x80??\r\n", Stored};
        QTest::newRow("on-disk") << Row{"7\r\n", "5", "@\"", "\"'@\"\"\"", "3\r\n", "5\r\n", "@\"\r\n", Stored};
        QTest::newRow("eqc.txt gone") << Row{"8\r\n", "6", "a;b", "\"a;b\"", "", noFile, "", NotBeaten};
        for (const QString &file : allFiles) // the register alone failing, the record is stored
            for (const char *kind : {"link", "pipe", "folder"})
                QTest::addRow("%s %s", qPrintable(file), kind)
                    << Row{"5\r\n", "9",     "-U",     file == allFiles.last() ? "" : "'-U",
                           "5\r\n", "9\r\n", "-U\r\n", file == allFiles.last() ? Stored : Failed};
        QTest::newRow("eqc.lock held") << Row{"5\r\n", "9", "Ugo", {}, "5\r\n", "5\r\n", "", Failed};
        QTest::newRow("eqc.lock stale") << Row{"5\r\n", "9", "+39", "'+39", "5\r\n", "9\r\n", "+39\r\n", Stored};
        QTest::newRow("folder gone") << Row{"5\r\n", "9", "Ugo", {}, "5\r\n", noFile, noFile, Failed};
    }
    // What is in the way is never opened, read or written through.
    void endOfGame()
    {
        QFETCH(Row, row);
        const QString name = QString::fromLatin1(QTest::currentDataTag()).section(u' ', 0, 0);
        const QString kind = QString::fromLatin1(QTest::currentDataTag()).section(u' ', 1);
        const bool thing = kind == u"link" || kind == u"pipe" || kind == u"folder";
        QTemporaryDir dir;
        const RecordStore store(dir.path(), true, std::chrono::milliseconds(0));
        const QString path = dir.filePath(name);
        QLockFile held(dir.filePath(u"eqc.lock"_s));
        QFile stale(path);
        // Any regular file will do as the target of the link.
        QVERIFY(kind == u"link"         ? QFile::link(scratch.filePath(u"mirabolo.conf"_s), path)
                    : kind == u"pipe"   ? ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0
                    : kind == u"folder" ? QDir().mkdir(path)
                    : kind == u"held"   ? held.tryLock()
                    : kind == u"stale"  ? stale.open(QIODevice::WriteOnly) &&
                        stale.setFileTime(QDateTime(QDate(2000, 1, 1), {}), QFileDevice::FileModificationTime)
                                       : true);
        QVERIFY(QFileInfo::exists(store.recordFilePath()) || writeBytes(store.recordFilePath(), row.recordBefore));
        const bool inPlaceOfRecord = thing && name != allFiles.last();
        QCOMPARE(store.ensureFilesExist(), !inPlaceOfRecord);
        QCOMPARE(Leggifiletxt(thing ? path : store.recordFilePath()).value_or(u"-"_s).toLatin1(),
                 thing ? "-" : row.recordBefore.left(4096));
        QVERIFY(kind != u"gone" || (name == u"folder" ? dir.remove() : QFile::remove(path)));
        GameSummary game{QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), QString::fromUtf8(row.name), 12, 3, 0};
        const EndOfGame result =
            store.finishGame(QString::fromUtf8(row.score), QString::fromUtf8(row.recordAtStart), game);
        QCOMPARE(std::pair(result.record, result.registered), std::pair(row.outcome, !row.field.isEmpty()));
        QVERIFY(inPlaceOfRecord ||
                (readBytes(store.recordFilePath()) == row.recordAfter &&
                 readBytes(store.holderFilePath()) == row.holderAfter));
        if (!result.registered)
            return;
        game.name = u"Eva"_s;
        game.ending = GameEnd::TimeOut;
        QVERIFY(store.finishGame(u"0"_s, {}, game).registered);
        const QByteArray column = QList<QByteArray>{"", "nuovo", "non salvato"}.at(int(row.outcome));
        QCOMPARE(readBytes(store.registerFilePath()),
                 "\xEF\xBB\xBF"
                 "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n2026-12-06;09:05:03;" +
                     row.field + ";12;3;15;0;uscita;" + column +
                     "\r\n2026-12-06;09:05:03;Eva;12;3;15;0;tempo scaduto;\r\n");
        // The next account must be able to replace these whatever the umask.
        for (const QString &file : QDir(dir.path()).entryList(allFiles, QDir::Files | QDir::NoSymLinks))
            QVERIFY2((file == allFiles.first() && row.outcome != Stored) ||
                         QFile::permissions(dir.filePath(file)).testFlag(QFile::WriteGroup),
                     qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_recordstore.moc"
