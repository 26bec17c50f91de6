#include "classregister/registerformat.h"

#include "game/units.h"
#include "runtime/windows1252.h"

#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

constexpr qsizetype fieldCount = 9;
// A spreadsheet may add empty columns; more than this is not a register.
constexpr qsizetype maxFields = 32;
// The game's counters stop here, and a game lasts fifteen minutes.
constexpr int maxAnswers = 32767;
constexpr int maxSecondsLeft = 900;

// Every line the game writes is read whole: the name at its longest, each
// unit three bytes of UTF-8, quoted, guarded, and the other fields at theirs.
static_assert(3 * maxNameLength + 3 + 100 <= maxLineBytes);

constexpr qsizetype answerFieldCount = 11;
// An answer's seconds are counted on the game's own clock.
constexpr int maxSecondsTaken = 900;
// The same for an answer: the name and both texts at their longest.
static_assert(3 * maxNameLength + 2 * (3 * maxAnswerLength + 3) + 100 <= maxLineBytes);

// What a spreadsheet runs as a formula when a cell starts with it, blanks
// before it or not.
bool isFormulaStart(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

// Whether the reader would take a leading apostrophe off `text`: apostrophes,
// then blanks, then the start of a formula. The game guards exactly these
// names, so a real leading apostrophe reads back as typed.
bool needsGuard(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i < text.size() && isFormulaStart(text[i]);
}

QString guarded(const QString &name)
{
    return needsGuard(name) ? u'\'' + name : name;
}

// Takes the guard off. A spreadsheet may also have put one before a tab or
// a carriage return, which the game never writes in a name.
QString unguarded(QString text)
{
    if (text.size() > 1 && text.front() == u'\'' &&
        (needsGuard(QStringView(text).sliced(1)) || text.at(1) == u'\t' || text.at(1) == u'\r'))
        text.remove(0, 1);
    return text;
}

QString csvField(QString text, bool asText = false)
{
    if (!asText && !text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + text.replace(u'"', u"\"\""_s) + u'"';
}

bool isPlainAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

struct Field
{
    QByteArrayView text;
    bool escapedQuotes = false;
};

// The fields of one line, in place and left unset beyond those read: a
// school's answers are four million lines.
class Fields
{
public:
    qsizetype size() const { return count; }
    Field operator[](qsizetype i) const
    {
        const Raw &raw = items[std::size_t(i)];
        return {QByteArrayView(raw.data, raw.size), raw.escapedQuotes};
    }
    void clear() { count = 0; }
    // The caller keeps within maxFields.
    void append(const Field &field)
    {
        items[std::size_t(count++)] = {field.text.data(), field.text.size(), field.escapedQuotes};
    }

private:
    struct Raw
    {
        const char *data;
        qsizetype size;
        bool escapedQuotes;
    };
    std::array<Raw, maxFields> items;
    qsizetype count = 0;
};

// The bytes of `word` equal to `c`, each as its top bit. Exact: no carry
// crosses from one byte to the next.
constexpr quint64 bytesEqual(quint64 word, quint64 pattern)
{
    const quint64 x = word ^ pattern;
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & low7) + low7) | x) & ~low7;
}

constexpr quint64 repeated(char c)
{
    return 0x0101010101010101ULL * quint8(c);
}

// Most lines quote nothing: their fields are found eight bytes at a time,
// and a quote in the same pass. False, with `fields` as far as read, for a
// line with a quote or too many fields.
bool splitPlain(QByteArrayView line, Fields &fields)
{
    const char *bytes = line.data();
    const qsizetype n = line.size();
    qsizetype start = 0;
    const auto endField = [&](qsizetype end) {
        if (fields.size() == maxFields)
            return false;
        fields.append(Field{QByteArrayView(bytes + start, end - start)});
        start = end + 1;
        return true;
    };
    qsizetype at = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time where the processor has it (every x86-64).
    for (; at + 16 <= n; at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('"'))) != 0)
            return false;
        for (auto found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(';')))); found != 0;
             found &= found - 1) {
            if (!endField(at + qCountTrailingZeroBits(found)))
                return false;
        }
    }
#endif
    for (; at + 8 <= n; at += 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes + at, 8);
        word = qFromLittleEndian(word);
        if (bytesEqual(word, repeated('"')))
            return false;
        for (quint64 found = bytesEqual(word, repeated(';')); found; found &= found - 1) {
            if (!endField(at + qCountTrailingZeroBits(found) / 8))
                return false;
        }
    }
    for (; at < n; ++at) {
        if (bytes[at] == '"' || (bytes[at] == ';' && !endField(at)))
            return false;
    }
    return endField(n);
}

// RFC 4180 with ';': false when a quote is out of place. One pass over the
// bytes: a school's answers are four million lines.
bool splitFields(QByteArrayView line, Fields &fields)
{
    const char *bytes = line.data();
    const qsizetype n = line.size();
    qsizetype pos = 0;
    if (splitPlain(line, fields))
        return true;
    if (fields.size() == maxFields)
        return false;
    fields.clear();
    while (true) {
        if (fields.size() == maxFields)
            return false;
        Field field;
        if (pos < n && bytes[pos] == '"') {
            const qsizetype start = pos + 1;
            qsizetype i = start;
            while (true) {
                while (i < n && bytes[i] != '"')
                    ++i;
                if (i == n)
                    return false;
                if (i + 1 < n && bytes[i + 1] == '"') {
                    field.escapedQuotes = true;
                    i += 2;
                    continue;
                }
                break;
            }
            field.text = line.sliced(start, i - start);
            pos = i + 1;
            if (pos < n && bytes[pos] != ';')
                return false;
        } else {
            qsizetype end = pos;
            for (; end < n && bytes[end] != ';'; ++end) {
                if (bytes[end] == '"')
                    return false;
            }
            field.text = line.sliced(pos, end - pos);
            pos = end;
        }
        fields.append(field);
        if (pos == n)
            return true;
        ++pos; // the ';'
    }
}

constexpr bool isBlankByte(char c)
{
    return c == ' ' || unsigned(c - '\t') <= unsigned('\r' - '\t'); // tab, line feed, vertical tab, form feed, return
}

// Blanks off both ends, inline: most fields have none.
inline QByteArrayView trim(QByteArrayView text)
{
    if (text.isEmpty() || (!isBlankByte(text.front()) && !isBlankByte(text.back())))
        return text;
    while (!text.isEmpty() && isBlankByte(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlankByte(text.back()))
        text.chop(1);
    return text;
}

// Inline, for the few bytes of a date or a name: four million calls of
// memcmp() cost more than the comparing.
Q_ALWAYS_INLINE bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    if (n < 8) {
        for (qsizetype i = 0; i < n; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
    // Word by word, the last word overlapping the one before: a date, a
    // name, a game's start.
    const auto word = [](const char *at) {
        quint64 value;
        std::memcpy(&value, at, 8);
        return value;
    };
    for (qsizetype i = 0; i < n - 8; i += 8) {
        if (word(a.data() + i) != word(b.data() + i))
            return false;
    }
    return word(a.data() + n - 8) == word(b.data() + n - 8);
}

inline QByteArrayView withoutByteOrderMark(QByteArrayView line)
{
    return line.size() >= 3 && line[0] == '\xEF' && line[1] == '\xBB' && line[2] == '\xBF' ? line.sliced(3) : line;
}

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// `text` is `word` (in small letters) whatever its capitals.
bool isWord(QByteArrayView text, std::string_view word)
{
    if (text.size() != qsizetype(word.size()))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i]) != word[std::size_t(i)])
            return false;
    }
    return true;
}

// A number of `minDigits` to `maxDigits` plain digits, else -1.
int digits(QByteArrayView text, qsizetype minDigits, qsizetype maxDigits)
{
    if (text.size() < minDigits || text.size() > maxDigits)
        return -1;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

QDate parseDate(QByteArrayView text)
{
    if (text.size() == 10 && text[4] == '-' && text[7] == '-')
        return {digits(text.first(4), 4, 4), digits(text.sliced(5, 2), 2, 2), digits(text.sliced(8, 2), 2, 2)};
    const qsizetype slash1 = text.indexOf('/');
    const qsizetype slash2 = slash1 < 0 ? -1 : text.indexOf('/', slash1 + 1);
    if (slash2 < 0)
        return {};
    const int day = digits(text.first(slash1), 1, 2);
    const int month = digits(text.sliced(slash1 + 1, slash2 - slash1 - 1), 1, 2);
    const QByteArrayView yearText = text.sliced(slash2 + 1);
    int year = digits(yearText, 2, 4);
    if (yearText.size() == 3 || year < 0)
        return {};
    // Two digits are this century's: the register is younger than that.
    if (yearText.size() == 2)
        year += 2000;
    return {year, month, day};
}

QTime parseTime(QByteArrayView text)
{
    // The game's own "09:12:05".
    if (text.size() == 8 && text[2] == ':' && text[5] == ':') {
        const auto pair = [&text](qsizetype at) {
            const auto tens = unsigned(text[at] - '0');
            const auto units = unsigned(text[at + 1] - '0');
            return tens > 9 || units > 9 ? -1 : int(tens * 10 + units);
        };
        const int hours = pair(0), minutes = pair(3), seconds = pair(6);
        return hours < 0 || minutes < 0 || seconds < 0 ? QTime() : QTime(hours, minutes, seconds);
    }
    // A spreadsheet under an English locale saves "02:53:41 PM".
    int afterNoon = -1; // on a 12-hour clock, 0 or 12
    if (text.size() > 2 && isWord(text.last(2), "am"))
        afterNoon = 0;
    else if (text.size() > 2 && isWord(text.last(2), "pm"))
        afterNoon = 12;
    if (afterNoon >= 0)
        text = trim(text.chopped(2));
    const qsizetype colon1 = text.indexOf(':');
    if (colon1 < 0)
        return {};
    const int hours = digits(text.first(colon1), 1, 2);
    const QByteArrayView rest = text.sliced(colon1 + 1);
    const qsizetype colon2 = rest.indexOf(':');
    const int minutes = digits(colon2 < 0 ? rest : rest.first(colon2), 2, 2);
    const int seconds = colon2 < 0 ? 0 : digits(rest.sliced(colon2 + 1), 2, 2);
    if (hours < 0 || minutes < 0 || seconds < 0 || (afterNoon >= 0 && (hours < 1 || hours > 12)))
        return {};
    return {afterNoon >= 0 ? hours % 12 + afterNoon : hours, minutes, seconds};
}

int parseCount(QByteArrayView text, int maxValue)
{
    const int value = digits(text, 1, 6);
    return value <= maxValue ? value : -1;
}

template<typename Enum, std::size_t N>
std::optional<Enum> parseWord(QByteArrayView text, const std::array<Enum, N> &values, QString (*name)(Enum))
{
    const QLatin1StringView word(text);
    for (const Enum value : values) {
        if (word.compare(name(value), Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

QString decodeName(QByteArrayView text, bool escapedQuotes)
{
    QByteArray bytes = text.toByteArray();
    if (escapedQuotes)
        bytes.replace("\"\"", "\"");
    // Most names are a few plain letters, which storedName() keeps as they
    // are: a school's register holds a hundred thousand of them.
    if (bytes.size() <= maxNameLength &&
        std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c >= 0x20 && c < 0x7F; }))
        return unguarded(QString::fromLatin1(bytes));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8(bytes);
    if (utf8.hasError())
        name = runtime::decodeWindows1252(bytes);
    return storedName(unguarded(std::move(name)));
}

bool isBlank(const Fields &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (!trim(fields[i].text).isEmpty())
            return false;
    }
    return true;
}

bool isHeader(const Fields &fields)
{
    return fields.size() >= 2 && isWord(trim(fields[0].text), "data") && isWord(trim(fields[1].text), "ora");
}

// Splits a line of `count` fields: Game when it has them (blank ones may
// follow, as a spreadsheet pads its rows), Other for a blank line or a
// header, else Unreadable with the reason.
LineKind splitLine(QByteArrayView line, qsizetype count, Fields &fields, SkipReason *reason)
{
    const bool quotedRight = splitFields(withoutByteOrderMark(line), fields);
    if (quotedRight && (isBlank(fields) || isHeader(fields)))
        return LineKind::Other;
    std::optional<SkipReason> why;
    if (!quotedRight)
        why = fields.size() == maxFields ? SkipReason::ExtraFields : SkipReason::BadQuotes;
    else if (fields.size() < count)
        why = SkipReason::TooFewFields;
    for (qsizetype i = count; !why && i < fields.size(); ++i) {
        if (!trim(fields[i].text).isEmpty())
            why = SkipReason::ExtraFields;
    }
    if (!why)
        return LineKind::Game;
    if (reason)
        *reason = *why;
    return LineKind::Unreadable;
}

// A date and a time with blanks or a 'T' between them.
std::pair<QByteArrayView, QByteArrayView> splitDateTime(QByteArrayView text)
{
    qsizetype split = 0;
    while (split < text.size() && text[split] != ' ' && text[split] != 'T')
        ++split;
    if (split == text.size())
        return {};
    return {text.first(split), trim(text.sliced(split + 1))};
}

constexpr std::string_view rightWord = "esatta";
constexpr std::string_view wrongWord = "errata";

QString verdictText(bool right)
{
    return QString::fromLatin1(right ? rightWord : wrongWord);
}

// The unit number of an abbreviation (ml 1 to hl 6, whatever the
// capitals), 0 for none. Two of them on every one of millions of lines.
quint8 parseUnit(QByteArrayView text)
{
    static_assert(game::firstUnit == 1 && game::lastUnit == 6);
    switch (text.size()) {
    case 1:
        return asciiLower(text[0]) == 'l' ? 4 : 0;
    case 2:
        if (asciiLower(text[1]) != 'l')
            return 0;
        switch (asciiLower(text[0])) {
        case 'm':
            return 1;
        case 'c':
            return 2;
        case 'd':
            return 3;
        case 'h':
            return 6;
        default:
            return 0;
        }
    case 3:
        return isWord(text, "dal") ? 5 : 0;
    default:
        return 0;
    }
}

// Seconds since midnight of the game's own "09:12:05"; -2 when it has that
// form but is no time of day, -1 for any other form (parseTime() reads those).
int plainSecondsOfDay(QByteArrayView text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return -1;
    const auto pair = [&text](qsizetype at) {
        const auto tens = unsigned(text[at] - '0');
        const auto units = unsigned(text[at + 1] - '0');
        return tens > 9 || units > 9 ? 100 : int(tens * 10 + units);
    };
    const int hours = pair(0), minutes = pair(3), seconds = pair(6);
    return hours < 24 && minutes < 60 && seconds < 60 ? (hours * 60 + minutes) * 60 + seconds : -2;
}

} // namespace

QString endingText(Ending ending)
{
    switch (ending) {
    case Ending::Exit:
        return u"uscita"_s;
    case Ending::TimeOut:
        return u"tempo scaduto"_s;
    case Ending::WindowClosed:
        return u"finestra chiusa"_s;
    case Ending::NewGame:
        return u"nuova gara"_s;
    case Ending::Interrupted:
        return u"interrotta"_s;
    }
    return {};
}

QString recordMarkText(RecordMark mark)
{
    switch (mark) {
    case RecordMark::Stored:
        return u"nuovo"_s;
    case RecordMark::Failed:
        return u"non salvato"_s;
    case RecordMark::NotBeaten:
        break;
    }
    return {};
}

QString storedName(QString name)
{
    // Most names need nothing: they come back as they are.
    if (name.size() <= maxNameLength && isPlainAscii(name))
        return name;
    QString stored;
    stored.reserve(std::min(name.size(), maxNameLength));
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, name.at(i + 1));
            ++i;
            if (QChar::category(code) == QChar::Other_Format)
                continue;
            if (stored.size() + 2 > maxNameLength)
                break;
            stored += c;
            stored += name.at(i);
            continue;
        }
        if (stored.size() == maxNameLength)
            break;
        switch (c.category()) {
        case QChar::Other_Format:
            break;
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            stored += u' ';
            break;
        case QChar::Other_Surrogate: // half a pair: UTF-8 cannot hold it
            stored += QChar(QChar::ReplacementCharacter);
            break;
        default:
            stored += c;
        }
    }
    return stored;
}

QString spreadsheetCell(const QString &text, bool asText)
{
    return csvField(text, asText);
}

QString spreadsheetName(const QString &name)
{
    return csvField(guarded(storedName(name)), true);
}

QString guardedName(const QString &name)
{
    return guarded(name);
}

QByteArray registerLine(const game::GameSummary &game, RecordMark record)
{
    const QStringList fields{
        game.end.toString(u"yyyy-MM-dd"_s), game.end.toString(u"HH:mm:ss"_s), csvField(guarded(storedName(game.name))),
        QString::number(game.right),        QString::number(game.wrong),      QString::number(game.right + game.wrong),
        QString::number(game.secondsLeft),  endingText(game.ending),          recordMarkText(record)};
    return (fields.join(u';') + u"\r\n"_s).toUtf8();
}

QString storedAnswer(QString typed)
{
    if (typed.size() <= maxAnswerLength && isPlainAscii(typed))
        return typed;
    QString stored;
    stored.reserve(std::min(typed.size(), maxAnswerLength));
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < typed.size() && typed.at(i + 1).isLowSurrogate();
        if (stored.size() + (pair ? 2 : 1) > maxAnswerLength)
            break;
        if (pair) {
            stored += c;
            stored += typed.at(++i);
            continue;
        }
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Other_Surrogate: // half a pair: UTF-8 cannot hold it
            stored += QChar(QChar::ReplacementCharacter);
            break;
        default:
            stored += c;
        }
    }
    return stored;
}

QByteArray answerLine(const game::JudgedAnswer &answer)
{
    const QStringList fields{answer.when.toString(u"yyyy-MM-dd"_s),
                             answer.when.toString(u"HH:mm:ss"_s),
                             csvField(guarded(storedName(answer.name))),
                             answer.gameStart.toString(u"yyyy-MM-dd HH:mm:ss"_s),
                             game::unitAbbreviation(answer.source),
                             game::unitAbbreviation(answer.target),
                             QString::number(answer.quantity),
                             csvField(guarded(storedAnswer(answer.expected))),
                             csvField(guarded(storedAnswer(answer.typed))),
                             QString::number(std::clamp(answer.seconds, 0, maxSecondsTaken)),
                             verdictText(answer.right)};
    return (fields.join(u';') + u"\r\n"_s).toUtf8();
}

LineKind AnswerLineReader::read(QByteArrayView line, AnswerRecord &answer, SkipReason *reason)
{
    Fields fields;
    const LineKind split = splitLine(line, answerFieldCount, fields, reason);
    if (split != LineKind::Game)
        return split;

    const auto refuse = [reason](SkipReason why) {
        if (reason)
            *reason = why;
        return LineKind::Unreadable;
    };
    const QDate date = day(trim(fields[0].text));
    if (!date.isValid())
        return refuse(SkipReason::BadDate);
    const QByteArrayView timeText = trim(fields[1].text);
    int seconds = plainSecondsOfDay(timeText);
    if (seconds == -1) {
        const QTime time = parseTime(timeText);
        seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : -2;
    }
    if (seconds < 0)
        return refuse(SkipReason::BadTime);
    // The answers of a game share its start: read when it changes.
    const QByteArrayView startText = trim(fields[3].text);
    const bool sameStart = !startText.isEmpty() && sameBytes(startText, lastStartText);
    QDateTime start;
    if (!sameStart) {
        const auto [startDay, startTime] = splitDateTime(startText);
        const QDate gameDate = startDay.isEmpty() ? QDate() : day(startDay);
        const QTime gameTime = parseTime(startTime);
        if (!gameDate.isValid() || !gameTime.isValid())
            return refuse(SkipReason::BadGameStart);
        start = QDateTime(gameDate, gameTime, Qt::UTC);
    }
    const quint8 source = parseUnit(trim(fields[4].text));
    const quint8 target = parseUnit(trim(fields[5].text));
    if (source == 0 || target == 0 || source == target)
        return refuse(SkipReason::UnknownUnit);
    const int quantity = parseCount(trim(fields[6].text), maxAnswers);
    if (quantity < 1)
        return refuse(SkipReason::BadQuantity);
    const int taken = parseCount(trim(fields[9].text), maxSecondsTaken);
    if (taken < 0)
        return refuse(SkipReason::BadSecondsTaken);
    const QByteArrayView verdict = trim(fields[10].text);
    const bool right = isWord(verdict, rightWord);
    if (!right && !isWord(verdict, wrongWord))
        return refuse(SkipReason::UnknownVerdict);

    // From the day's first moment, worked out once a day: the same moment
    // as QDateTime(date, time, Qt::UTC), for a fraction of the work.
    if (date != lastWhenDay) {
        lastWhenDay = date;
        lastWhenDayStart = date.startOfDay(Qt::UTC).toMSecsSinceEpoch();
    }
    const qint64 when = lastWhenDayStart + qint64(seconds) * 1000;
    if (answer.when.timeSpec() == Qt::UTC) // the line before's: only the moment changes
        answer.when.setMSecsSinceEpoch(when);
    else
        answer.when = QDateTime::fromMSecsSinceEpoch(when, Qt::UTC);
    if (!sameStart) {
        lastStartText = startText.toByteArray();
        lastStart = start;
    }
    answer.gameStarted = lastStart;
    // Set only when another: a copy of a string is two atomic operations.
    const auto set = [](QString &to, const QString &from) {
        if (to.constData() != from.constData() || to.size() != from.size())
            to = from;
    };
    set(answer.name, name(fields[2].text, fields[2].escapedQuotes));
    answer.source = qint8(source);
    answer.target = qint8(target);
    answer.quantity = qint16(quantity);
    answer.right = right;
    answer.seconds = qint16(taken);
    // The expected text follows from the exercise: one kept for each.
    Kept &exercise = exercises[std::size_t(((source - 1) * game::lastUnit + target - 1) * maxKeptQuantity +
                                           std::min(quantity, maxKeptQuantity) - 1)];
    set(answer.expected, text(fields[7].text, fields[7].escapedQuotes, exercise, expectedTexts));
    // A right answer is the expected text once more.
    set(answer.typed,
        sameBytes(fields[8].text, fields[7].text) && !fields[8].escapedQuotes
            ? answer.expected
            : text(fields[8].text, fields[8].escapedQuotes, lastTyped, typedTexts));
    return LineKind::Game;
}

// The answers of a day come together, and so do the day and its games' start.
QDate AnswerLineReader::day(QByteArrayView text)
{
    if (!sameBytes(text, lastDayText)) {
        lastDayText = text.toByteArray();
        lastDay = parseDate(text);
    }
    return lastDay;
}

namespace {

// Beyond this many texts a file is garbage, not a school: the rest are not kept.
constexpr qsizetype maxKept = 10000;

// A field's text, decoded as the game wrote it, the guard taken off.
QString decodeText(QByteArrayView field, bool escapedQuotes)
{
    QByteArray bytes = field.toByteArray();
    if (escapedQuotes)
        bytes.replace("\"\"", "\"");
    // A leading U+FEFF was typed, not put there as a byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = runtime::decodeWindows1252(bytes);
    return unguarded(std::move(text));
}

} // namespace

const QString &AnswerLineReader::name(QByteArrayView field, bool escapedQuotes)
{
    // The lines of one game come together: most names are the one before.
    return kept(field, escapedQuotes, lastName, names, decodeName);
}

const QString &AnswerLineReader::text(QByteArrayView field, bool escapedQuotes, Kept &last,
                                      QHash<QByteArray, QString> &known)
{
    return kept(field, escapedQuotes, last, known, decodeText);
}

// A field decoded once, then found by its bytes: the class's names, a few
// hundred exercises, and the wrong answers pupils give again and again.
const QString &AnswerLineReader::kept(QByteArrayView field, bool escapedQuotes, Kept &last,
                                      QHash<QByteArray, QString> &known, QString (*decode)(QByteArrayView, bool))
{
    if (last.valid && sameBytes(field, last.field))
        return last.text;
    const QByteArray key = QByteArray::fromRawData(field.data(), field.size());
    auto found = known.constFind(key);
    if (found == known.cend()) {
        QString decoded = decode(field, escapedQuotes);
        if (known.size() >= maxKept) {
            last = {QByteArray(), std::move(decoded), false};
            return last.text;
        }
        found = known.insert(field.toByteArray(), decoded);
    }
    last = {found.key(), found.value(), true};
    return last.text;
}

LineKind readLine(QByteArrayView line, GameRecord &game, SkipReason *reason)
{
    Fields fields;
    const LineKind split = splitLine(line, fieldCount, fields, reason);
    if (split != LineKind::Game)
        return split;

    const auto refuse = [reason](SkipReason why) {
        if (reason)
            *reason = why;
        return LineKind::Unreadable;
    };
    const QDate date = parseDate(trim(fields[0].text));
    const QTime time = parseTime(trim(fields[1].text));
    const int right = parseCount(trim(fields[3].text), maxAnswers);
    const int wrong = parseCount(trim(fields[4].text), maxAnswers);
    const int total = parseCount(trim(fields[5].text), 2 * maxAnswers);
    const int secondsLeft = parseCount(trim(fields[6].text), maxSecondsLeft);
    static constexpr std::array endings{Ending::Exit, Ending::TimeOut, Ending::WindowClosed, Ending::NewGame,
                                        Ending::Interrupted};
    static constexpr std::array marks{RecordMark::NotBeaten, RecordMark::Stored, RecordMark::Failed};
    const auto ending = parseWord(trim(fields[7].text), endings, endingText);
    const auto mark = parseWord(trim(fields[8].text), marks, recordMarkText);
    if (!date.isValid())
        return refuse(SkipReason::BadDate);
    if (!time.isValid())
        return refuse(SkipReason::BadTime);
    if (right < 0 || wrong < 0 || total < 0)
        return refuse(SkipReason::BadCounts);
    if (total != right + wrong)
        return refuse(SkipReason::BadTotal);
    if (secondsLeft < 0)
        return refuse(SkipReason::BadSecondsLeft);
    if (!ending)
        return refuse(SkipReason::UnknownEnding);
    if (!mark)
        return refuse(SkipReason::UnknownRecord);
    // Every count is within qint16: parseCount bounds them.
    game = GameRecord{QDateTime(date, time, Qt::UTC),
                      decodeName(fields[2].text, fields[2].escapedQuotes),
                      qint16(right),
                      qint16(wrong),
                      qint16(secondsLeft),
                      *ending,
                      *mark};
    return LineKind::Game;
}

} // namespace mirabolo::classregister
