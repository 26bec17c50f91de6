#include "classregister/classfigures.h"
#include "classregister/classlist.h"
#include "classregister/registerfile.h"
#include "classregister/registerformat.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace mirabolo::classregister;
using Change = RegisterFile::Change;
using State = RegisterFile::State;
using Pairs = QList<std::pair<qint16, qint16>>;
using Skipped = QList<SkippedLine>;
using Listed = QList<ListedPupil>;

namespace {

const QDateTime nine(QDate(2026, 12, 7), QTime(9, 12), Qt::UTC);
const GameRecord zoe{nine, u"Zoe"_s, 9, 1, 0, Ending::TimeOut, RecordMark::Stored};
const GameRecord ugo{nine.addSecs(3), u"=Ugo"_s, 3, 4, 120, Ending::WindowClosed, RecordMark::NotBeaten};
const GameRecord eva{nine.addSecs(7), u"Èva \"a;b\""_s, 0, 0, 900, Ending::NewGame, RecordMark::Failed};
const GameRecord ida{nine.addSecs(9), u"Ida"_s, 2, 1, 431, Ending::Interrupted, RecordMark::NotBeaten};
const QByteArray calcZoe = "2026-12-07;\"09:12:00\";\"Zoe\";9;1;10;0;\"tempo scaduto\";\"nuovo\"";

// The line exactly as the game appends it.
QByteArray line(const GameRecord &game)
{
    return registerLine({game.when, game.name, game.right, game.wrong, game.secondsLeft, game.ending}, game.record);
}

const QByteArray gameFile = registerHeader + line(zoe) + line(ugo) + line(eva);

GameRecord named(const QString &name, qint16 right = 1, qint16 wrong = 0, int hour = 9, qint16 secondsLeft = 0)
{
    return {QDateTime(nine.date(), QTime(hour, 0), Qt::UTC),
            name,
            right,
            wrong,
            secondsLeft,
            Ending::Exit,
            RecordMark::NotBeaten};
}

} // namespace

namespace mirabolo::classregister {
char *toString(const GameRecord &game)
{
    QString text;
    QDebug(&text) << game.when << game.name << game.right << game.wrong << game.secondsLeft << endingText(game.ending)
                  << recordMarkText(game.record);
    return QTest::toString(text);
}
char *toString(const SkippedLine &line)
{
    return QTest::toString(u"%1: %2"_s.arg(line.number).arg(skipReasonText(line.reason)));
}
} // namespace mirabolo::classregister

namespace {

enum class Action {
    Append,
    EndLastLine,
    GoOnLastLine,
    Shrink,
    Replace,
    RewriteInPlace,
    RewriteSameSize,
    Remove,
    Fifo,
    Link,
    HardLink
};

} // namespace

class TestClassRegister : public QObject
{
    Q_OBJECT

private slots:
    // A zone an hour from UTC, needing no zone files: a time moved by one shows.
    void initTestCase() { qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3"); }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<GameRecord>>("games");
        QTest::addColumn<Skipped>("skipped");
        QTest::addColumn<qint64>("skippedCount");
        QTest::addColumn<qint64>("forNames");
        const auto row = [](const char *tag, const QByteArray &file, const QList<GameRecord> &games,
                            const Skipped &skipped = {}, qint64 count = -1, qint64 forNames = 0) {
            QTest::newRow(tag) << file << games << skipped << (count < 0 ? skipped.size() : count) << forNames;
        };
        row("game", gameFile, {zoe, ugo, eva});
        row("concatenated", gameFile + gameFile, {zoe, ugo, eva, zoe, ugo, eva});
        row("calc then game", "\"Data\";\"Ora\";\"Nome\"\n" + calcZoe + ";;\n\n;;;\n" + line(ugo), {zoe, ugo});
        row("logout", line(ida) + "2026-12-07;09:12:09;Ida;2;1;3;431;Interrotta;\r\n", {ida, ida});
        row("calc guard", "2026-12-07;\"09:12:03\";\"'=Ugo\";3;4;7;120;\"finestra chiusa\";\r\n", {ugo});
        row("dd/mm/yyyy", "07/12/2026;\"09:12:00\";\"Zoe\";9;1;10;0;\"tempo scaduto\";\"nuovo\"\r\n", {zoe});
        row("dd/mm/yy HH:mm unended", "7/12/26;9:12;Zoe;9;1;10;0;TEMPO SCADUTO;nuovo", {zoe});
        row("windows-1252", "2026-12-07;9:00;Nicol\xF2 'x;1;0;1;0;uscita;\n", {named(u"Nicolò 'x"_s)});
        row("12-hour clock",
            "2026-12-07;09:12:00 AM;Zoe;9;1;10;0;tempo scaduto;nuovo\r\n2026-12-07;12:00 am;Eva;1;0;1;0;uscita;\r\n"
            "2026-12-07;12:00:00 PM;Ugo;1;0;1;0;uscita;\r\n2026-12-07;02:00PM;Ada;1;0;1;0;uscita;\r\n",
            {zoe, named(u"Eva"_s, 1, 0, 0), named(u"Ugo"_s, 1, 0, 12), named(u"Ada"_s, 1, 0, 14)});
        // Guarded by an earlier game, which wrote " =Ugo" so.
        row("guard before blanks", "2026-12-07;9:00;' =Ugo;1;0;1;0;uscita;\n", {named(u" =Ugo"_s)});
        row("format characters", "2026-12-07;9:00;Z\xE2\x80\x8Boe\xE2\x80\xAE;1;0;1;0;uscita;\n", {named(u"Zoe"_s)});
        // Names beyond the bound are counted as unread; those already met,
        // however typed, still count.
        QByteArray many;
        QList<GameRecord> kept;
        for (qsizetype i = 0; i < RegisterParser::maxNames + 2; ++i) {
            many += "2026-12-07;9:00;N" + QByteArray::number(i) + ";1;0;1;0;uscita;\n";
            if (i < RegisterParser::maxNames)
                kept << named(u"N%1"_s.arg(i));
        }
        row("too many names", many + "2026-12-07;9:00;n0 ;1;0;1;0;uscita;\n", kept + QList{named(u"n0 "_s)},
            {{RegisterParser::maxNames + 1, SkipReason::TooManyNames},
             {RegisterParser::maxNames + 2, SkipReason::TooManyNames}},
            2, 2);
        Skipped first;
        for (qint64 i = 1; i <= RegisterParser::maxSkippedLines; ++i)
            first << SkippedLine{i, SkipReason::BadQuotes};
        row("garbage", QByteArray(400, '\n').replace("\n", "\"x\n"), {}, first, 400);
        using enum SkipReason;
        const QList<std::tuple<const char *, QByteArray, SkipReason>> bad{
            {"total", "2026-12-07;09:12;Zoe;9;1;11;0;uscita;", BadTotal},
            {"letters", "2026-12-07;09:12;Zoe;9a;1;10;0;uscita;", BadCounts},
            {"too many answers", "2026-12-07;09:12;Zoe;40000;0;40000;0;uscita;", BadCounts},
            {"too many seconds", "2026-12-07;09:12;Zoe;9;1;10;901;uscita;", BadSecondsLeft},
            {"no such day", "2026-02-30;09:12;Zoe;9;1;10;0;uscita;", BadDate},
            {"three-digit year", "07/12/026;09:12;Zoe;9;1;10;0;uscita;", BadDate},
            {"no such hour", "2026-12-07;24:12;Zoe;9;1;10;0;uscita;", BadTime},
            {"13 PM", "2026-12-07;13:12 PM;Zoe;9;1;10;0;uscita;", BadTime},
            {"unknown ending", "2026-12-07;09:12;Zoe;9;1;10;0;fine;", UnknownEnding},
            {"unknown record", "2026-12-07;09:12;Zoe;9;1;10;0;uscita;vecchio", UnknownRecord},
            {"stray quote", "2026-12-07;09:12;Zo\"e;9;1;10;0;uscita;", BadQuotes},
            {"text after quote", "2026-12-07;09:12;\"Zoe\"x9;1;10;0;uscita;", BadQuotes},
            {"eight fields", "2026-12-07;09:12;Zoe;9;1;10;0;uscita", TooFewFields},
            {"tenth field", "2026-12-07;09:12;Zoe;9;1;10;0;uscita;;x", ExtraFields},
            {"overlong", "2026-12-07;09:12;" + QByteArray(5000, 'Z') + ";9;1;10;0;uscita;", TooLong}};
        for (const auto &[tag, text, reason] : bad)
            row(tag, calcZoe + '\n' + text + "\r\n" + line(ugo), {zoe, ugo}, {{2, reason}});
    }
    // Cut anywhere, inside a line or a quoted field, the same file reads the same.
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<GameRecord>, games);
        QFETCH(Skipped, skipped);
        QFETCH(qint64, skippedCount);
        QFETCH(qint64, forNames);
        for (const qsizetype piece : {file.size() + 1, qsizetype(1), qsizetype(5)}) {
            RegisterParser parser;
            for (qsizetype at = 0; at < file.size(); at += piece)
                parser.feed(QByteArrayView(file).sliced(at, std::min(piece, file.size() - at)));
            parser.finish();
            QCOMPARE(parser.takeGames(), games);
            QCOMPARE(parser.skippedLines(), skipped);
            QCOMPARE(parser.skippedCount(), skippedCount);
            QCOMPARE(parser.skippedForNames(), forNames);
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("field"); // as the register has it
        const auto row = [](const char *tag, const QString &typed, const QString &stored, const QByteArray &field) {
            QTest::newRow(tag) << typed << stored << field;
        };
        row("plain", u"Zoe"_s, u"Zoe"_s, "Zoe");
        row("formula", u"=1+1"_s, u"=1+1"_s, "'=1+1");
        row("plus, minus, at", u"+39 -x @y"_s, u"+39 -x @y"_s, "'+39 -x @y");
        row("blanks before =", u" \u00A0=Ugo"_s, u" \u00A0=Ugo"_s, "' \xC2\xA0=Ugo");
        row("apostrophe", u"'x"_s, u"'x"_s, "'x");
        row("apostrophes", u"''x"_s, u"''x"_s, "''x");
        row("apostrophe before =", u"'=Ugo"_s, u"'=Ugo"_s, "''=Ugo");
        row("apostrophes, blanks, -", u"'' -1"_s, u"'' -1"_s, "''' -1");
        row("apostrophe after a blank", u" '=x"_s, u" '=x"_s, " '=x");
        row("quotes", u"Zoe \"la\" B"_s, u"Zoe \"la\" B"_s, "\"Zoe \"\"la\"\" B\"");
        row("semicolon", u"a;b"_s, u"a;b"_s, "\"a;b\"");
        row("formula in quotes", u"=\"a;b\""_s, u"=\"a;b\""_s, "\"'=\"\"a;b\"\"\"");
        row("controls", u"Ugo\r\nB\ti\x1b\u2028"_s, u"Ugo  B i  "_s, "Ugo  B i  ");
        row("tab before =", u"\t=x"_s, u" =x"_s, "' =x");
        row("format characters", u"\u200BZo\u00ADe\u202E\U000E0041"_s, u"Zoe"_s, "Zoe");
        row("outside Windows-1252", u"Łukasz 😀 日本"_s, u"Łukasz 😀 日本"_s,
            "\xC5\x81ukasz \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC");
        row("half a pair", u"a"_s + QChar(0xD800) + u"b"_s, u"a\uFFFDb"_s,
            "a\xEF\xBF\xBD"
            "b");
        row("4 KiB", QString(4096, u'è'), QString(maxNameLength, u'è'), QString(maxNameLength, u'è').toUtf8());
        row("cut before a pair", QString(maxNameLength - 1, u'a') + u"😀"_s, QString(maxNameLength - 1, u'a'),
            QByteArray(maxNameLength - 1, 'a'));
    }
    // Every name reads back as the game stored it, and no stored name is a
    // formula to a spreadsheet.
    void names()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QByteArray, field);
        QCOMPARE(storedName(typed), stored);
        const QByteArray written = registerLine({nine, typed, 3, 4, 5, Ending::Exit}, RecordMark::Stored);
        QCOMPARE(written, "2026-12-07;09:12:00;" + field + ";3;4;7;5;uscita;nuovo\r\n");
        QVERIFY(written.size() <= maxLineBytes);
        RegisterParser parser;
        parser.feed(registerHeader + written);
        const GameRecord read{nine, stored, 3, 4, 5, Ending::Exit, RecordMark::Stored};
        QCOMPARE(parser.takeGames(), QList{read});
        QCOMPARE(parser.skippedCount(), 0);
    }

    void following_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<Action>("action");
        QTest::addColumn<Change>("change");
        QTest::addColumn<State>("state");
        QTest::addColumn<QList<GameRecord>>("games");
        QTest::addColumn<qsizetype>("appendedFrom");
        const auto row = [](const char *tag, const QByteArray &before, Action action, Change change,
                            const QList<GameRecord> &games, qsizetype appendedFrom = 0, State state = State::Read) {
            QTest::newRow(tag) << before << action << change << state << games << appendedFrom;
        };
        GameRecord plain = zoe;
        plain.record = RecordMark::NotBeaten;
        row("append", gameFile, Action::Append, Change::Appended, {zoe, ugo, eva, ugo}, 3);
        row("end last line", calcZoe, Action::EndLastLine, Change::Appended, {zoe, ugo}, 1);
        row("go on last line", calcZoe.chopped(6), Action::GoOnLastLine, Change::Reloaded, {zoe, ugo});
        row("shrink", gameFile, Action::Shrink, Change::Reloaded, {zoe});
        row("replace", gameFile, Action::Replace, Change::Reloaded, {zoe, ugo, eva, plain});
        row("rewrite in place", gameFile, Action::RewriteInPlace, Change::Reloaded, {zoe, eva, ugo});
        GameRecord forged = zoe;
        std::swap(forged.right, forged.wrong);
        row("rewrite in place, same size", gameFile, Action::RewriteSameSize, Change::Reloaded, {forged, ugo, eva});
        row("remove", gameFile, Action::Remove, Change::Unavailable, {}, 0, State::Missing);
        row("fifo", gameFile, Action::Fifo, Change::Unavailable, {}, 0, State::NotAFile);
        // Another class's register, that only the teacher can read.
        row("link", gameFile, Action::Link, Change::Unavailable, {}, 0, State::Linked);
        row("hard link", gameFile, Action::HardLink, Change::Unavailable, {}, 0, State::Linked);
    }
    // Read first in small slices, then once more after the file changed.
    void following()
    {
        QFETCH(QByteArray, before);
        QFETCH(Action, action);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"registro.csv"_s);
        const auto write = [](const QString &name, const QByteArray &bytes, QIODevice::OpenMode mode) {
            QFile file(name);
            return file.open(mode) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write(path, before, QIODevice::WriteOnly));
        // Long ago, so that a rewrite now shows in its times.
        QFile stamped(path);
        QVERIFY(stamped.open(QIODevice::ReadWrite) &&
                stamped.setFileTime(QDateTime(QDate(2000, 1, 1), {}, Qt::UTC), QFileDevice::FileModificationTime));
        stamped.close();
        RegisterFile followed(path);
        QCOMPARE(followed.refresh(10), Change::Reloaded);
        QVERIFY(!followed.atEnd());
        while (!followed.atEnd())
            QCOMPARE(followed.refresh(10), Change::Appended);
        QCOMPARE(followed.refresh(), Change::None);
        const QString other = dir.filePath(u"nuovo.csv"_s);
        const auto act = [&] {
            switch (action) {
            case Action::Append:
                return write(path, line(ugo), QIODevice::Append);
            case Action::EndLastLine:
                return write(path, "\r\nx\n" + line(ugo), QIODevice::Append);
            case Action::GoOnLastLine:
                return write(path, "nuovo\"\n" + line(ugo), QIODevice::Append);
            case Action::Shrink:
                return QFile::resize(path, gameFile.indexOf(line(ugo)));
            case Action::Replace:
                return write(other, gameFile + calcZoe.chopped(7), QIODevice::WriteOnly) && QFile::remove(path) &&
                    QFile::rename(other, path);
            case Action::RewriteInPlace:
                return write(path, registerHeader + line(zoe) + line(eva) + line(ugo), QIODevice::ReadWrite);
            case Action::RewriteSameSize:
                return write(path, QByteArray(gameFile).replace("Zoe;9;1;", "Zoe;1;9;"), QIODevice::ReadWrite);
            case Action::Remove:
                return QFile::remove(path);
            case Action::Fifo:
                return QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0600) == 0;
            case Action::Link:
                return QFile::rename(path, other) && QFile::setPermissions(other, QFile::ReadOwner) &&
                    QFile::link(other, path);
            case Action::HardLink:
                return ::link(QFile::encodeName(path), QFile::encodeName(other)) == 0;
            }
            return false;
        };
        QVERIFY(act());
        QTEST(followed.refresh(), "change");
        QTEST(followed.state(), "state");
        QTEST(followed.games(), "games");
        QTEST(followed.appendedFrom(), "appendedFrom");
        QCOMPARE(followed.skippedLines(),
                 action == Action::EndLastLine ? Skipped({{2, SkipReason::TooFewFields}}) : Skipped());
    }

    void periods_data()
    {
        QTest::addColumn<Period>("period");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::newRow("today") << Period::Today << QDate(2026, 12, 7) << QDate(2026, 12, 7) << QDate(2026, 12, 7);
        QTest::newRow("week on Monday") << Period::ThisWeek << QDate(2026, 12, 7) << QDate(2026, 12, 7)
                                        << QDate(2026, 12, 13);
        QTest::newRow("week on Sunday") << Period::ThisWeek << QDate(2027, 1, 3) << QDate(2026, 12, 28)
                                        << QDate(2027, 1, 3);
        QTest::newRow("leap February") << Period::ThisMonth << QDate(2028, 2, 29) << QDate(2028, 2, 1)
                                       << QDate(2028, 2, 29);
        QTest::newRow("year on 31 August")
            << Period::SchoolYear << QDate(2026, 8, 31) << QDate(2025, 9, 1) << QDate(2026, 8, 31);
        QTest::newRow("year on 1 September")
            << Period::SchoolYear << QDate(2026, 9, 1) << QDate(2026, 9, 1) << QDate(2027, 8, 31);
        QTest::newRow("all") << Period::All << QDate(2026, 12, 7) << QDate() << QDate();
        QTest::newRow("first term on 31 January")
            << Period::FirstTerm << QDate(2027, 1, 31) << QDate(2026, 9, 1) << QDate(2027, 1, 31);
        // The term just ended, for its reports.
        QTest::newRow("first term on 1 February")
            << Period::FirstTerm << QDate(2027, 2, 1) << QDate(2026, 9, 1) << QDate(2027, 1, 31);
        QTest::newRow("second term on 31 January")
            << Period::SecondTerm << QDate(2027, 1, 31) << QDate(2027, 2, 1) << QDate(2027, 8, 31);
        QTest::newRow("second term on 1 September")
            << Period::SecondTerm << QDate(2027, 9, 1) << QDate(2028, 2, 1) << QDate(2028, 8, 31);
        QTest::newRow("second term on 29 February")
            << Period::SecondTerm << QDate(2028, 2, 29) << QDate(2028, 2, 1) << QDate(2028, 8, 31);
        QTest::newRow("range") << Period::Range << QDate(2026, 12, 7) << QDate() << QDate();
    }
    // Games on the first and last days count, those a day outside do not.
    void periods()
    {
        QFETCH(Period, period);
        QFETCH(QDate, today);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        ClassFigures figures(periodSpan(period, today));
        QCOMPARE(figures.span(), (DateSpan{first, last}));
        const QDate days[] = {QDate(1999, 1, 1), first.addDays(-1), first, last, last.addDays(1), QDate(2099, 1, 1)};
        qsizetype counted = 0;
        for (const QDate &day : days) {
            GameRecord game = zoe;
            game.when.setDate(day.isValid() ? day : nine.date());
            counted += figures.add(game) + 1;
        }
        QCOMPARE(counted, first.isNull() ? 6 : 2);
    }

    void range_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QDate>("first"); // null: refused
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *tag, const QString &from, const QString &to, const QDate &first,
                            const QDate &last,
                            const QString &error = {}) { QTest::newRow(tag) << from << to << first << last << error; };
        row("a term", u"01/09/2026"_s, u"31/01/2027"_s, QDate(2026, 9, 1), QDate(2027, 1, 31));
        row("one day, short", u" 7/2/2028"_s, u"07/02/2028 "_s, QDate(2028, 2, 7), QDate(2028, 2, 7));
        row("leap day", u"29/02/2028"_s, u"01/03/2028"_s, QDate(2028, 2, 29), QDate(2028, 3, 1));
        row("end before start", u"01/02/2027"_s, u"31/01/2027"_s, {}, {},
            u"la data di fine (31/01/2027) viene prima di quella d'inizio (01/02/2027)."_s);
        row("no leap day", u"29/02/2027"_s, u"01/03/2027"_s, {}, {},
            u"manca la data d'inizio, o non è una data del calendario (GG/MM/AAAA)."_s);
        row("not Italian", u"01/09/2026"_s, u"2027-01-31"_s, {}, {},
            u"manca la data di fine, o non è una data del calendario (GG/MM/AAAA)."_s);
        row("two-digit year", u"1/9/26"_s, u"31/01/2027"_s, {}, {},
            u"manca la data d'inizio, o non è una data del calendario (GG/MM/AAAA)."_s);
    }
    void range()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QDate, first);
        QString error;
        const auto span = dateRange(parseDay(from), parseDay(to), &error);
        QCOMPARE(span.has_value(), first.isValid());
        if (span)
            QTEST(span->last, "last");
        QCOMPARE(span.value_or(DateSpan{}).first, first);
        QTEST(error, "error");
    }

    void classList_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("className");
        QTest::addColumn<FollowRule>("rule");
        QTest::addColumn<Listed>("pupils");
        QTest::addColumn<QStringList>("problems");
        const auto row = [](const char *tag, const QByteArray &text, const QString &className, FollowRule rule,
                            const Listed &pupils, const QStringList &problems = {}) {
            QTest::newRow(tag) << text << className << rule << pupils << problems;
        };
        row("a class",
            "\xEF\xBB\xBF# 4A\r\nClasse:  4\xC2\xAA  A \r\n soglia : 55 %\nPARTITE MINIME: 4\n\n"
            "Niccol\xC3\xB2 Bianchi = Niccol | niccolo  b|\nAnna\n",
            u"4ª A"_s, FollowRule{55, 4}, {{u"Niccolò Bianchi"_s, {u"Niccol"_s, u"niccolo b"_s}}, {u"Anna"_s, {}}});
        row("quoted names", "\"=Ugo\" | \"a|b\" = \"Zoe \"\"la\"\"\" \n\"#1: Ida\"\nZo\"e\n", {}, {},
            {{u"=Ugo"_s, {u"a|b"_s, u"Zoe \"la\""_s}}, {u"#1: Ida"_s, {}}, {u"Zo\"e"_s, {}}});
        // Each damaged line is named, and the rest is read.
        row("damaged",
            "Clase: 4A\nAnna = Ann\nNicol\xF2 = ann | Nico\nANNA\nBruno = \"Bru\nSoglia: 0\nPartite minime: tre\n"
            "= Ida\nClasse: 4A\nClasse: 4B\nZoe = Zoe | zoe\n",
            u"4A"_s, {}, {{u"Anna"_s, {u"Ann"_s}}, {u"Nicolò"_s, {u"Nico"_s}}, {u"Zoe"_s, {}}},
            {u"Riga 1: «Clase: 4A» non si capisce. Una riga è un alunno, oppure «Classe:», «Soglia:» o «Partite "
             u"minime:»; un nome con i due punti va tra virgolette."_s,
             u"Riga 3: non è testo UTF-8: letta come testo di Windows (Windows-1252), «Nicolò = ann | Nico». "
             u"Salvando l'elenco dal Registro diventa UTF-8."_s,
             u"Riga 3: «ann» è già un nome di Anna (riga 2): qui non conta."_s,
             u"Riga 4: «ANNA» è già un nome di Anna (riga 2): questa riga non conta."_s,
             u"Riga 5: virgolette non chiuse in «Bruno = \"Bru»: questa riga non conta."_s,
             u"Riga 6: la soglia «0» non va: serve un numero intero da 1 a 100 (per cento). Resta 60%."_s,
             u"Riga 7: le partite minime «tre» non vanno: serve un numero intero da 1 a 999. Restano 3."_s,
             u"Riga 8: manca il nome dell'alunno prima di «=» in «= Ida»: questa riga non conta."_s,
             u"Riga 10: la classe ha già un nome alla riga 9: questa riga non conta."_s});
        QByteArray huge;
        Listed many;
        for (int i = 0; huge.size() < ClassList::maxBytes; ++i) {
            const QByteArray name = "Alunno " + QByteArray::number(i);
            if (huge.size() + name.size() + 1 <= ClassList::maxBytes)
                many << ListedPupil{QString::fromLatin1(name), {}};
            huge += name + '\n';
        }
        row("too long", huge, {}, {}, many,
            {u"L'elenco supera i 256 kB: lette solo le prime %1 righe."_s.arg(many.size())});
    }
    // What is read is written back the same, with notes but no problem.
    void classList()
    {
        QFETCH(QByteArray, text);
        QStringList problems;
        const ClassList list = ClassList::parse(text, &problems);
        QTEST(list.className(), "className");
        QTEST(list.rule(), "rule");
        QTEST(list.pupils(), "pupils");
        QTEST(problems, "problems");
        if (list.text().size() > ClassList::maxBytes)
            return;
        QStringList again;
        const ClassList reread = ClassList::parse(list.text(), &again);
        QCOMPARE(again, QStringList());
        QCOMPARE(std::tuple(reread.className(), reread.rule(), reread.pupils()),
                 std::tuple(list.className(), list.rule(), list.pupils()));
    }

    // Kept in the teacher's own settings, named after the class's folder;
    // read and written whole, a damaged file still read.
    void classListFile()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        QCoreApplication::setApplicationName(u"mirabolo-registro"_s);
        const QString path = classListPath(u"/srv/classe_4a/mirabolo/"_s);
        QCOMPARE(path, home.filePath(u"mirabolo-registro/classi/srv_classe%5F4a_mirabolo.txt"_s));
        QVERIFY(classListPath(u"/srv/classe/4a"_s) != classListPath(u"/srv/classe_4a"_s));
        QVERIFY(QFileInfo(classListPath(QString(300, u'x'))).fileName().toUtf8().size() <= 200 + 4);
        QVERIFY(!readClassList(path).found);

        ClassList list;
        list.setClassName(u"4ª A"_s);
        list.setRule({70, 2});
        QVERIFY(list.addPupil(u"Niccolò"_s));
        QVERIFY(list.addSpelling(0, u"Niccol"_s));
        QVERIFY(!list.addPupil(u" niccol"_s));
        QVERIFY(list.addPupil(u"Anna"_s));
        QVERIFY(!list.addSpelling(1, u"NICCOL"_s));
        QCOMPARE(list.find(u"niccol "_s), 0);
        QString error;
        QVERIFY2(writeClassList(path, list, &error), qPrintable(error));
        QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
        QCOMPARE(QFileInfo(QFileInfo(path).path()).permissions() & (QFile::WriteGroup | QFile::ReadOther), 0);
        const ClassListFile read = readClassList(path);
        QVERIFY(read.found);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.list.pupils(), list.pupils());
        QCOMPARE(read.list.rule(), (FollowRule{70, 2}));

        QVERIFY(QFile::remove(path) && QFile::link(home.filePath(u"altrove.txt"_s), path));
        QVERIFY(!readClassList(path).error.isEmpty());
    }

    void grouping_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("pupils");
        QTest::addColumn<QList<qsizetype>>("games");
        QTest::addColumn<QList<qsizetype>>("played"); // of the listed pupils: how many played, of how many
        QTest::newRow("capitals and blanks")
            << QByteArray() << QStringList{u"Zoe"_s, u"zoe"_s, u"Zoe "_s, u" ZOE"_s, u"Ugo"_s, u"Zoe"_s}
            << QStringList{u"Zoe"_s, u"Ugo"_s} << QList<qsizetype>{5, 1} << QList<qsizetype>{0, 0};
        QTest::newRow("tie to the last") << QByteArray() << QStringList{u"Zoe"_s, u"zoe"_s, u"Zoe"_s, u"zoe"_s}
                                         << QStringList{u"zoe"_s} << QList<qsizetype>{4} << QList<qsizetype>{0, 0};
        QTest::newRow("a stray blank") << QByteArray()
                                       << QStringList{u"Giulia"_s, u"Giulia "_s, u"giulia"_s, u" Ugo "_s}
                                       << QStringList{u"Giulia"_s, u"Ugo"_s} << QList<qsizetype>{3, 1}
                                       << QList<qsizetype>{0, 0};
        QTest::newRow("inner blanks") << QByteArray() << QStringList{u"Anna  Rossi"_s, u"anna rossi"_s, u"anna rossi"_s}
                                      << QStringList{u"anna rossi"_s} << QList<qsizetype>{3} << QList<qsizetype>{0, 0};
        // Spellings joined under the list's name, listed pupils with no
        // game, and names on nobody's list after them.
        QTest::newRow("class list") << QByteArray("Classe: 4A\nNiccol\xC3\xB2 = Niccol\nAnna\nZoe\n")
                                    << QStringList{u"niccol"_s, u"Pippo"_s, u"Niccolò "_s, u"NICCOL"_s, u"niccol"_s}
                                    << QStringList{u"Niccolò"_s, u"Anna"_s, u"Zoe"_s, u"Pippo"_s}
                                    << QList<qsizetype>{4, 0, 0, 1} << QList<qsizetype>{1, 3};
        QTest::newRow("a list with only a rule")
            << QByteArray("Soglia: 80%\n") << QStringList{u"Zoe"_s} << QStringList{u"Zoe"_s} << QList<qsizetype>{1}
            << QList<qsizetype>{0, 0};
    }
    void grouping()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, typed);
        const ClassList classList = ClassList::parse(list);
        ClassFigures figures({}, list.isEmpty() ? nullptr : &classList);
        QList<qsizetype> rows;
        for (const QString &name : typed) {
            rows << figures.add(named(name, 2, 1));
            QCOMPARE(figures.pupils().value(rows.last()).games.last().name, name);
        }
        QStringList shown;
        QList<qsizetype> games;
        for (const PupilFigures &pupil : figures.pupils()) {
            shown << pupil.name;
            games << pupil.games.size();
        }
        QTEST(shown, "pupils");
        QTEST(games, "games");
        QTEST((QList{figures.listedPlayed(), figures.listed()}), "played");
        QCOMPARE(figures.hasList(), figures.listed() > 0);
        QCOMPARE(figures.rule(), classList.rule());
        for (qsizetype i = 0; i < typed.size(); ++i)
            QCOMPARE(figures.indexOf(typed.at(i)), rows.at(i));
        for (const ListedPupil &pupil : classList.pupils())
            QCOMPARE(figures.pupils().at(figures.indexOf(pupil.name)).listed, true);
        QCOMPARE(std::tuple(figures.games(), figures.right(), figures.wrong()),
                 std::tuple(typed.size(), 2 * typed.size(), typed.size()));
    }

    void pupil_data()
    {
        QTest::addColumn<Pairs>("games"); // right and wrong, in time order
        QTest::addColumn<double>("accuracy"); // -1: none
        QTest::addColumn<qsizetype>("best");
        QTest::addColumn<double>("trend"); // 999: none
        QTest::addColumn<bool>("follow");
        QTest::addColumn<FollowRule>("rule");
        QTest::newRow("nothing answered") << Pairs{{0, 0}} << -1.0 << qsizetype(0) << 999.0 << false << FollowRule{};
        QTest::newRow("three below 60%") << Pairs{{5, 5}, {7, 3}, {5, 5}} << 17 / 30.0 << qsizetype(1) << 999.0 << true
                                         << FollowRule{};
        QTest::newRow("two below 60%") << Pairs{{1, 9}, {1, 9}} << 0.1 << qsizetype(0) << 999.0 << false
                                       << FollowRule{};
        QTest::newRow("exactly 60%") << Pairs{{6, 4}, {3, 2}, {3, 2}} << 0.6 << qsizetype(0) << 999.0 << false
                                     << FollowRule{};
        QTest::newRow("best: fewer wrong, then earlier")
            << Pairs{{8, 2}, {8, 1}, {8, 1}, {7, 0}} << 31 / 35.0 << qsizetype(1) << 999.0 << false << FollowRule{};
        QTest::newRow("rising") << Pairs{{0, 10}, {1, 1}, {10, 0}, {10, 0}, {10, 0}, {11, 1}} << 42 / 54.0
                                << qsizetype(5) << 42 / 44.0 * 100 << false << FollowRule{};
        QTest::newRow("earlier answered nothing") << Pairs{{0, 0}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}} << 0.5
                                                  << qsizetype(1) << 999.0 << true << FollowRule{};
        QTest::newRow("her rule: below 80% over 2")
            << Pairs{{7, 3}, {8, 2}} << 0.75 << qsizetype(1) << 999.0 << true << FollowRule{80, 2};
        QTest::newRow("her rule: exactly 75%")
            << Pairs{{3, 1}, {3, 1}} << 0.75 << qsizetype(0) << 999.0 << false << FollowRule{75, 2};
        QTest::newRow("her rule: one game short")
            << Pairs{{0, 5}, {0, 5}, {0, 5}} << 0.0 << qsizetype(0) << 999.0 << false << FollowRule{100, 4};
    }
    // The newest comes first: the figures follow the time of the games, not the order they came in.
    void pupil()
    {
        QFETCH(Pairs, games);
        QFETCH(FollowRule, rule);
        ClassList list;
        list.setRule(rule);
        ClassFigures figures({}, &list);
        for (qsizetype i = 0; i < games.size(); ++i) {
            const qsizetype at = (i + games.size() - 1) % games.size();
            figures.add(named(u"Zoe"_s, games.at(at).first, games.at(at).second, 8 + int(at)));
        }
        const PupilFigures &one = figures.pupils().constFirst();
        QTEST(one.accuracy().value_or(-1), "accuracy");
        QTEST(one.best, "best");
        QTEST(one.trend().value_or(999), "trend");
        QTEST(one.needsFollowing(), "follow");
        QCOMPARE(one.lastGame().when.time().hour(), 8 + int(games.size()) - 1);
    }

    void minutes_data()
    {
        QTest::addColumn<QList<qint16>>("secondsLeft"); // one game each
        QTest::addColumn<qint64>("minutes");
        QTest::newRow("time out") << QList<qint16>{0} << qint64(15);
        QTest::newRow("left at once") << QList<qint16>{900} << qint64(0);
        QTest::newRow("29 seconds") << QList<qint16>{871} << qint64(0);
        QTest::newRow("30 seconds") << QList<qint16>{870} << qint64(1);
        QTest::newRow("summed, then rounded") << QList<qint16>{0, 450, 899} << qint64(23);
    }
    // Time on task: each game's fifteen minutes less the time left.
    void minutes()
    {
        QFETCH(QList<qint16>, secondsLeft);
        ClassFigures figures;
        for (const qint16 left : secondsLeft) {
            figures.add(named(u"Zoe"_s, 1, 0, 9, left));
            figures.add(named(u"Ugo"_s, 1, 0, 9, 900));
        }
        QTEST(figures.pupils().at(0).minutesPlayed(), "minutes");
        QCOMPARE(figures.pupils().at(1).minutesPlayed(), 0);
        QCOMPARE(PupilFigures::minutes(figures.secondsPlayed()), figures.pupils().at(0).minutesPlayed());
    }

    // The teacher's program is called otherwise, yet finds the game's register and creates nothing.
    void defaultPath()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.path()));
        QCoreApplication::setApplicationName(u"mirabolo-registro"_s);
        QCOMPARE(defaultRegisterPath({}), home.filePath(u"mirabolo/registro.csv"_s));
        QCOMPARE(defaultRegisterPath(u"/srv/4a"_s), u"/srv/4a/registro.csv"_s);
        QVERIFY(QDir(home.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClassRegister)
#include "test_classregister.moc"
