#include "classregister/registerformat.h"
#include "records/folderfile.h"
#include "records/recordstore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

struct Row
{
    QByteArray recordAtStart, score, name, field, recordBefore, recordAfter, holderAfter;
    StoreOutcome outcome = NotBeaten;
    GameEnd ending = GameEnd::Exit;
    QString gone = {}; // removed before the end: a record file, or "." for the folder
};

// What another account leaves at a name of the folder.
enum class Thing { Link, Pipe, Folder, Huge, FutureDated, HeldLock, HardLink };

// The lock as another game holds it; released when destroyed.
struct HeldLock
{
    explicit HeldLock(const QString &folder) { held = lock.take(folder + u"/eqc.lock"_s, true, QDeadlineTimer(0)); }
    FolderLock lock;
    bool held = false;
};

struct Attack
{
    int step; // a StoreStep, or -1: there from before the start
    QString name;
    Thing thing;
    StoreOutcome outcome;
    bool registered;
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
        QTest::newRow("tie") << Row{"5\r\n", "5", "=1+1", "'=1+1", "5\r\n", "5\r\n", ""};
        QTest::newRow("100-beats-99") << Row{{},       "100",     "Ugo\r\nBi",   "Ugo  Bi",
                                             "99\r\n", "100\r\n", "Ugo  Bi\r\n", Stored};
        QTest::newRow("huge-file") << Row{{}, "9", "\t=A\x1b\x7f", "' =A  ", huge, huge, "", NotBeaten};
        QTest::newRow("code-page") << Row{{}, "2", "ë€Ł😀", "ë€Ł😀", "caf\xE8\r\n", "2\r\n", "\xEB\x80??\r\n", Stored};
        QTest::newRow("on-disk") << Row{"7\r\n", "5", "@\"\n", "\"'@\"\" \"", "3\r\n", "5\r\n", "@\" \r\n", Stored};
        QTest::newRow("closed") << Row{
            {}, "5", "a;b", "\"a;b\"", "3\r\n", "3\r\n", "", NotBeaten, GameEnd::WindowClosed};
        QTest::newRow("new game") << Row{{}, "5", "-U", "'-U", "", "", "", NotBeaten, GameEnd::NewGame};
        QTest::newRow("eqc.txt gone") << Row{"8\r\n", "6", "Eva", "Eva", "", noFile, "", NotBeaten, {}, u"eqc.txt"_s};
        QTest::newRow("folder gone") << Row{"5\r\n", "9", "Ugo", {}, "5\r\n", noFile, noFile, Failed, {}, u"."_s};
    }
    void endOfGame()
    {
        QFETCH(Row, row);
        QTemporaryDir dir;
        const RecordStore store(dir.path(), true, std::chrono::milliseconds(0));
        QVERIFY(writeBytes(store.recordFilePath(), row.recordBefore));
        QVERIFY(store.ensureFilesExist());
        QCOMPARE(Leggifiletxt(store.recordFilePath()).value_or(u"-"_s).toLatin1(), row.recordBefore.left(4096));
        QVERIFY(row.gone.isEmpty() || (row.gone == u"." ? dir.remove() : QFile::remove(dir.filePath(row.gone))));
        GameSummary game{
            QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), QString::fromUtf8(row.name), 12, 3, 0, row.ending};
        const EndOfGame result =
            store.finishGame(QString::fromUtf8(row.score), QString::fromUtf8(row.recordAtStart), game);
        QCOMPARE(std::pair(result.record, result.registered), std::pair(row.outcome, !row.field.isEmpty()));
        QCOMPARE(readBytes(store.recordFilePath()), row.recordAfter);
        QCOMPARE(readBytes(store.holderFilePath()), row.holderAfter);
        if (!result.registered)
            return;
        game.name = u"Eva"_s;
        game.ending = GameEnd::TimeOut;
        QVERIFY(store.finishGame(u"0"_s, {}, game).registered);
        const QByteArray ending =
            QList<QByteArray>{"uscita", "tempo scaduto", "finestra chiusa", "nuova gara"}.at(int(row.ending));
        const QByteArray column = QList<QByteArray>{"", "nuovo", "non salvato"}.at(int(row.outcome));
        QCOMPARE(readBytes(store.registerFilePath()),
                 "\xEF\xBB\xBF"
                 "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n2026-12-06;09:05:03;" +
                     row.field + ";12;3;15;0;" + ending + ";" + column +
                     "\r\n2026-12-06;09:05:03;Eva;12;3;15;0;tempo scaduto;\r\n");
        // The next account must be able to replace what the game made, whatever
        // the umask, and no account outside the class may read it.
        for (const QString &file : QDir(dir.path()).entryList(allFiles + QStringList{u"eqc.lock"_s}, QDir::Files)) {
            struct stat status = {};
            QVERIFY(::lstat(QFile::encodeName(dir.filePath(file)).constData(), &status) == 0);
            const bool written = file != allFiles.first() || row.outcome == Stored; // else the test's own
            QCOMPARE(std::pair(file, status.st_mode & 07777), std::pair(file, written ? 0660u : 0600u));
        }
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("before"); // the answers file's bytes; "(no file)" for none
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<RecordStore::Appended>("appended");
        QTest::addColumn<QByteArray>("after");
        using enum RecordStore::Appended;
        const QByteArray header = mirabolo::classregister::answersHeader;
        QTest::newRow("new") << noFile << QString() << Written << header + "a\r\nb\r\n";
        // Cut by a power failure in the middle of a line: only that half is lost.
        QTest::newRow("half a line") << header + "x;y" << QString() << Written << header + "x;y\r\na\r\nb\r\n";
        QTest::newRow("register after half a line")
            << QByteArray("2026-12-06;09:0") << u"register"_s << Written
            << QByteArray("2026-12-06;09:0\r\n2026-12-06;09:05:03;Eva;1;2;3;3;nuova gara;\r\n");
        QTest::newRow("lock held") << noFile << u"lock"_s << LockBusy << noFile;
        QTest::newRow("folder gone") << noFile << u"gone"_s << Failed << noFile;
    }
    // Appended whole, after a line of their own (a power failure loses only
    // the line it cut), in a file of the class's group; a lock held is a
    // wait, a folder gone is a failure.
    void answers()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, obstacle);
        QTemporaryDir dir;
        const RecordStore store(dir.path(), true);
        const bool games = obstacle == u"register"; // the register's lines, the same way
        const QString path = games ? store.registerFilePath() : store.answersFilePath();
        QVERIFY(before == noFile || writeBytes(path, before));
        std::optional<HeldLock> lock;
        QVERIFY(obstacle != u"lock" || lock.emplace(dir.path()).held);
        QVERIFY(obstacle != u"gone" || dir.remove());
        const GameSummary game{QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), u"Eva"_s, 1, 2, 3, GameEnd::NewGame};
        QTEST(games ? RecordStore::Appended::Written : store.appendAnswers("a\r\nb\r\n", QDeadlineTimer(100)),
              "appended");
        QVERIFY(!games || store.registerOnly(game));
        QTEST(readBytes(path), "after");
        struct stat status = {};
        QVERIFY(QTest::currentDataTag() != QByteArray("new") ||
                (::lstat(QFile::encodeName(store.answersFilePath()).constData(), &status) == 0 &&
                 (status.st_mode & 07777) == 0660));
    }

    void attacks_data()
    {
        QTest::addColumn<Attack>("attack");
        using enum Thing;
        const auto row = [](int step, const QString &name, Thing thing, StoreOutcome outcome, bool registered) {
            static const char *steps[] = {"start", "locking", "locked", "staged", "replaced", "registering"};
            static const char *things[] = {"link", "pipe", "folder", "huge", "future", "held", "hard link"};
            QTest::addRow("%s %s %s", steps[step + 1], qPrintable(name), things[int(thing)])
                << Attack{step, name, thing, outcome, registered};
        };
        const int before = -1, locking = int(StoreStep::Locking), locked = int(StoreStep::Locked),
                  staged = int(StoreStep::Staged), replaced = int(StoreStep::RecordReplaced),
                  registering = int(StoreStep::Registering);
        const QString lock = u"eqc.lock"_s, record = allFiles[0], holder = allFiles[1], games = allFiles[2];
        row(before, record, Link, Failed, true);
        row(before, record, Pipe, Failed, true);
        row(before, holder, Folder, Failed, true);
        row(before, games, Link, Stored, false);
        row(before, games, Folder, Stored, false);
        row(before, games, HardLink, Stored, false);
        // What is left at the lock's name is replaced, unless the folder refuses.
        for (const Thing thing : {Link, Pipe, Huge, FutureDated})
            row(locking, lock, thing, Stored, true);
        row(locking, lock, Folder, Failed, false);
        row(locking, lock, HeldLock, Failed, false);
        row(locked, lock, Link, Stored, true);
        row(locked, record, Pipe, Failed, true);
        row(locked, record, Huge, Stored, true);
        row(locked, holder, Link, Failed, true);
        row(staged, holder, Link, Failed, true);
        row(staged, record, Folder, Failed, true);
        row(replaced, holder, Link, Stored, true);
        row(replaced, holder, Folder, Failed, true);
        row(registering, games, Link, Stored, false);
        row(registering, games, Pipe, Stored, false);
        row(registering, games, Huge, Stored, true);
    }
    // Nothing at a name is ever read through, written through or waited on:
    // the link's target keeps its bytes and mode, the game says what it did,
    // within its bound, and leaves none of its own files behind.
    void attacks()
    {
        QFETCH(Attack, attack);
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const QString path = dir.filePath(attack.name);
        const QString target = elsewhere.filePath(u"privato"_s);
        QVERIFY(writeBytes(target, "segreto") && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(writeBytes(dir.filePath(allFiles[0]), "5\r\n") && writeBytes(dir.filePath(allFiles[1]), "Anna\r\n"));
        QFile other(path);
        struct flock range = {};
        range.l_type = F_WRLCK;
        const auto make = [&] {
            switch (attack.thing) {
            case Thing::Link:
                return QFile::link(target, path);
            case Thing::Pipe:
                return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
            case Thing::Folder:
                return QDir().mkdir(path);
            case Thing::Huge: // sparse: it takes no room, but reading it would take long
                return other.open(QIODevice::WriteOnly) && other.resize(qint64(2) << 30);
            case Thing::FutureDated:
                return other.open(QIODevice::WriteOnly) &&
                    other.setFileTime(QDateTime(QDate(2100, 1, 1), {}), QFileDevice::FileModificationTime);
            case Thing::HardLink: // a second name for a file of the pupil's
                return ::link(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
            case Thing::HeldLock: // as another game would hold it
                return other.open(QIODevice::ReadWrite) && ::fcntl(other.handle(), F_OFD_SETLK, &range) == 0;
            }
            return false;
        };
        const auto plant = [&] {
            QVERIFY(!QFileInfo::exists(path) || QFile::remove(path) || QDir(path).removeRecursively());
            QVERIFY(make());
        };
        if (attack.step < 0)
            plant();
        const RecordStore store(dir.path(), true, std::chrono::milliseconds(100), [&](StoreStep step) {
            if (int(step) == attack.step)
                plant();
        });
        QCOMPARE(store.ensureFilesExist(), attack.step >= 0 || attack.name == allFiles[2]);
        QElapsedTimer clock;
        clock.start();
        const GameSummary game{QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), u"Ugo"_s, 9, 0, 0};
        const EndOfGame result = store.finishGame(u"9"_s, u"5\r\n"_s, game);
        QVERIFY(clock.elapsed() < 5000); // generous: the wait is 100 ms
        QCOMPARE(std::pair(result.record, result.registered), std::pair(attack.outcome, attack.registered));
        QCOMPARE(readBytes(target), "segreto");
        QCOMPARE(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const bool stored = attack.outcome == Stored;
        QVERIFY(path == dir.filePath(allFiles[0]) ||
                readBytes(dir.filePath(allFiles[0])) == (stored ? "9\r\n" : "5\r\n"));
        QVERIFY(path == dir.filePath(allFiles[1]) ||
                readBytes(dir.filePath(allFiles[1])) == (stored ? "Ugo\r\n" : "Anna\r\n"));
        QCOMPARE(QDir(dir.path())
                     .entryList({u".*"_s}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_recordstore.moc"
