#include "records/recordstore.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace mirabolo::records;

namespace {

const QByteArray noFile = "(no file)";
const QStringList allFiles{u"eqc.txt"_s, u"neqc.txt"_s, u"registro.csv"_s};
constexpr auto kept = StoreOutcome::NotBeaten;
constexpr auto stored = StoreOutcome::Stored;
constexpr auto failed = StoreOutcome::Failed;

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

GameSummary game(const QString &name, GameEnd ending = GameEnd::Exit)
{
    return {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), name, 12, 3, 15, 0, ending};
}

// `setup`: what is in the way, then what it is. `field`: the name in the
// register, empty when the register cannot be written.
struct Row
{
    QString setup, recordAtStart, score, name, field;
    QByteArray recordBefore, recordAfter, holderAfter;
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
    }

    void location_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("configured"); // empty: no setting
        QTest::newRow("neither") << QString() << QString();
        QTest::newRow("file") << QString() << scratch.filePath(u"classe 4a,b"_s);
        QTest::newRow("option over file") << scratch.filePath(u"opzione"_s) << scratch.filePath(u"classe 4a,b"_s);
    }
    // A class folder is never created; without one the data folder is.
    void location()
    {
        QFETCH(QString, option);
        QFETCH(QString, configured);
        QVERIFY(writeBytes(scratch.filePath(u"xdg/mirabolo.conf"_s),
                           configured.isEmpty() ? "" : "[Record]\nCartella=" + configured.toUtf8() + '\n'));
        const QString expected = option.isEmpty() ? configured : option;
        QCOMPARE(classFolder(option), expected);
        const QString folder = expected.isEmpty() ? scratch.filePath(u"data/share/mirabolo"_s) : expected;
        QCOMPARE(recordFolder(expected) == folder + u'/', expected.isEmpty());
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(recordFolder(expected), std::optional(folder + u'/'));
    }

    void endOfGame_data()
    {
        QTest::addColumn<Row>("row");
        const QByteArray huge(5000, '7');
        QTest::newRow("tie") << Row{{}, u"5\r\n"_s, u"5"_s, u"=1+1"_s, u"'=1+1"_s, "5\r\n", "5\r\n", "", kept};
        QTest::newRow("zero, empty record") << Row{{}, {}, u"0"_s, u"+39"_s, u"'+39"_s, "", "", "", kept};
        QTest::newRow("100 beats 99") << Row{{},       {},        u"100"_s,    u"\ra;b"_s, u"\"'\ra;b\""_s,
                                             "99\r\n", "100\r\n", "\ra;b\r\n", stored};
        QTest::newRow("a word as record")
            << Row{{}, {}, u"1"_s, u"\""_s, u"\"\"\"\""_s, "caf\xE8\r\n", "1\r\n", "\"\r\n", stored};
        QTest::newRow("huge record file") << Row{{}, {}, u"9"_s, u"A\nda"_s, u"\"A\nda\""_s, huge, huge, "", kept};
        QTest::newRow("code page") << Row{
            {}, {}, u"2"_s, u"Zoë € Ł😀"_s, u"Zoë € Ł😀"_s, "", "2\r\n", "Zo\xEB \x80 ??\r\n", stored};
        QTest::newRow("more stored meanwhile") << Row{{}, {}, u"5"_s, u"-2"_s, u"'-2"_s, "7\r\n", "7\r\n", "", kept};
        QTest::newRow("on disk") << Row{{}, u"7\r\n"_s, u"5"_s, u"@A"_s, u"'@A"_s, "3\r\n", "5\r\n", "@A\r\n", stored};
        QTest::newRow("gone") << Row{u"eqc.txt gone"_s, u"8\r\n"_s, u"6"_s, u"\tx"_s, u"'\tx"_s, "", noFile, "", kept};
        for (const QString &file : allFiles) {
            const bool reg = file == allFiles.last(); // the record is stored, the register cannot be written
            for (const QString &kind : {u" link"_s, u" pipe"_s, u" folder"_s})
                QTest::newRow(qPrintable(file + kind)) << Row{
                    file + kind, u"5\r\n"_s,           u"9"_s, u"Ugo"_s, reg ? QString() : u"Ugo"_s, "5\r\n", "9\r\n",
                    "Ugo\r\n",   reg ? stored : failed};
        }
        QTest::newRow("lock held by another game")
            << Row{u"eqc.lock held"_s, u"5\r\n"_s, u"9"_s, u"Ugo"_s, {}, "5\r\n", "5\r\n", "", failed};
        QTest::newRow("lock left by a crash")
            << Row{u"eqc.lock stale"_s, u"5\r\n"_s, u"9"_s, u"Ugo"_s, u"Ugo"_s, "5\r\n", "9\r\n", "Ugo\r\n", stored};
        QTest::newRow("class folder gone")
            << Row{u"folder gone"_s, u"5\r\n"_s, u"9"_s, u"Ugo"_s, {}, "5\r\n", noFile, noFile, failed};
    }
    // What is in the way is never opened, read or written through; what the
    // game creates or replaces is the group's whatever the umask.
    void endOfGame()
    {
        QFETCH(Row, row);
        const QString name = row.setup.section(u' ', 0, 0);
        const QString kind = row.setup.section(u' ', 1);
        const bool thing = kind == u"link" || kind == u"pipe" || kind == u"folder";
        QTemporaryDir dir;
        const RecordStore store(dir.path(), true);
        const QString path = dir.filePath(name);
        const QString bait = dir.filePath(u"bait"_s);
        QVERIFY(writeBytes(store.recordFilePath(), row.recordBefore) && writeBytes(bait, "7\r\n"));
        QLockFile held(dir.filePath(u"eqc.lock"_s));
        QFile stale(path);
        if (thing)
            QFile::remove(path);
        QVERIFY(kind == u"link"         ? QFile::link(bait, path)
                    : kind == u"pipe"   ? ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0
                    : kind == u"folder" ? QDir().mkdir(path)
                    : kind == u"held"   ? held.tryLock()
                                        : kind != u"stale" ||
                        (stale.open(QIODevice::WriteOnly) &&
                         stale.setFileTime(QDateTime(QDate(2000, 1, 1), {}), QFileDevice::FileModificationTime)));
        stale.close();
        const mode_t mask = ::umask(077);
        const bool startsUp = store.ensureFilesExist();
        const bool holderShared = QFile::permissions(store.holderFilePath()).testFlags(QFile::WriteGroup);
        if (startsUp)
            QCOMPARE(Leggifiletxt(store.recordFilePath()),
                     std::optional(QString::fromLatin1(row.recordBefore.left(4096))));
        QVERIFY(kind != u"gone" || (name == u"folder" ? dir.remove() : QFile::remove(path)));
        const GameEnd ending = kind.isEmpty() ? GameEnd::Exit : GameEnd::TimeOut;
        const EndOfGame result = store.finishGame(row.score, row.recordAtStart, game(row.name, ending));
        ::umask(mask);
        held.unlock();
        const bool inPlaceOfRecord = thing && (path == store.recordFilePath() || path == store.holderFilePath());
        QCOMPARE(startsUp && holderShared, !inPlaceOfRecord);
        QCOMPARE(result.record, row.outcome);
        QCOMPARE(result.registered, !row.field.isEmpty());
        if (!inPlaceOfRecord)
            QVERIFY(readBytes(store.recordFilePath()) == row.recordAfter &&
                    readBytes(store.holderFilePath()) == row.holderAfter);
        QCOMPARE(readBytes(bait), name == u"folder" ? noFile : "7\r\n");
        QCOMPARE(QFileInfo(path).isSymLink(), kind == u"link");
        if (thing)
            QCOMPARE(Leggifiletxt(path), std::nullopt);
        if (!result.registered)
            return;
        QVERIFY(store.finishGame(u"0"_s, {}, game(u"Eva"_s)).registered);
        const QString lines =
            u"\uFEFFData;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n2026-12-06;09:05:03;"_s +
            row.field + (kind.isEmpty() ? u";12;3;15;0;uscita;"_s : u";12;3;15;0;tempo scaduto;"_s) +
            QStringList{QString(), u"nuovo"_s, u"non salvato"_s}.at(int(row.outcome)) +
            u"\r\n2026-12-06;09:05:03;Eva;12;3;15;0;uscita;\r\n"_s;
        QCOMPARE(readBytes(store.registerFilePath()), lines.toUtf8());
        for (const QString &file :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            const bool testMade = file == u"bait" || file == name || (file == u"eqc.txt" && row.outcome != stored);
            QVERIFY2(testMade ||
                         (allFiles.contains(file) && QFile::permissions(dir.filePath(file)) & QFile::WriteGroup),
                     qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_recordstore.moc"
