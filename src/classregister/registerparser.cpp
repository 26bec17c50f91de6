#include "classregister/registerparser.h"

#include "records/windows1252.h"

#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

constexpr qsizetype fieldCount = 9;
// A spreadsheet may add empty columns; more than this is not a register.
constexpr qsizetype maxFields = 32;
// The game's counters stop here, and a game lasts fifteen minutes.
constexpr int maxAnswers = 32767;
constexpr int maxSecondsLeft = 900;
// Beyond this many different names a file is garbage, not a class.
constexpr qsizetype maxSharedNames = 10000;

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
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8(bytes);
    if (utf8.hasError())
        name = records::decodeWindows1252(bytes);
    // The guard a formula got so that a spreadsheet shows it as text.
    static const QString formulaStarts = u"=+-@\t\r"_s;
    if (name.size() > 1 && name.front() == u'\'' && formulaStarts.contains(name.at(1)))
        name.remove(0, 1);
    return name;
}

bool isBlank(const Fields &fields)
{
    return std::all_of(fields.cbegin(), fields.cend(), [](const Field &f) { return f.text.trimmed().isEmpty(); });
}

} // namespace

std::optional<GameRecord> RegisterParser::parseLine(QByteArrayView line, std::optional<SkipReason> *refused)
{
    refused->reset();
    if (line.startsWith("\xEF\xBB\xBF"))
        line = line.sliced(3);
    Fields fields;
    const bool quotedRight = splitFields(line, fields);
    if (quotedRight && isBlank(fields))
        return std::nullopt;
    if (quotedRight && fields.size() >= 2 && fields[0].text.trimmed().compare("Data", Qt::CaseInsensitive) == 0 &&
        fields[1].text.trimmed().compare("Ora", Qt::CaseInsensitive) == 0)
        return std::nullopt;

    const auto refuse = [refused](SkipReason reason) {
        *refused = reason;
        return std::nullopt;
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
    return GameRecord{QDateTime(date, time, Qt::UTC),
                      decodeName(fields[2]),
                      qint16(right),
                      qint16(wrong),
                      qint16(secondsLeft),
                      *ending,
                      *mark};
}

void RegisterParser::feed(QByteArrayView bytes)
{
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    if (afterUnterminatedLine) {
        while (pos < n && bytes[pos] == '\r')
            ++pos;
        if (pos < n) {
            afterUnterminatedLine = false;
            if (bytes[pos] == '\n')
                ++pos;
        }
    }
    while (pos < n) {
        const qsizetype lineEnd = bytes.indexOf('\n', pos);
        const QByteArrayView piece = bytes.sliced(pos, (lineEnd < 0 ? n : lineEnd) - pos);
        if (!overlong && pending.size() + piece.size() > maxLineBytes + 1) {
            overlong = true;
            pending = QByteArray();
        }
        if (lineEnd < 0) {
            if (!overlong)
                pending += piece;
            return;
        }
        ++lines;
        if (overlong) {
            overlong = false;
            skipLine(SkipReason::TooLong);
        } else if (pending.isEmpty()) {
            takeLine(piece);
        } else {
            pending += piece;
            takeLine(pending);
            pending.clear();
        }
        pos = lineEnd + 1;
    }
}

void RegisterParser::finish()
{
    if (!overlong && pending.isEmpty())
        return;
    ++lines;
    if (overlong)
        skipLine(SkipReason::TooLong);
    else
        takeLine(pending);
    overlong = false;
    pending = QByteArray();
    afterUnterminatedLine = true;
}

QList<GameRecord> RegisterParser::takeGames()
{
    return std::exchange(games, {});
}

void RegisterParser::takeLine(QByteArrayView line)
{
    while (line.endsWith('\r'))
        line.chop(1);
    std::optional<SkipReason> refused;
    std::optional<GameRecord> game = parseLine(line, &refused);
    if (refused) {
        skipLine(*refused);
    } else if (game) {
        game->name = sharedName(game->name);
        games.append(*std::move(game));
    }
}

void RegisterParser::skipLine(SkipReason reason)
{
    ++skipped;
    if (skippedNumbers.size() < maxSkippedLines)
        skippedNumbers.append({lines, reason});
}

QString RegisterParser::sharedName(const QString &name)
{
    const auto known = names.constFind(name);
    if (known != names.cend())
        return *known;
    if (names.size() < maxSharedNames)
        names.insert(name, name);
    return name;
}

QString skippedLinesText(qint64 count)
{
    if (count == 0)
        return {};
    return count == 1 ? u"1 riga non letta"_s : u"%1 righe non lette"_s.arg(count);
}

QString skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::BadQuotes:
        return u"virgolette fuori posto"_s;
    case SkipReason::TooFewFields:
        return u"mancano delle colonne"_s;
    case SkipReason::ExtraFields:
        return u"colonne in più"_s;
    case SkipReason::BadDate:
        return u"data non leggibile"_s;
    case SkipReason::BadTime:
        return u"ora non leggibile"_s;
    case SkipReason::BadCounts:
        return u"Esatte, Errate o Totali non leggibili"_s;
    case SkipReason::BadTotal:
        return u"Totali diverso da Esatte più Errate"_s;
    case SkipReason::BadSecondsLeft:
        return u"Secondi rimasti non leggibili"_s;
    case SkipReason::UnknownEnding:
        return u"Fine non riconosciuta"_s;
    case SkipReason::UnknownRecord:
        return u"Record non riconosciuto"_s;
    case SkipReason::TooLong:
        return u"riga troppo lunga"_s;
    }
    return {};
}

} // namespace mirabolo::classregister
