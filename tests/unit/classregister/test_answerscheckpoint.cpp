// A reading of the answers taken up from a checkpoint must give the figures a
// reading from the start gives, down to which wrong answers the bounded
// tables keep; a checkpoint that is not exactly what was written is never
// taken up.
#include "answerbatches.h"
#include "classregister/answerscheckpoint.h"
#include "classregister/classlist.h"
#include "classregister/registerformat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::classregister;

namespace {

const QDateTime start(QDate(2026, 12, 7), QTime(9, 0));

// A school's answers in small: 40 pupils (Ada and "ada " alike), every
// conversion, now and then a damaged line, and far more different wrong
// answers than the class's table holds, so that both its table and the
// pupils' make room again and again.
const QList<QByteArray> &schoolLines()
{
    static QList<QByteArray> lines;
    if (!lines.isEmpty())
        return lines;
    quint32 state = 7;
    const auto next = [&state](quint32 below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    const QLocale italian(QLocale::Italian);
    for (int i = 0; i < 36000; ++i) {
        if (i % 997 == 500) {
            lines << QByteArray("2026-12-07;09:10:00;Ada;rotto\r\n");
            continue;
        }
        const int source = int(next(6)) + 1;
        const int target = (source + int(next(5))) % 6 + 1;
        const int quantity = int(next(20)) + 1;
        const QString expected = mirabolo::test::expectedText(source, target, quantity, italian);
        QString typed = expected;
        switch (next(8)) {
        case 5:
            typed = expected + u'0';
            break;
        case 6:
            typed = u"%1"_s.arg(next(30));
            break;
        case 7:
            break;
        default:
            typed = u"n%1"_s.arg(i); // a slip seen once
            break;
        }
        const int pupil = int(next(40));
        const QString name = pupil == 0 ? (next(2) ? u"Ada"_s : u"ada "_s) : u"Alunno %1"_s.arg(pupil);
        const QDateTime when = start.addSecs(2 * i); // into the next day
        lines << answerLine({when, name, start.addSecs(2 * (i - i % 20)), source, target, quantity, expected, typed,
                             typed == expected, 5});
    }
    return lines;
}

QString tallyText(const AnswerTally *tally)
{
    if (tally == nullptr)
        return u"-"_s;
    QStringList parts{u"%1/%2"_s.arg(tally->right()).arg(tally->answers())};
    for (int source = 1; source <= 6; ++source)
        for (int target = 1; target <= 6; ++target)
            parts << u"%1:%2"_s.arg(tally->pair(source, target).right).arg(tally->pair(source, target).answers);
    for (int kind = 0; kind < mistakeKindCount; ++kind)
        parts << QString::number(tally->mistakes(mirabolo::game::MistakeKind(kind)));
    parts << (tally->common().madeRoom() ? u"room made"_s : u"room left"_s);
    for (const CommonAnswer &common : tally->common().mostCommon(tally->common().size()))
        parts << u"%1>%2 %3 %4x%5%6"_s.arg(common.answer.source)
                     .arg(common.answer.target)
                     .arg(common.answer.quantity)
                     .arg(common.answer.typed)
                     .arg(common.count)
                     .arg(common.exact ? u""_s : u"+"_s);
    for (const ReviewItem &item : tally->toReview())
        parts << u"review %1 %2>%3 %4/%5"_s.arg(int(item.kind))
                     .arg(item.source)
                     .arg(item.target)
                     .arg(item.wrong)
                     .arg(item.of);
    return parts.join(u' ');
}

struct Reading
{
    std::optional<AnswerFigures> figures;
    qint64 skippedCount = 0;
    QList<SkippedLine> skippedLines;
    AnswersReader reader{[this](const AnswerRecord &answer) { figures->add(answer); },
                         [this](const SkippedLine &line) {
                             ++skippedCount;
                             if (skippedLines.size() < RegisterParser::maxSkippedLines)
                                 skippedLines << line;
                         }};

    QStringList described() const
    {
        QStringList all{tallyText(&figures->wholeClass()), u"pupils %1"_s.arg(figures->pupilCount()),
                        u"skipped %1 %2"_s.arg(skippedCount).arg(skippedLines.size()),
                        u"lines %1"_s.arg(reader.progress() ? reader.progress()->lines : -1)};
        for (const SkippedLine &line : skippedLines)
            all << u"line %1 %2"_s.arg(line.number).arg(int(line.reason));
        for (const QString &name : {u"Ada"_s, u"Alunno 1"_s, u"Alunno 39"_s, u"Luchino"_s})
            all << name + u' ' + tallyText(figures->pupil(name));
        return all;
    }
};

// Taken up through the bytes a checkpoint is kept as.
std::optional<AnswersCheckpoint> keptAndReadBack(const Reading &reading, const DateSpan &span,
                                                 const QByteArray &listDigest, qint64 offset)
{
    AnswersFile::Position position;
    position.identity.size = offset;
    position.offset = offset;
    const AnswersCheckpoint kept{u"/classe/risposte.csv"_s,
                                 span,
                                 listDigest,
                                 position,
                                 *reading.reader.progress(),
                                 *reading.figures,
                                 reading.skippedCount,
                                 reading.skippedLines};
    return decodeCheckpoint(encodeCheckpoint(kept));
}

} // namespace

class TestAnswersCheckpoint : public QObject
{
    Q_OBJECT

private slots:
    void takenUpExactly_data()
    {
        QTest::addColumn<double>("cut"); // the share of the lines read before the checkpoint
        QTest::addColumn<bool>("listed"); // Ada's answers and Alunno 1's counted as Luchino's
        QTest::addColumn<DateSpan>("span");
        const DateSpan all;
        QTest::newRow("early, before any table is full") << 0.02 << false << all;
        QTest::newRow("after the class's table made room") << 0.8 << false << all;
        QTest::newRow("at the end: nothing after") << 1.0 << false << all;
        QTest::newRow("with the class list") << 0.5 << true << all;
        QTest::newRow("part of the day") << 0.5 << false << DateSpan{start.date(), start.date()};
    }
    void takenUpExactly()
    {
        QFETCH(double, cut);
        QFETCH(bool, listed);
        QFETCH(DateSpan, span);
        ClassList list;
        if (listed) {
            QVERIFY(list.addPupil(u"Luchino"_s));
            QVERIFY(list.addSpelling(0, u"Ada"_s));
            QVERIFY(list.addSpelling(0, u"Alunno 1"_s));
        }
        const QList<QByteArray> lines = schoolLines();
        const auto cutAt = qsizetype(cut * double(lines.size()));
        QByteArray before = answersHeader;
        for (qsizetype i = 0; i < cutAt; ++i)
            before += lines.at(i);
        QByteArray after;
        for (qsizetype i = cutAt; i < lines.size(); ++i)
            after += lines.at(i);

        Reading whole;
        whole.figures.emplace(span, &list);
        whole.reader.feed(before + after);

        Reading first;
        first.figures.emplace(span, &list);
        first.reader.feed(before);
        std::optional<AnswersCheckpoint> kept = keptAndReadBack(first, span, classListDigest(list), before.size());
        QVERIFY(kept.has_value());
        QCOMPARE(kept->position.offset, before.size());
        Reading taken;
        taken.figures = std::move(kept->figures);
        taken.skippedCount = kept->skippedCount;
        taken.skippedLines = kept->skippedLines;
        taken.reader.resume(kept->progress);
        taken.reader.feed(after);

        QVERIFY(whole.figures->wholeClass().common().madeRoom());
        QCOMPARE(taken.described(), whole.described());
    }

    // Anything but the bytes written reads as no checkpoint at all.
    void damaged_data()
    {
        QTest::addColumn<int>("at"); // from the end when negative
        QTest::addColumn<int>("change"); // added to the byte there; 0: the bytes are cut there
        QTest::newRow("another format") << 0 << 1;
        QTest::newRow("another version") << 30 << 1;
        QTest::newRow("a figure changed") << -40 << 1;
        QTest::newRow("a byte more") << -1 << 256;
        QTest::newRow("cut in the checksum") << 40 << 0;
        QTest::newRow("cut in the figures") << -40 << 0;
    }
    void damaged()
    {
        QFETCH(int, at);
        QFETCH(int, change);
        Reading reading;
        reading.figures.emplace();
        reading.reader.feed(answersHeader + answerLine({start, u"Ada"_s, start, 3, 2, 3, u"30"_s, u"3"_s, false, 5}));
        AnswersCheckpoint kept{u"/classe/risposte.csv"_s, {}, {}, {}, *reading.reader.progress(),
                               *reading.figures,          0,  {}};
        QByteArray bytes = encodeCheckpoint(kept);
        QVERIFY(decodeCheckpoint(bytes).has_value());
        const qsizetype place = at < 0 ? bytes.size() + at : at;
        if (change == 256)
            bytes += '\0';
        else if (change == 0)
            bytes.truncate(place);
        else
            bytes[place] = char(bytes.at(place) + change);
        QVERIFY(!decodeCheckpoint(bytes).has_value());
    }

    // A checkpoint is found only for the same file, days and class list, and
    // only the last few are kept.
    void folder()
    {
        QTemporaryDir dir;
        const CheckpointFolder checkpoints(dir.filePath(u"cache/mirabolo-registro"_s));
        Reading reading;
        reading.figures.emplace();
        reading.reader.feed(answersHeader);
        const QString path = dir.filePath(u"risposte.csv"_s);
        const DateSpan december{QDate(2026, 12, 1), QDate(2026, 12, 31)};
        // Saved a minute apart, yesterday: the one saved last is the newest.
        const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
        for (int day = 1; day <= CheckpointFolder::keptFiles + 2; ++day) {
            const DateSpan span{QDate(2026, 12, day), QDate(2026, 12, 31)};
            QVERIFY(checkpoints.save({path, span, "list", {}, *reading.reader.progress(), AnswerFigures(span), 0, {}}));
            QFile saved(checkpoints.fileFor(path, span, "list"));
            QVERIFY(saved.open(QIODevice::ReadWrite));
            QVERIFY(saved.setFileTime(yesterday.addSecs(60 * day), QFileDevice::FileModificationTime));
        }
        QCOMPARE(QDir(checkpoints.path()).entryList(QDir::Files).size(), CheckpointFolder::keptFiles);
        QVERIFY(!(QFile::permissions(checkpoints.path()) & (QFile::ReadGroup | QFile::ReadOther)));
        QVERIFY(checkpoints.load(path, december, "list").has_value() == false); // the oldest went
        const DateSpan last{QDate(2026, 12, CheckpointFolder::keptFiles + 2), QDate(2026, 12, 31)};
        QVERIFY(checkpoints.load(path, last, "list").has_value());
        QVERIFY(!checkpoints.load(path, last, "another list").has_value());
        QVERIFY(!checkpoints.load(dir.filePath(u"altra/risposte.csv"_s), last, "list").has_value());
        QVERIFY(!checkpoints.load(path, december, "list").has_value());
    }
};

QTEST_GUILESS_MAIN(TestAnswersCheckpoint)
#include "test_answerscheckpoint.moc"
