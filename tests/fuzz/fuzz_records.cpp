// Arbitrary bytes as a record file: the reader, the code page and the number
// reading behind the record must never crash and must keep the properties the
// end of the game relies on. A broken property aborts, which libFuzzer reports
// as a finding together with its input.
#include "records/endgame.h"
#include "records/recordstore.h"
#include "records/windows1252.h"
#include "runtime/numbers.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Qt::StringLiterals;
using namespace mirabolo;

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace {

struct Fixture
{
    QLocale italian{u"it_IT"_s};
    // The C library's reading of numbers, whatever LC_NUMERIC says: the
    // reference for the record's value.
    locale_t cNumbers = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    QHash<char16_t, char> byteOf; // every character decoding gives, back to its byte
    QTemporaryDir dir;
    QString recordFile;
};

Fixture *fixture = nullptr;

// The record's leading number as Val reads it: an optional sign, then digits
// with at most one '.'. Empty when it holds no digit.
std::string leadingNumeral(const QString &text, qsizetype i)
{
    std::string numeral;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        numeral.push_back(char(text[i++].unicode()));
    }
    const auto isDigit = [&](qsizetype at) { return text[at] >= u'0' && text[at] <= u'9'; };
    bool point = false;
    bool digit = false;
    for (; i < text.size() && (isDigit(i) || (text[i] == u'.' && !point)); ++i) {
        const char c = char(text[i].unicode());
        point = point || c == '.';
        digit = digit || c != '.';
        numeral.push_back(c);
    }
    return digit ? numeral : std::string();
}

bool sameDouble(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

void checkCodePage(const QByteArray &bytes, const QString &text)
{
    // One character per byte, written back as the very same bytes: reading
    // and rewriting a record file never alters it.
    CHECK(text.size() == bytes.size());
    CHECK(records::encodeWindows1252(text) == bytes);

    // Any text, lone surrogates included (a name may hold anything): a
    // character of the code page keeps its byte, any other becomes one '?',
    // a surrogate pair counting as one character.
    QString any(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(any.data(), bytes.constData(), std::size_t(any.size()) * 2);
    const QByteArray encoded = records::encodeWindows1252(any);
    qsizetype j = 0;
    for (qsizetype i = 0; i < any.size(); ++i, ++j) {
        CHECK(j < encoded.size());
        if (any[i].isHighSurrogate() && i + 1 < any.size() && any[i + 1].isLowSurrogate()) {
            ++i;
            CHECK(encoded[j] == '?');
        } else {
            CHECK(encoded[j] == fixture->byteOf.value(any[i].unicode(), '?'));
        }
    }
    CHECK(j == encoded.size());
}

void checkVal(const QString &text)
{
    const double value = runtime::val(text);
    qsizetype start = 0;
    while (start < text.size() && QStringView(u" \t\r\n").contains(text[start])) {
        ++start;
    }
    const std::string numeral = leadingNumeral(text, start);
    if (numeral.empty()) {
        CHECK(value == 0.0);
        return;
    }
    // Correctly rounded under the pupil's locale too; a number too large is
    // infinite, one too small for a normal double may read as 0.
    errno = 0;
    const double expected = strtod_l(numeral.c_str(), nullptr, fixture->cNumbers);
    const bool underflow = errno == ERANGE && !std::isinf(expected);
    CHECK(sameDouble(value, expected) || (underflow && value == 0.0));
}

void checkNumericText(const QString &text)
{
    const auto inC = runtime::numericText(text, QLocale::c());
    const auto inItalian = runtime::numericText(text, fixture->italian);
    CHECK(!inC || std::isfinite(*inC));
    CHECK(!inItalian || std::isfinite(*inItalian));

    // A plain number reads the same with a '.' in C, with a ',' in Italian
    // and as the record's value.
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || leadingNumeral(trimmed, 0).size() != std::size_t(trimmed.size())) {
        return;
    }
    const auto commaInItalian = runtime::numericText(QString(trimmed).replace(u'.', u','), fixture->italian);
    CHECK(commaInItalian == inC);
    CHECK(!inC || *inC == runtime::val(trimmed));
}

void checkRecordComparison(const QString &text)
{
    // The game's scores are the whole numbers 0 to 32767: a score beats the
    // record exactly when it is above the record's value; a tie never does.
    const double record = records::recordValue(text);
    const auto beats = [&](int score) { return records::beatsRecord(QString::number(score), text); };
    const std::optional<qint16> whole = runtime::wholePart(record);
    if (!whole) {
        CHECK(!(record >= -32768.0 && record < 32768.0));
        CHECK(beats(0) == (record < 0.0) && beats(32767) == (record < 0.0));
        return;
    }
    CHECK(double(*whole) <= record && record < double(*whole) + 1.0);
    CHECK(*whole < 0 || !beats(*whole));
    const int lowestAbove = std::max(*whole + 1, 0);
    CHECK(lowestAbove > 32767 || beats(lowestAbove));
}

void checkReader(const QByteArray &bytes)
{
    // A new file each time: truncating one makes ext4 flush it on close.
    QFile::remove(fixture->recordFile);
    QFile file(fixture->recordFile);
    CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    const std::optional<QString> read = records::Leggifiletxt(fixture->recordFile);
    CHECK(read && read->size() <= records::maxRecordFileBytes);
    CHECK(*read == records::decodeWindows1252(bytes.left(qsizetype(records::maxRecordFileBytes))));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The game runs with the pupil's regional settings in the C library too
    // (QApplication sets them): the record must read the same under them.
    if (!std::setlocale(LC_ALL, "it_IT.UTF-8")) {
        std::fprintf(stderr, "it_IT.UTF-8 is missing: the C library reads numbers in its C locale\n");
    }
    fixture = new Fixture;
    std::atexit([] { delete fixture; }); // removes the temporary folder
    CHECK(fixture->cNumbers != locale_t(nullptr) && fixture->dir.isValid());
    fixture->recordFile = fixture->dir.filePath(QString::fromUtf16(records::recordFileName));
    for (int byte = 0; byte < 256; ++byte) {
        const QString decoded = records::decodeWindows1252(QByteArray(1, char(byte)));
        CHECK(decoded.size() == 1);
        fixture->byteOf.insert(decoded[0].unicode(), char(byte));
    }
    CHECK(fixture->byteOf.size() == 256); // every byte its own character
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = records::decodeWindows1252(bytes);
    checkCodePage(bytes, text);
    checkVal(text);
    checkNumericText(text);
    checkRecordComparison(text);
    checkReader(bytes);
    return 0;
}
