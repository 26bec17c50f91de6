#include "classregister/registerformat.h"

#include "runtime/windows1252.h"

#include <QStringDecoder>
#include <QStringList>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

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

using Fields = QVarLengthArray<Field, 12>;

// RFC 4180 with ';': false when a quote is out of place.
bool splitFields(QByteArrayView line, Fields &fields)
{
    const qsizetype n = line.size();
    qsizetype pos = 0;
    while (true) {
        if (fields.size() == maxFields)
            return false;
        Field field;
        if (pos < n && line[pos] == '"') {
            const qsizetype start = pos + 1;
            qsizetype i = start;
            while (true) {
                const qsizetype quote = line.indexOf('"', i);
                if (quote < 0)
                    return false;
                if (quote + 1 < n && line[quote + 1] == '"') {
                    field.escapedQuotes = true;
                    i = quote + 2;
                    continue;
                }
                field.text = line.sliced(start, quote - start);
                pos = quote + 1;
                break;
            }
            if (pos < n && line[pos] != ';')
                return false;
        } else {
            qsizetype end = line.indexOf(';', pos);
            if (end < 0)
                end = n;
            field.text = line.sliced(pos, end - pos);
            if (field.text.contains('"'))
                return false;
            pos = end;
        }
        fields.append(field);
        if (pos == n)
            return true;
        ++pos; // the ';'
    }
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
    // A spreadsheet under an English locale saves "02:53:41 PM".
    int afterNoon = -1; // on a 12-hour clock, 0 or 12
    if (text.size() > 2 && text.last(2).compare("AM", Qt::CaseInsensitive) == 0)
        afterNoon = 0;
    else if (text.size() > 2 && text.last(2).compare("PM", Qt::CaseInsensitive) == 0)
        afterNoon = 12;
    if (afterNoon >= 0)
        text = text.chopped(2).trimmed();
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

QString decodeName(const Field &field)
{
    QByteArray bytes = field.text.toByteArray();
    if (field.escapedQuotes)
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
    return std::all_of(fields.cbegin(), fields.cend(), [](const Field &f) { return f.text.trimmed().isEmpty(); });
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

LineKind readLine(QByteArrayView line, GameRecord &game, SkipReason *reason)
{
    if (line.startsWith("\xEF\xBB\xBF"))
        line = line.sliced(3);
    Fields fields;
    const bool quotedRight = splitFields(line, fields);
    if (quotedRight && isBlank(fields))
        return LineKind::Other;
    if (quotedRight && fields.size() >= 2 && fields[0].text.trimmed().compare("Data", Qt::CaseInsensitive) == 0 &&
        fields[1].text.trimmed().compare("Ora", Qt::CaseInsensitive) == 0)
        return LineKind::Other;

    const auto refuse = [reason](SkipReason why) {
        if (reason)
            *reason = why;
        return LineKind::Unreadable;
    };
    if (!quotedRight)
        return refuse(fields.size() == maxFields ? SkipReason::ExtraFields : SkipReason::BadQuotes);
    if (fields.size() < fieldCount)
        return refuse(SkipReason::TooFewFields);
    for (qsizetype i = fieldCount; i < fields.size(); ++i) {
        if (!fields[i].text.trimmed().isEmpty())
            return refuse(SkipReason::ExtraFields);
    }
    const QDate date = parseDate(fields[0].text.trimmed());
    const QTime time = parseTime(fields[1].text.trimmed());
    const int right = parseCount(fields[3].text.trimmed(), maxAnswers);
    const int wrong = parseCount(fields[4].text.trimmed(), maxAnswers);
    const int total = parseCount(fields[5].text.trimmed(), 2 * maxAnswers);
    const int secondsLeft = parseCount(fields[6].text.trimmed(), maxSecondsLeft);
    static constexpr std::array endings{Ending::Exit, Ending::TimeOut, Ending::WindowClosed, Ending::NewGame,
                                        Ending::Interrupted};
    static constexpr std::array marks{RecordMark::NotBeaten, RecordMark::Stored, RecordMark::Failed};
    const auto ending = parseWord(fields[7].text.trimmed(), endings, endingText);
    const auto mark = parseWord(fields[8].text.trimmed(), marks, recordMarkText);
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
                      decodeName(fields[2]),
                      qint16(right),
                      qint16(wrong),
                      qint16(secondsLeft),
                      *ending,
                      *mark};
    return LineKind::Game;
}

} // namespace mirabolo::classregister
