#include "classregister/classfigures.h"
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

GameRecord named(const QString &name, qint16 right = 1, qint16 wrong = 0, int hour = 9)
{
    return {
        QDateTime(nine.date(), QTime(hour, 0), Qt::UTC), name, right, wrong, 0, Ending::Exit, RecordMark::NotBeaten};
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

    void grouping_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("pupils");
        QTest::addColumn<QList<qsizetype>>("games");
        QTest::newRow("capitals and blanks")
            << QStringList{u"Zoe"_s, u"zoe"_s, u"Zoe "_s, u" ZOE"_s, u"Ugo"_s, u"Zoe"_s}
            << QStringList{u"Zoe"_s, u"Ugo"_s} << QList<qsizetype>{5, 1};
        QTest::newRow("tie to the last") << QStringList{u"Zoe"_s, u"zoe"_s, u"Zoe"_s, u"zoe"_s} << QStringList{u"zoe"_s}
                                         << QList<qsizetype>{4};
        QTest::newRow("a stray blank") << QStringList{u"Giulia"_s, u"Giulia "_s, u"giulia"_s, u" Ugo "_s}
                                       << QStringList{u"Giulia"_s, u"Ugo"_s} << QList<qsizetype>{3, 1};
        QTest::newRow("inner blanks") << QStringList{u"Anna  Rossi"_s, u"anna rossi"_s, u"anna rossi"_s}
                                      << QStringList{u"anna rossi"_s} << QList<qsizetype>{3};
    }
    void grouping()
    {
        QFETCH(QStringList, typed);
        ClassFigures figures;
        for (const QString &name : typed)
            QCOMPARE(figures.pupils().value(figures.add(named(name, 2, 1))).games.last().name, name);
        QStringList shown;
        QList<qsizetype> games;
        for (const PupilFigures &pupil : figures.pupils()) {
            shown << pupil.name;
            games << pupil.games.size();
        }
        QTEST(shown, "pupils");
        QTEST(games, "games");
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
        QTest::newRow("nothing answered") << Pairs{{0, 0}} << -1.0 << qsizetype(0) << 999.0 << false;
        QTest::newRow("three below 60%") << Pairs{{5, 5}, {7, 3}, {5, 5}} << 17 / 30.0 << qsizetype(1) << 999.0 << true;
        QTest::newRow("two below 60%") << Pairs{{1, 9}, {1, 9}} << 0.1 << qsizetype(0) << 999.0 << false;
        QTest::newRow("exactly 60%") << Pairs{{6, 4}, {3, 2}, {3, 2}} << 0.6 << qsizetype(0) << 999.0 << false;
        QTest::newRow("best: fewer wrong, then earlier")
            << Pairs{{8, 2}, {8, 1}, {8, 1}, {7, 0}} << 31 / 35.0 << qsizetype(1) << 999.0 << false;
        QTest::newRow("rising") << Pairs{{0, 10}, {1, 1}, {10, 0}, {10, 0}, {10, 0}, {11, 1}} << 42 / 54.0
                                << qsizetype(5) << 42 / 44.0 * 100 << false;
        QTest::newRow("earlier answered nothing")
            << Pairs{{0, 0}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}} << 0.5 << qsizetype(1) << 999.0 << true;
    }
    // The newest comes first: the figures follow the time of the games, not the order they came in.
    void pupil()
    {
        QFETCH(Pairs, games);
        ClassFigures figures;
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
