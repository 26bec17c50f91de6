#include "records/endgame.h"
#include "records/recordstore.h"
#include "records/windows1252.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using namespace mirabolo::records;

namespace {

const QByteArray noFile = "(no file)";

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

// Every byte value in turn, over and over.
QByteArray patternBytes(qint64 size)
{
    QByteArray bytes;
    for (qint64 i = 0; i < size; ++i) {
        bytes.append(static_cast<char>(i));
    }
    return bytes;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void encode_data();
    void encode();
    void startUp_data();
    void startUp();
    void boundedRead_data();
    void boundedRead();
    void store_data();
    void store();
    void storeFailures_data();
    void storeFailures();
    void anotherGameHoldsTheLock_data();
    void anotherGameHoldsTheLock();
    void staleLockLeftByCrash();
};

void TestRecords::initTestCase()
{
    // The data folder bears the application's name; the tests that look for
    // it point the data home at a scratch folder first.
    QCoreApplication::setApplicationName(u"mirabolo"_s);
}

void TestRecords::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    // Latin-1 but for 0x80 to 0x9F, where the five bytes the code page leaves
    // undefined keep the C1 control of the same value.
    const QByteArray every = patternBytes(256);
    const QString everyText =
        QString::fromLatin1(every).replace(0x80, 32, u"€\x81‚ƒ„…†‡ˆ‰Š‹Œ\x8DŽ\x8F\x90‘’“”•–—˜™š›œ\x9DžŸ"_s);
    QTest::newRow("every byte") << everyText << every;
    QTest::newRow("Italian accents and euro") << u"àèéìòù€"_s << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9\x80");
    QTest::newRow("letter outside") << u"Łukasz"_s << QByteArray("?ukasz");
    QTest::newRow("emoji is one question mark") << u"a😀b"_s << QByteArray("a?b");
    QTest::newRow("C1 control the code page replaces") << QString(QChar(0x80)) << QByteArray("?");
}

void TestRecords::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(encodeWindows1252(text), bytes);
    if (bytes.count('?') == text.count(u'?')) { // nothing was lost
        QCOMPARE(decodeWindows1252(bytes), text);
    }
}

void TestRecords::startUp_data()
{
    QTest::addColumn<QByteArray>("recordBytes");
    QTest::addColumn<QByteArray>("holderBytes");
    QTest::addColumn<QString>("holderText");
    QTest::addColumn<double>("value");

    QTest::newRow("first run") << QByteArray() << QByteArray() << QString() << 0.0;
    QTest::newRow("a record") << QByteArray("12\r\n") << QByteArray("Anna\r\n") << u"Anna\r\n"_s << 12.0;
    QTest::newRow("a word as record") << QByteArray("campione\r\n") << QByteArray("\r\n") << u"\r\n"_s << 0.0;
    QTest::newRow("accented holder") << QByteArray("3\r\n") << QByteArray("Niccol\xF2 Per\xF9 \x80\r\n")
                                     << u"Niccolò Perù €\r\n"_s << 3.0;
}

// The data folder is made, with its parents, below the data home; the files
// are made to exist without touching what is in them, and read whole.
void TestRecords::startUp()
{
    QFETCH(QByteArray, recordBytes);
    QFETCH(QByteArray, holderBytes);
    QFETCH(QString, holderText);
    QFETCH(double, value);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(u"a/share"_s)));
    const std::optional<QString> dir = GetSystemDir();
    QCOMPARE(dir, std::optional(home.filePath(u"a/share/mirabolo/"_s)));
    const RecordStore store(*dir);
    QCOMPARE(store.recordFilePath(), *dir + u"eqc.txt"_s);
    QCOMPARE(store.holderFilePath(), *dir + u"neqc.txt"_s);
    QVERIFY(recordBytes.isEmpty() || writeBytes(store.recordFilePath(), recordBytes));
    QVERIFY(holderBytes.isEmpty() || writeBytes(store.holderFilePath(), holderBytes));

    QVERIFY(store.ensureFilesExist());
    QCOMPARE(entries(*dir), (QStringList{u"eqc.txt"_s, u"neqc.txt"_s}));
    QCOMPARE(readBytes(store.recordFilePath()), recordBytes);
    QCOMPARE(readBytes(store.holderFilePath()), holderBytes);
    const std::optional<QString> record = Leggifiletxt(store.recordFilePath());
    QCOMPARE(record, std::optional(QString::fromLatin1(recordBytes)));
    QCOMPARE(Leggifiletxt(store.holderFilePath()), std::optional(holderText));
    QCOMPARE(recordValue(*record), value);
}

void TestRecords::boundedRead_data()
{
    QTest::addColumn<qint64>("size"); // -1: a named pipe with no writer
    QTest::addColumn<qint64>("expectedLength"); // -1: cannot be read

    QTest::newRow("exactly the limit") << maxRecordFileBytes << maxRecordFileBytes;
    QTest::newRow("one byte over") << maxRecordFileBytes + 1 << maxRecordFileBytes;
#ifdef Q_OS_UNIX
    QTest::newRow("named pipe with no writer") << qint64(-1) << qint64(-1);
#endif
}

void TestRecords::boundedRead()
{
    QFETCH(qint64, size);
    QFETCH(qint64, expectedLength);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"eqc.txt"_s);
    const QByteArray bytes = patternBytes(qMax(size, qint64(0)));
#ifdef Q_OS_UNIX
    QVERIFY(size >= 0 ? writeBytes(path, bytes) : ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#else
    QVERIFY(writeBytes(path, bytes));
#endif
    const std::optional<QString> text = Leggifiletxt(path);
    if (expectedLength < 0) {
        QCOMPARE(text, std::nullopt);
    } else {
        QCOMPARE(text, std::optional(decodeWindows1252(bytes.left(expectedLength))));
    }
}

void TestRecords::store_data()
{
    QTest::addColumn<QByteArray>("recordBefore"); // the holder file is "Anna", or empty beside an empty record
    QTest::addColumn<QString>("recordAtStart");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("name");
    QTest::addColumn<StoreOutcome>("outcome");
    QTest::addColumn<QByteArray>("recordAfter");
    QTest::addColumn<QByteArray>("holderAfter");

    const QByteArray anna = "Anna\r\n";
    const QByteArray empty;
    const auto stored = StoreOutcome::Stored;
    const auto kept = StoreOutcome::NotBeaten;
    QTest::newRow("tie keeps the old record")
        << QByteArray("5\r\n") << u"5\r\n"_s << u"5"_s << u"Marco"_s << kept << QByteArray("5\r\n") << anna;
    QTest::newRow("zero never replaces an empty record")
        << empty << QString() << u"0"_s << u"Marco"_s << kept << empty << empty;
    QTest::newRow("first run, score one")
        << empty << QString() << u"1"_s << u"Marco"_s << stored << QByteArray("1\r\n") << QByteArray("Marco\r\n");
    QTest::newRow("cancelled name prompt")
        << empty << QString() << u"4"_s << QString() << stored << QByteArray("4\r\n") << QByteArray("\r\n");
    QTest::newRow("numbers, not texts, compared") << QByteArray("99\r\n") << u"99\r\n"_s << u"100"_s << u"Lia"_s
                                                  << stored << QByteArray("100\r\n") << QByteArray("Lia\r\n");
    QTest::newRow("name outside the code page")
        << empty << QString() << u"2"_s << u"Łukasz 😀"_s << stored << QByteArray("2\r\n") << QByteArray("?ukasz ?\r\n");
    QTest::newRow("another game stored more meanwhile")
        << QByteArray("7\r\n") << QString() << u"5"_s << u"Marco"_s << kept << QByteArray("7\r\n") << anna;
    QTest::newRow("the record on disk counts, not the one seen at start")
        << QByteArray("3\r\n") << u"7\r\n"_s << u"5"_s << u"Marco"_s << stored << QByteArray("5\r\n")
        << QByteArray("Marco\r\n");
    QTest::newRow("record file gone: the one seen at start counts")
        << noFile << u"8\r\n"_s << u"6"_s << u"Marco"_s << kept << noFile << anna;
}

void TestRecords::store()
{
    QFETCH(QByteArray, recordBefore);
    QFETCH(QString, recordAtStart);
    QFETCH(QString, score);
    QFETCH(QString, name);
    QFETCH(StoreOutcome, outcome);
    QFETCH(QByteArray, recordAfter);
    QFETCH(QByteArray, holderAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QVERIFY(recordBefore == noFile || writeBytes(store.recordFilePath(), recordBefore));
    QVERIFY(writeBytes(store.holderFilePath(), recordBefore.isEmpty() ? QByteArray() : QByteArray("Anna\r\n")));

    QCOMPARE(store.storeIfBeaten(score, name, recordAtStart), outcome);
    QCOMPARE(readBytes(store.recordFilePath()), recordAfter);
    QCOMPARE(readBytes(store.holderFilePath()), holderAfter);
    // No lock or half-written file is left behind.
    QCOMPARE(entries(dir.path()).join(u' '), recordAfter == noFile ? u"neqc.txt"_s : u"eqc.txt neqc.txt"_s);
}

void TestRecords::storeFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("score");
    QTest::addColumn<StoreOutcome>("outcome");

    QTest::newRow("holder file is a folder") << u"holderIsFolder"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("record file is a folder") << u"recordIsFolder"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("data folder removed") << u"removed"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("data folder removed, score not beaten") << u"removed"_s << u"5"_s << StoreOutcome::NotBeaten;
    QTest::newRow("a file where the data folder goes") << u"blocked"_s << u"9"_s << StoreOutcome::Failed;
}

// A record that cannot be stored is reported as such and leaves what is on
// disk as it was, even when one of the two files could have been written.
// The same places refuse the files at start-up too.
void TestRecords::storeFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, score);
    QFETCH(StoreOutcome, outcome);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    QString dataDir = GetSystemDir().value_or(QString());
    const RecordStore files(dataDir);
    QVERIFY(kind == u"recordIsFolder" ? QDir().mkdir(files.recordFilePath())
                                      : writeBytes(files.recordFilePath(), "5\r\n"));
    QVERIFY(kind == u"holderIsFolder" ? QDir().mkdir(files.holderFilePath())
                                      : writeBytes(files.holderFilePath(), "Anna\r\n"));
    if (kind == u"removed") {
        QVERIFY(QDir(dataDir).removeRecursively());
    } else if (kind == u"blocked") {
        QVERIFY(QDir(dataDir).removeRecursively() && writeBytes(dataDir.chopped(1), "x"));
        QCOMPARE(GetSystemDir(), std::nullopt);
        dataDir.clear();
    }
    const QStringList before = entries(files.recordFilePath().section(u'/', 0, -2));
    const QByteArray recordBefore = readBytes(files.recordFilePath());
    const QByteArray holderBefore = readBytes(files.holderFilePath());

    QCOMPARE(RecordStore(dataDir).storeIfBeaten(score, u"Marco"_s, u"5\r\n"_s), outcome);
    QCOMPARE(entries(files.recordFilePath().section(u'/', 0, -2)), before);
    QCOMPARE(readBytes(files.recordFilePath()), recordBefore);
    QCOMPARE(readBytes(files.holderFilePath()), holderBefore);
    QVERIFY(!RecordStore(dataDir).ensureFilesExist());
}

void TestRecords::anotherGameHoldsTheLock_data()
{
    QTest::addColumn<QByteArray>("otherRecord"); // stored before letting go; empty: it hangs
    QTest::addColumn<StoreOutcome>("outcome");
    QTest::addColumn<QByteArray>("recordAfter");
    QTest::addColumn<QByteArray>("holderAfter");

    QTest::newRow("it stores a higher record")
        << QByteArray("12\r\n") << StoreOutcome::NotBeaten << QByteArray("12\r\n") << QByteArray("Bea\r\n");
    QTest::newRow("it hangs") << QByteArray() << StoreOutcome::Failed << QByteArray("5\r\n") << QByteArray("Anna\r\n");
}

// Two games end together, both having seen 5 at the start. The other one
// holds the lock while it stores; this one, with 9, must wait for it, then
// compare with what is on disk, and must not wait for ever.
void TestRecords::anotherGameHoldsTheLock()
{
    QFETCH(QByteArray, otherRecord);
    QFETCH(StoreOutcome, outcome);
    QFETCH(QByteArray, recordAfter);
    QFETCH(QByteArray, holderAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QVERIFY(writeBytes(store.recordFilePath(), "5\r\n") && writeBytes(store.holderFilePath(), "Anna\r\n"));
    QLockFile lock(dir.filePath(u"eqc.lock"_s));
    QVERIFY(lock.tryLock());

    std::thread otherGame([&] {
        if (!otherRecord.isEmpty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            writeBytes(store.recordFilePath(), otherRecord);
            writeBytes(store.holderFilePath(), "Bea\r\n");
            lock.unlock();
        }
    });
    QElapsedTimer timer;
    timer.start();
    const StoreOutcome result = store.storeIfBeaten(u"9"_s, u"Marco"_s, u"5\r\n"_s);
    otherGame.join();

    QCOMPARE(result, outcome);
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(readBytes(store.recordFilePath()), recordAfter);
    QCOMPARE(readBytes(store.holderFilePath()), holderAfter);
}

void TestRecords::staleLockLeftByCrash()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QFile lock(dir.filePath(u"eqc.lock"_s));
    QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write("garbage") > 0 && lock.flush());
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    lock.close();

    QCOMPARE(store.storeIfBeaten(u"4"_s, u"Marco"_s, QString()), StoreOutcome::Stored);
    QCOMPARE(readBytes(store.recordFilePath()), QByteArray("4\r\n"));
    QVERIFY(!lock.exists());
}

QTEST_GUILESS_MAIN(TestRecords)
#include "test_recordstore.moc"
