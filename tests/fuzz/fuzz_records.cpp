// Arbitrary bytes as a record file, as a register and as a pupil's name and
// answer: the readers, the code page, the number reading behind the record
// and the register's format must never crash and must keep the properties the
// end of the game and the class's figures rely on. A broken property aborts,
// which libFuzzer reports as a finding with its input.
#include "classregister/answersreader.h"
#include "classregister/registerformat.h"
#include "classregister/registerparser.h"
#include "records/endgame.h"
#include "records/recordstore.h"
#include "runtime/numbers.h"
#include "runtime/windows1252.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace mirabolo;
using namespace Qt::StringLiterals;

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace {

// The C library's reading of numbers whatever LC_NUMERIC says: the reference
// for the record's value.
locale_t cNumbers = nullptr;

// Val's reference: the leading numeral (blanks, sign, digits, one '.') read by
// strtod_l, or 0 without a digit.
double referenceVal(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && QStringView(u" \t\r\n").contains(text[i]))
        ++i;
    std::string numeral;
    bool point = false, digit = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        numeral.push_back(char(text[i++].unicode()));
    for (; i < text.size() && ((text[i] >= u'0' && text[i] <= u'9') || (text[i] == u'.' && !point)); ++i) {
        point = point || text[i] == u'.';
        digit = digit || text[i] != u'.';
        numeral.push_back(char(text[i].unicode()));
    }
    return digit ? strtod_l(numeral.c_str(), nullptr, cNumbers) : 0.0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The game runs with the pupil's regional settings in the C library too.
    if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
        std::fprintf(stderr, "it_IT.UTF-8 is missing: the C library reads numbers in its C locale\n");
    cNumbers = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    CHECK(cNumbers != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = runtime::decodeWindows1252(bytes);
    // One character per byte, written back as the very same bytes.
    CHECK(text.size() == bytes.size() && runtime::encodeWindows1252(text) == bytes);

    // Val reads the leading numeral, correctly rounded; one too small for a
    // normal double may read as 0.
    errno = 0;
    const double expected = referenceVal(text);
    const double value = runtime::val(text);
    CHECK(value == expected || (errno == ERANGE && value == 0.0));

    // Scores are 0 to 32767: one beats the record exactly when it is above the
    // record's value; a tie never does.
    const double record = records::recordValue(text);
    if (std::isfinite(record) && record >= 0.0 && record < 32767.0) {
        const int whole = int(std::floor(record));
        CHECK(!records::beatsRecord(QString::number(whole), text));
        CHECK(records::beatsRecord(QString::number(whole + 1), text));
    }

    // The reader stops at its bound whatever the file holds.
    static const QTemporaryDir dir; // removed at exit
    const QString path = dir.filePath(QString::fromUtf16(records::recordFileName));
    QFile::remove(path); // a new file each time: truncating makes ext4 flush it on close
    QFile file(path);
    CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const std::optional<QString> read = records::Leggifiletxt(path);
    CHECK(read && *read == runtime::decodeWindows1252(bytes.left(qsizetype(records::maxRecordFileBytes))));

    // The register reads the same wherever the bytes come cut.
    const qsizetype cut = bytes.isEmpty() ? 0 : qsizetype(data[0]) % bytes.size();
    classregister::RegisterParser whole;
    classregister::RegisterParser pieces;
    whole.feed(bytes);
    whole.finish();
    pieces.feed(QByteArrayView(bytes).first(cut));
    pieces.feed(QByteArrayView(bytes).sliced(cut));
    pieces.finish();
    CHECK(whole.takeGames() == pieces.takeGames() && whole.skippedLines() == pieces.skippedLines());

    // Whatever a pupil types, the game's line is one the reader takes whole,
    // and the name reads back as stored.
    const QString name = QString::fromUtf8(bytes);
    const game::GameSummary game{QDateTime(QDate(2026, 12, 7), QTime(9, 0)), name, 1, 2, 3, game::GameEnd::Exit};
    const QByteArray line = classregister::registerLine(game, classregister::RecordMark::NotBeaten);
    CHECK(line.size() <= classregister::maxLineBytes && line.endsWith("\r\n"));
    classregister::GameRecord back;
    CHECK(classregister::readLine(QByteArrayView(line).chopped(2), back) == classregister::LineKind::Game);
    CHECK(back.name == classregister::storedName(name) && classregister::storedName(back.name) == back.name);

    // Whatever a pupil types as an answer, its line is one the reader takes
    // whole, and the answer reads back as stored.
    const game::JudgedAnswer answer{game.end, name, game.end, 3, 2, 3, u"30"_s, name, false, 7};
    const QByteArray answerLine = classregister::answerLine(answer);
    CHECK(answerLine.size() <= classregister::maxLineBytes && answerLine.endsWith("\r\n"));
    QStringList typed;
    classregister::AnswersReader answers([&typed](const classregister::AnswerRecord &read) { typed << read.typed; });
    answers.feed(answerLine);
    CHECK(typed == QStringList{classregister::storedAnswer(name)});
    return 0;
}
