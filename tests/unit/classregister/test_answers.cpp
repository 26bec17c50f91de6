#include "classregister/answersreader.h"
#include "classregister/registerformat.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::classregister;
using Skipped = QList<SkippedLine>;

namespace {

const QDateTime start(QDate(2026, 12, 7), QTime(9, 0));

// 3 dl in cl, judged at 09:12:05 after 7 seconds.
mirabolo::game::JudgedAnswer judged(const QString &typed, const QString &name = u"Zoe"_s)
{
    return {start.addSecs(725), name, start, 3, 2, 3, u"30"_s, typed, typed == u"30"_s, 7};
}

// An answer as one text, so that a list of them compares at a glance.
QString shown(const AnswerRecord &answer)
{
    if (answer.when.timeSpec() != Qt::UTC || answer.gameStarted.timeSpec() != Qt::UTC)
        qFatal("an answer's times must be held as UTC, never shifted");
    return u"%1|%2|%3|%4>%5|%6|%7|%8|%9|%10"_s
        .arg(answer.when.toString(u"yyyy-MM-dd HH:mm:ss"_s), answer.name,
             answer.gameStarted.toString(u"yyyy-MM-dd HH:mm:ss"_s))
        .arg(answer.source)
        .arg(answer.target)
        .arg(answer.quantity)
        .arg(answer.expected, answer.typed)
        .arg(answer.seconds)
        .arg(answer.right ? u"right"_s : u"wrong"_s);
}

struct Read
{
    QStringList answers;
    Skipped skipped;
};

// `bytes` fed in pieces of `piece` bytes.
Read readAll(QByteArrayView bytes, qsizetype piece)
{
    Read read;
    AnswersReader reader([&read](const AnswerRecord &answer) { read.answers << shown(answer); },
                         [&read](const SkippedLine &line) { read.skipped << line; });
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        reader.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
    return read;
}

const QString zoe30 = u"2026-12-07 09:12:05|Zoe|2026-12-07 09:00:00|3>2|3|30|30|7|right"_s;

} // namespace

class TestAnswers : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("field"); // as the file has it
        QTest::addColumn<QString>("stored"); // as it reads back
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("nameField");
        const auto row = [](const char *tag, const QString &typed, const QByteArray &field, const QString &stored,
                            const QString &name = u"Zoe"_s, const QByteArray &nameField = "Zoe") {
            QTest::newRow(tag) << typed << field << stored << name << nameField;
        };
        row("right", u"30"_s, "30", u"30"_s);
        row("empty", QString(), "", QString());
        row("formula", u"=1+1"_s, "'=1+1", u"=1+1"_s);
        row("plus", u"+3"_s, "'+3", u"+3"_s);
        row("minus", u"-2"_s, "'-2", u"-2"_s);
        row("at", u"@x"_s, "'@x", u"@x"_s);
        row("blanks before =", u" \u00A0=1"_s, "' \xC2\xA0=1", u" \u00A0=1"_s);
        row("apostrophe", u"'3"_s, "'3", u"'3"_s);
        row("apostrophe before =", u"'=1"_s, "''=1", u"'=1"_s);
        row("quotes", u"0,\"3\""_s, "\"0,\"\"3\"\"\"", u"0,\"3\""_s);
        row("semicolon", u"0;3"_s, "\"0;3\"", u"0;3"_s);
        row("formula in quotes", u"=\"a;b\""_s, "\"'=\"\"a;b\"\"\"", u"=\"a;b\""_s);
        row("controls", u"3\t0\r\n\x1b\x7f\u0085\u2028"_s, "3\uFFFD0\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD",
            u"3\uFFFD0\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"_s);
        row("zero-width blank kept", u"30\u200B"_s, "30\u200B", u"30\u200B"_s);
        row("byte-order mark first", u"\uFEFF30"_s, "\uFEFF30", u"\uFEFF30"_s);
        row("outside Windows-1252", u"½ Ł 😀"_s, "\xC2\xBD \xC5\x81 \xF0\x9F\x98\x80", u"½ Ł 😀"_s);
        row("half a pair", u"3"_s + QChar(0xD800), "3\xEF\xBF\xBD", u"3\uFFFD"_s);
        row("huge paste", QString(32767, u'9'), QByteArray(maxAnswerLength, '9'), QString(maxAnswerLength, u'9'));
        row("cut before a pair", QString(maxAnswerLength - 1, u'è') + u"😀"_s,
            QString(maxAnswerLength - 1, u'è').toUtf8(), QString(maxAnswerLength - 1, u'è'));
        row("name as a formula", u"30"_s, "30", u"30"_s, u"=Ugo;x\r"_s, "\"'=Ugo;x \"");
        row("longest name and answer", QString(5000, u'€'), QString(maxAnswerLength, u'€').toUtf8(),
            QString(maxAnswerLength, u'€'), QString(5000, u'"'), '"' + QByteArray(2 * maxNameLength, '"') + '"');
    }
    // Whatever was typed is one line of the file and reads back as stored;
    // nothing in it runs as a formula in a spreadsheet.
    void roundTrip()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, field);
        QFETCH(QString, stored);
        QFETCH(QString, name);
        QFETCH(QByteArray, nameField);
        QCOMPARE(storedAnswer(typed), stored);
        const QByteArray line = answerLine(judged(typed, name));
        QCOMPARE(line,
                 "2026-12-07;09:12:05;" + nameField + ";2026-12-07 09:00:00;dl;cl;3;30;" + field + ";7;" +
                     (typed == u"30"_s ? "esatta" : "errata") + "\r\n");
        QVERIFY(line.size() <= maxLineBytes);
        const Read read = readAll(answersHeader + line, 7);
        QCOMPARE(read.skipped, Skipped());
        QCOMPARE(read.answers,
                 QStringList{u"2026-12-07 09:12:05|%1|2026-12-07 09:00:00|3>2|3|30|%2|7|%3"_s.arg(
                     storedName(name), stored, typed == u"30"_s ? u"right"_s : u"wrong"_s)});
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<Skipped>("skipped");
        const QByteArray game = answersHeader + answerLine(judged(u"30"_s)) + answerLine(judged(u"=3"_s));
        const QString zoe3 = u"2026-12-07 09:12:05|Zoe|2026-12-07 09:00:00|3>2|3|30|=3|7|wrong"_s;
        QTest::newRow("game") << game << QStringList{zoe30, zoe3} << Skipped();
        QTest::newRow("concatenated") << game + game << QStringList{zoe30, zoe3, zoe30, zoe3} << Skipped();
        // The same moment a year before: the start, read once for a game's
        // answers, differs only in its first bytes.
        mirabolo::game::JudgedAnswer yearBefore = judged(u"30"_s);
        yearBefore.when = yearBefore.when.addYears(-1);
        yearBefore.gameStart = yearBefore.gameStart.addYears(-1);
        QTest::newRow("a year apart")
            << answersHeader + answerLine(yearBefore) + answerLine(judged(u"30"_s))
            << QStringList{u"2025-12-07 09:12:05|Zoe|2025-12-07 09:00:00|3>2|3|30|30|7|right"_s, zoe30} << Skipped();
        // As a spreadsheet saves it again: no mark, LF, every field quoted,
        // its own dates and times, empty columns, capitals, Windows-1252.
        QTest::newRow("calc")
            << QByteArray(
                   "\"Data\";\"Ora\";\"Nome\";\"Inizio partita\";;\n"
                   "07/12/2026;\"09:12:05\";\"Zoe\";\"07/12/2026 09:00:00\";\"dl\";\"cl\";3;30;\"'=3\";7;\"errata\";;\n"
                   "\n;;;\n"
                   "7/12/26;9:12:05 AM;Nicol\xF2;12/7/26 09:00 AM;DL;Cl;3;30;\xBD;7;ESATTA\r\n"
                   "2026-12-07;12:30:00 PM;Zoe;2026-12-07T12:29:59;hl;ml;20;2000000;2000000;0;esatta\n")
            << QStringList{zoe3, u"2026-12-07 09:12:05|Nicolò|2026-07-12 09:00:00|3>2|3|30|½|7|right"_s,
                           u"2026-12-07 12:30:00|Zoe|2026-12-07 12:29:59|6>1|20|2000000|2000000|0|right"_s}
            << Skipped();
        // Every kind of blank around a field is not part of it.
        QTest::newRow("blanks") << QByteArray(answersHeader) +
                "2026-12-07; 09:12:05\t;Zoe;\"\r2026-12-07 09:00:00\f\";\vdl;cl;3;30;30;7;\"\tesatta\r\"\r\n"
                                << QStringList{zoe30} << Skipped();
        // More names and answers than the reader keeps, then empty ones.
        QByteArray many = answersHeader;
        QStringList manyRead;
        for (int i = 0; i <= 10001; ++i) {
            const QString text = i <= 10000 ? u"w%1"_s.arg(i) : QString();
            many += answerLine(judged(text, text));
            manyRead << u"2026-12-07 09:12:05|%1|2026-12-07 09:00:00|3>2|3|30|%1|7|wrong"_s.arg(text);
        }
        QTest::newRow("more than are kept") << many << manyRead << Skipped();
        using enum SkipReason;
        const QList<std::tuple<const char *, QByteArray, SkipReason>> bad{
            {"no such day", "2026-02-30;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;7;esatta", BadDate},
            {"no such hour", "2026-12-07;25:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;7;esatta", BadTime},
            {"midnight as 24", "2026-12-07;24:00:00;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;7;esatta", BadTime},
            {"start without time", "2026-12-07;09:12:05;Zoe;2026-12-07;dl;cl;3;30;30;7;esatta", BadGameStart},
            {"no start", "2026-12-07;09:12:05;Zoe;;dl;cl;3;30;30;7;esatta", BadGameStart},
            {"unknown unit", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;kl;cl;3;30;30;7;esatta", UnknownUnit},
            {"same unit", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;cl;cl;3;3;3;7;esatta", UnknownUnit},
            {"no quantity", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;0;0;0;7;esatta", BadQuantity},
            {"longer than a game", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;901;esatta",
             BadSecondsTaken},
            {"unknown verdict", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;7;giusta", UnknownVerdict},
            {"stray quote", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;3\"0;7;esatta", BadQuotes},
            {"register line", "2026-12-07;09:12:05;Zoe;1;0;1;0;uscita;", TooFewFields},
            {"twelfth field", "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;30;7;esatta;x", ExtraFields},
            {"overlong",
             "2026-12-07;09:12:05;Zoe;2026-12-07 09:00:00;dl;cl;3;30;" + QByteArray(5000, '3') + ";7;esatta", TooLong}};
        for (const auto &[tag, text, reason] : bad)
            QTest::newRow(tag) << answersHeader + text + "\r\n" + answerLine(judged(u"30"_s)) << QStringList{zoe30}
                               << Skipped{{2, reason}};
    }
    // In pieces of any size, every answer is read and every bad line skipped with its reason.
    void reading()
    {
        QFETCH(QByteArray, file);
        for (const qsizetype piece : {file.size(), qsizetype(1), qsizetype(5)}) {
            const Read read = readAll(file, piece);
            QTEST(read.answers, "answers");
            QTEST(read.skipped, "skipped");
        }
    }

    // A power failure may cut the file anywhere: the lines before the cut
    // read as they were written, the half line never reads as an answer (a
    // last line without its end waits), and the next game's lines, which
    // start on a line of their own, read again.
    void cutAnywhere()
    {
        const QList<mirabolo::game::JudgedAnswer> written{judged(u"30"_s), judged(u"\"3;0\""_s),
                                                          judged(u"=0,3"_s, u"Ugo \"U\""_s)};
        QByteArray file = answersHeader;
        QList<qsizetype> starts, contentEnds; // where each line starts, and ends before its CR LF
        QStringList all;
        for (const auto &answer : written) {
            starts << file.size();
            file += answerLine(answer);
            contentEnds << file.size() - 2;
            all << readAll(answersHeader + answerLine(answer), 1).answers;
        }
        const QByteArray next = answerLine(judged(u"30"_s));
        const qsizetype headerEnd = qsizetype(std::size(answersHeader)) - 1;
        for (qsizetype cut = 0; cut <= file.size(); ++cut) {
            const QByteArray left = file.first(cut);
            const Read resumed = readAll(left + (cut == 0 || left.back() == '\n' ? "" : "\r\n") + next, 4096);
            const qsizetype whole =
                std::count_if(contentEnds.cbegin(), contentEnds.cend(), [cut](qsizetype end) { return end <= cut; });
            QCOMPARE(resumed.answers, all.first(whole) + QStringList{zoe30});
            bool halfLine = false;
            for (qsizetype i = 0; i < starts.size(); ++i)
                halfLine = halfLine || (starts[i] < cut && cut < contentEnds[i]);
            if (cut > headerEnd)
                QCOMPARE(resumed.skipped.size(), halfLine ? 1 : 0);
        }
    }

    // Followed as the game writes it: a register from before has no answers,
    // a line still being written waits, another file in its place is read anew.
    void following()
    {
        QTemporaryDir dir;
        const QString path = answersPathBeside(dir.filePath(u"registro.csv"_s));
        QCOMPARE(path, dir.filePath(u"risposte.csv"_s));
        QStringList answers;
        int startedOver = 0;
        AnswersReader reader([&answers](const AnswerRecord &answer) { answers << shown(answer); }, {},
                             [&] { answers.clear(), ++startedOver; });
        AnswersFile followed(path);
        const auto write = [](const QString &name, const QByteArray &bytes, QIODevice::OpenMode mode) {
            QFile file(name);
            return file.open(mode) && file.write(bytes) == bytes.size();
        };
        using Change = AnswersFile::Change;
        QCOMPARE(followed.refresh(reader), Change::Unavailable);
        QCOMPARE(followed.state(), FileState::Missing);
        QVERIFY(!followed.statusMessage().isEmpty());
        QCOMPARE(followed.refresh(reader), Change::None);

        const QByteArray line = answerLine(judged(u"30"_s));
        QVERIFY(write(path, answersHeader + line + line.first(20), QIODevice::WriteOnly));
        QCOMPARE(followed.refresh(reader, 10), Change::Reloaded);
        while (!followed.atEnd())
            QCOMPARE(followed.refresh(reader, 10), Change::Appended);
        QCOMPARE(answers, QStringList{zoe30});
        QVERIFY(write(path, line.sliced(20) + line, QIODevice::Append));
        QCOMPARE(followed.refresh(reader), Change::Appended);
        QCOMPARE(answers, QStringList(3, zoe30));
        QVERIFY(followed.statusMessage().isEmpty());

        const QString other = dir.filePath(u"nuovo.csv"_s);
        QVERIFY(write(other, answersHeader + answerLine(judged(u"3"_s)), QIODevice::WriteOnly));
        QVERIFY(QFile::remove(path) && QFile::rename(other, path));
        QCOMPARE(followed.refresh(reader), Change::Reloaded);
        QCOMPARE(answers, QStringList{u"2026-12-07 09:12:05|Zoe|2026-12-07 09:00:00|3>2|3|30|3|7|wrong"_s});
        QCOMPARE(startedOver, 3); // gone, first read, replaced
    }
};

QTEST_GUILESS_MAIN(TestAnswers)
#include "test_answers.moc"
