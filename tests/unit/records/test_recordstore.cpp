#include "records/endgame.h"
#include "records/recordstore.h"
#include "records/windows1252.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <latch>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace mirabolo::records;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray patternBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i % 256);
    }
    return bytes;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool runningAsRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

} // namespace

class TestRecordStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void systemDir_data();
    void systemDir();
    void firstRun();
    void existingFiles_data();
    void existingFiles();
    void boundedRead_data();
    void boundedRead();
    void filesCannotBeCreated_data();
    void filesCannotBeCreated();
    void store_data();
    void store();
    void storeFailures_data();
    void storeFailures();
    void lockHeldElsewhere();
    void staleLockLeftByCrash();
    void racingGames();

private:
    QByteArray m_savedDataHome;
};

void TestRecordStore::initTestCase()
{
    QCoreApplication::setApplicationName(u"mirabolo"_s);
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
}

void TestRecordStore::init()
{
    QVERIFY(!m_savedDataHome.isEmpty()); // never the real home
}

void TestRecordStore::cleanup()
{
    qputenv("XDG_DATA_HOME", m_savedDataHome);
}

void TestRecordStore::systemDir_data()
{
    QTest::addColumn<QString>("dataHome"); // below the scratch folder
    QTest::addColumn<QString>("fileInTheWay"); // made a regular file first
    QTest::addColumn<QString>("expected"); // below the scratch folder; empty: none

    QTest::newRow("created when missing") << u"share"_s << QString() << u"share/mirabolo/"_s;
    QTest::newRow("missing parents created") << u"a/b/share"_s << QString() << u"a/b/share/mirabolo/"_s;
    QTest::newRow("one separator only") << u"share/"_s << QString() << u"share/mirabolo/"_s;
    QTest::newRow("file where the folder goes") << u"share"_s << u"share/mirabolo"_s << QString();
    QTest::newRow("file where a parent goes") << u"share"_s << u"share"_s << QString();
}

void TestRecordStore::systemDir()
{
    QFETCH(QString, dataHome);
    QFETCH(QString, fileInTheWay);
    QFETCH(QString, expected);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString root = scratch.path() + u'/';
    if (!fileInTheWay.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(root + fileInTheWay).path()));
        QVERIFY(writeBytes(root + fileInTheWay, "x"));
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + dataHome));

    const std::optional<QString> dir = GetSystemDir();
    if (expected.isEmpty()) {
        QCOMPARE(dir, std::nullopt);
        return;
    }
    QVERIFY(dir.has_value());
    QCOMPARE(*dir, root + expected);
    QVERIFY(QFileInfo(*dir).isDir());
    // Calling it again, as every restart does, finds the same folder.
    QCOMPARE(GetSystemDir(), dir);
}

void TestRecordStore::firstRun()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.path()));
    const std::optional<QString> dir = GetSystemDir();
    QVERIFY(dir.has_value());

    const RecordStore store(*dir);
    QCOMPARE(store.recordFilePath(), *dir + u"eqc.txt"_s);
    QCOMPARE(store.holderFilePath(), *dir + u"neqc.txt"_s);
    QVERIFY(store.ensureFilesExist());
    QCOMPARE(entries(*dir), (QStringList{u"eqc.txt"_s, u"neqc.txt"_s}));
    for (const QString &path : {store.recordFilePath(), store.holderFilePath()}) {
        QCOMPARE(QFileInfo(path).size(), 0);
        const std::optional<QString> text = Leggifiletxt(path);
        QVERIFY(text.has_value());
        QCOMPARE(*text, QString());
    }
    QCOMPARE(recordValue(*Leggifiletxt(store.recordFilePath())), 0.0);
}

void TestRecordStore::existingFiles_data()
{
    QTest::addColumn<QByteArray>("recordBytes");
    QTest::addColumn<QByteArray>("holderBytes");
    QTest::addColumn<QString>("recordText");
    QTest::addColumn<QString>("holderText");
    QTest::addColumn<double>("value");

    QTest::newRow("a record") << QByteArray("12\r\n") << QByteArray("Anna\r\n") << u"12\r\n"_s << u"Anna\r\n"_s << 12.0;
    QTest::newRow("a word as record") << QByteArray("campione\r\n") << QByteArray("\r\n") << u"campione\r\n"_s
                                      << u"\r\n"_s << 0.0;
    QTest::newRow("accented holder") << QByteArray("3\r\n") << QByteArray("Niccol\xF2 Per\xF9 \x80\r\n") << u"3\r\n"_s
                                     << u"Niccolò Perù €\r\n"_s << 3.0;
    QTest::newRow("no line end") << QByteArray("8") << QByteArray("Bea") << u"8"_s << u"Bea"_s << 8.0;
}

// The start-up makes the files exist without touching what is in them, and
// reads them whole, line end included.
void TestRecordStore::existingFiles()
{
    QFETCH(QByteArray, recordBytes);
    QFETCH(QByteArray, holderBytes);
    QFETCH(QString, recordText);
    QFETCH(QString, holderText);
    QFETCH(double, value);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QVERIFY(writeBytes(store.recordFilePath(), recordBytes));
    QVERIFY(writeBytes(store.holderFilePath(), holderBytes));

    QVERIFY(store.ensureFilesExist());
    QCOMPARE(readBytes(store.recordFilePath()), recordBytes);
    QCOMPARE(readBytes(store.holderFilePath()), holderBytes);
    QCOMPARE(Leggifiletxt(store.recordFilePath()), recordText);
    QCOMPARE(Leggifiletxt(store.holderFilePath()), holderText);
    QCOMPARE(recordValue(recordText), value);
}

void TestRecordStore::boundedRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("expectedLength"); // -1: cannot be read

    QTest::newRow("missing") << u"missing"_s << qint64(0) << qint64(-1);
    QTest::newRow("a directory") << u"directory"_s << qint64(0) << qint64(-1);
    QTest::newRow("binary, every byte") << u"file"_s << qint64(256) << qint64(256);
    QTest::newRow("exactly the limit") << u"file"_s << maxRecordFileBytes << maxRecordFileBytes;
    QTest::newRow("one byte over") << u"file"_s << maxRecordFileBytes + 1 << maxRecordFileBytes;
    QTest::newRow("10 MB") << u"file"_s << qint64(10) * 1024 * 1024 << maxRecordFileBytes;
#ifdef Q_OS_UNIX
    QTest::newRow("named pipe with no writer") << u"fifo"_s << qint64(0) << qint64(-1);
#endif
}

void TestRecordStore::boundedRead()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(qint64, expectedLength);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"eqc.txt"_s);
    const QByteArray bytes = patternBytes(size);
    if (kind == u"file") {
        QVERIFY(writeBytes(path, bytes));
    } else if (kind == u"directory") {
        QVERIFY(QDir().mkdir(path));
#ifdef Q_OS_UNIX
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    }

    const std::optional<QString> text = Leggifiletxt(path);
    if (expectedLength < 0) {
        QCOMPARE(text, std::nullopt);
        return;
    }
    QVERIFY(text.has_value());
    QCOMPARE(text->size(), expectedLength);
    QCOMPARE(*text, decodeWindows1252(bytes.left(expectedLength)));
}

void TestRecordStore::filesCannotBeCreated_data()
{
    QTest::addColumn<QString>("directoryInTheWay"); // empty: the data folder is missing

    QTest::newRow("data folder missing") << QString();
    QTest::newRow("record file is a folder") << u"eqc.txt"_s;
    QTest::newRow("holder file is a folder") << u"neqc.txt"_s;
}

void TestRecordStore::filesCannotBeCreated()
{
    QFETCH(QString, directoryInTheWay);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString dataDir = dir.path();
    if (directoryInTheWay.isEmpty()) {
        dataDir = dir.filePath(u"gone"_s);
    } else {
        QVERIFY(QDir(dataDir).mkdir(directoryInTheWay));
    }
    QVERIFY(!RecordStore(dataDir).ensureFilesExist());
}

void TestRecordStore::store_data()
{
    QTest::addColumn<bool>("recordExists");
    QTest::addColumn<QByteArray>("recordBefore");
    QTest::addColumn<QByteArray>("holderBefore");
    QTest::addColumn<QString>("recordAtStart");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("name");
    QTest::addColumn<StoreOutcome>("outcome");
    QTest::addColumn<QByteArray>("recordAfter");
    QTest::addColumn<QByteArray>("holderAfter");

    const QByteArray anna = "Anna\r\n";
    QTest::newRow("tie keeps the old record") << true << QByteArray("5\r\n") << anna << u"5\r\n"_s << u"5"_s
                                              << u"Marco"_s << StoreOutcome::NotBeaten << QByteArray("5\r\n") << anna;
    QTest::newRow("lower keeps the old record")
        << true << QByteArray("12\r\n") << anna << u"12\r\n"_s << u"3"_s << u"Marco"_s << StoreOutcome::NotBeaten
        << QByteArray("12\r\n") << anna;
    QTest::newRow("zero never replaces an empty record")
        << true << QByteArray() << QByteArray() << QString() << u"0"_s << u"Marco"_s << StoreOutcome::NotBeaten
        << QByteArray() << QByteArray();
    QTest::newRow("first run, score one") << true << QByteArray() << QByteArray() << QString() << u"1"_s << u"Marco"_s
                                          << StoreOutcome::Stored << QByteArray("1\r\n") << QByteArray("Marco\r\n");
    QTest::newRow("cancelled name prompt") << true << QByteArray() << QByteArray() << QString() << u"4"_s << QString()
                                           << StoreOutcome::Stored << QByteArray("4\r\n") << QByteArray("\r\n");
    QTest::newRow("numbers, not texts, compared")
        << true << QByteArray("99\r\n") << anna << u"99\r\n"_s << u"100"_s << u"Lia"_s << StoreOutcome::Stored
        << QByteArray("100\r\n") << QByteArray("Lia\r\n");
    QTest::newRow("record edited to a word")
        << true << QByteArray("campione\r\n") << anna << u"campione\r\n"_s << u"1"_s << u"Lia"_s << StoreOutcome::Stored
        << QByteArray("1\r\n") << QByteArray("Lia\r\n");
    QTest::newRow("accented name in the code page")
        << true << QByteArray() << QByteArray() << QString() << u"2"_s << u"Niccolò Perù €"_s << StoreOutcome::Stored
        << QByteArray("2\r\n") << QByteArray("Niccol\xF2 Per\xF9 \x80\r\n");
    QTest::newRow("name outside the code page")
        << true << QByteArray() << QByteArray() << QString() << u"2"_s << u"Łukasz 😀"_s << StoreOutcome::Stored
        << QByteArray("2\r\n") << QByteArray("?ukasz ?\r\n");
    QTest::newRow("another game stored more meanwhile")
        << true << QByteArray("7\r\n") << QByteArray("Bea\r\n") << QString() << u"5"_s << u"Marco"_s
        << StoreOutcome::NotBeaten << QByteArray("7\r\n") << QByteArray("Bea\r\n");
    QTest::newRow("the record on disk counts, not the one seen at start")
        << true << QByteArray("3\r\n") << anna << u"7\r\n"_s << u"5"_s << u"Marco"_s << StoreOutcome::Stored
        << QByteArray("5\r\n") << QByteArray("Marco\r\n");
    QTest::newRow("record file gone: start record counts, not beaten")
        << false << QByteArray() << anna << u"8\r\n"_s << u"6"_s << u"Marco"_s << StoreOutcome::NotBeaten
        << QByteArray() << anna;
    QTest::newRow("record file gone: start record counts, beaten")
        << false << QByteArray() << anna << u"8\r\n"_s << u"9"_s << u"Marco"_s << StoreOutcome::Stored
        << QByteArray("9\r\n") << QByteArray("Marco\r\n");
}

void TestRecordStore::store()
{
    QFETCH(bool, recordExists);
    QFETCH(QByteArray, recordBefore);
    QFETCH(QByteArray, holderBefore);
    QFETCH(QString, recordAtStart);
    QFETCH(QString, score);
    QFETCH(QString, name);
    QFETCH(StoreOutcome, outcome);
    QFETCH(QByteArray, recordAfter);
    QFETCH(QByteArray, holderAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    if (recordExists) {
        QVERIFY(writeBytes(store.recordFilePath(), recordBefore));
    }
    QVERIFY(writeBytes(store.holderFilePath(), holderBefore));

    QCOMPARE(store.storeIfBeaten(score, name, recordAtStart), outcome);
    QCOMPARE(QFileInfo::exists(store.recordFilePath()), recordExists || outcome == StoreOutcome::Stored);
    QCOMPARE(readBytes(store.recordFilePath()), recordAfter);
    QCOMPARE(readBytes(store.holderFilePath()), holderAfter);
    // No lock or half-written file is left behind.
    QStringList expected{u"neqc.txt"_s};
    if (QFileInfo::exists(store.recordFilePath())) {
        expected.prepend(u"eqc.txt"_s);
    }
    QCOMPARE(entries(dir.path()), expected);
}

void TestRecordStore::storeFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("score");
    QTest::addColumn<StoreOutcome>("outcome");

    QTest::newRow("holder file is a folder") << u"holderIsFolder"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("record file is a folder") << u"recordIsFolder"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("data folder removed") << u"removed"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("data folder removed, score not beaten") << u"removed"_s << u"5"_s << StoreOutcome::NotBeaten;
    QTest::newRow("no data folder at all") << u"noDataDir"_s << u"9"_s << StoreOutcome::Failed;
    QTest::newRow("read-only folder") << u"readOnly"_s << u"9"_s << StoreOutcome::Failed;
}

// A record that cannot be stored is reported as such and leaves what is on
// disk as it was.
void TestRecordStore::storeFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, score);
    QFETCH(StoreOutcome, outcome);

    if (kind == u"readOnly" && runningAsRoot()) {
        QSKIP("permission bits do not stop root");
    }
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString dataDir = scratch.filePath(u"data"_s);
    QVERIFY(QDir().mkdir(dataDir));
    const QByteArray record = "5\r\n";
    const QByteArray holder = "Anna\r\n";
    const RecordStore probe(dataDir);
    if (kind != u"recordIsFolder") {
        QVERIFY(writeBytes(probe.recordFilePath(), record));
    } else {
        QVERIFY(QDir().mkdir(probe.recordFilePath()));
    }
    if (kind != u"holderIsFolder") {
        QVERIFY(writeBytes(probe.holderFilePath(), holder));
    } else {
        QVERIFY(QDir().mkdir(probe.holderFilePath()));
    }
    if (kind == u"removed") {
        QVERIFY(QDir(dataDir).removeRecursively());
    } else if (kind == u"noDataDir") {
        dataDir.clear();
    }
#ifdef Q_OS_UNIX
    if (kind == u"readOnly") {
        QVERIFY(QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::ExeOwner));
    }
#endif
    const QStringList before = entries(dataDir);

    QCOMPARE(RecordStore(dataDir).storeIfBeaten(score, u"Marco"_s, u"5\r\n"_s), outcome);

    if (!dataDir.isEmpty()) {
        QCOMPARE(entries(dataDir), before);
    }
    if (kind == u"holderIsFolder" || kind == u"readOnly") {
        QCOMPARE(readBytes(probe.recordFilePath()), record);
    }
    if (kind == u"recordIsFolder" || kind == u"readOnly") {
        QCOMPARE(readBytes(probe.holderFilePath()), holder);
    }
#ifdef Q_OS_UNIX
    if (kind == u"readOnly") {
        QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
#endif
}

// A lock kept by a game that hangs must not hang this one too.
void TestRecordStore::lockHeldElsewhere()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QVERIFY(writeBytes(store.recordFilePath(), "5\r\n"));
    QVERIFY(writeBytes(store.holderFilePath(), "Anna\r\n"));

    QLockFile other(dir.filePath(u"eqc.lock"_s));
    other.setStaleLockTime(0);
    QVERIFY(other.tryLock());

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(store.storeIfBeaten(u"9"_s, u"Marco"_s, u"5\r\n"_s), StoreOutcome::Failed);
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(readBytes(store.recordFilePath()), QByteArray("5\r\n"));
    QCOMPARE(readBytes(store.holderFilePath()), QByteArray("Anna\r\n"));

    // Once the other game lets go, the record is stored.
    other.unlock();
    QCOMPARE(store.storeIfBeaten(u"9"_s, u"Marco"_s, u"5\r\n"_s), StoreOutcome::Stored);
    QCOMPARE(readBytes(store.recordFilePath()), QByteArray("9\r\n"));
}

void TestRecordStore::staleLockLeftByCrash()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const RecordStore store(dir.path());
    QVERIFY(store.ensureFilesExist());
    QFile lockFile(dir.filePath(u"eqc.lock"_s));
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    QVERIFY(lockFile.write("garbage") > 0);
    QVERIFY(lockFile.flush());
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    lockFile.close();

    QCOMPARE(store.storeIfBeaten(u"4"_s, u"Marco"_s, QString()), StoreOutcome::Stored);
    QCOMPARE(readBytes(store.recordFilePath()), QByteArray("4\r\n"));
    QVERIFY(!lockFile.exists());
}

// Two games ending together: whatever the order, the higher score stands
// with its own holder.
void TestRecordStore::racingGames()
{
    for (int round = 0; round < 10; ++round) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const RecordStore first(dir.path());
        const RecordStore second(dir.path());
        QVERIFY(first.ensureFilesExist());

        std::latch ready(2);
        StoreOutcome lowOutcome = StoreOutcome::Failed;
        StoreOutcome highOutcome = StoreOutcome::Failed;
        std::thread low([&] {
            ready.arrive_and_wait();
            lowOutcome = first.storeIfBeaten(u"3"_s, u"Tre"_s, QString());
        });
        std::thread high([&] {
            ready.arrive_and_wait();
            highOutcome = second.storeIfBeaten(u"9"_s, u"Nove"_s, QString());
        });
        low.join();
        high.join();

        QCOMPARE(highOutcome, StoreOutcome::Stored);
        QVERIFY(lowOutcome != StoreOutcome::Failed);
        QCOMPARE(readBytes(first.recordFilePath()), QByteArray("9\r\n"));
        QCOMPARE(readBytes(first.holderFilePath()), QByteArray("Nove\r\n"));
    }
}

QTEST_GUILESS_MAIN(TestRecordStore)
#include "test_recordstore.moc"
