#include "game/speech.h"

#include "game/exercise.h"
#include "game/units.h"

#include <array>

using namespace Qt::StringLiterals;

namespace mirabolo::game {

namespace {

// Every unit name is regular: -o in the singular, -i in the plural.
QString unitStem(int unitNumber)
{
    static constexpr std::array<char16_t const *, 6> stems = {
        u"millilitr", u"centilitr", u"decilitr", u"litr", u"decalitr", u"ettolitr",
    };
    if (unitNumber < firstUnit || unitNumber > lastUnit)
        return {};
    return QString::fromUtf16(stems[std::size_t(unitNumber - firstUnit)]);
}

QString counted(int count, const QString &singular, const QString &plural)
{
    return QString::number(count) + u' ' + (count == 1 ? singular : plural);
}

// Ends a part with a full stop unless it already ends a sentence, so that the
// reader pauses between parts.
QString sentence(const QString &text)
{
    if (text.isEmpty() || text.endsWith(u'.') || text.endsWith(u'!') || text.endsWith(u'?'))
        return text;
    return text + u'.';
}

// "1 litro", "19 centilitri".
QString quantityInWords(int quantity, int unitNumber)
{
    return QString::number(quantity) + u' ' + unitStem(unitNumber) + (quantity == 1 ? u'o' : u'i');
}

} // namespace

QString exerciseQuestion(const Exercise &exercise)
{
    // "Quanti millilitri sono 1 litro?": the verb agrees with the unit asked for.
    return u"Quanti "_s + unitStem(exercise.target) + u"i sono "_s +
        quantityInWords(exercise.quantity, exercise.source) + u'?';
}

QString timeLeftSpeech(int secondsLeft)
{
    const bool lastMinute = secondsLeft < 60;
    const int count = lastMinute ? secondsLeft : secondsLeft / 60;
    const QString amount =
        lastMinute ? counted(count, u"secondo"_s, u"secondi"_s) : counted(count, u"minuto"_s, u"minuti"_s);
    return (count == 1 ? u"Resta "_s : u"Restano "_s) + amount;
}

QString verdictSpeech(const QString &message, int rightCount, int wrongCount, int secondsLeft)
{
    return sentence(message) + u' ' +
        sentence(u"Esatte %1, errate %2, totali %3"_s.arg(rightCount).arg(wrongCount).arg(rightCount + wrongCount)) +
        u' ' + sentence(timeLeftSpeech(secondsLeft));
}

QString startSpeech(const QString &name, const QString &recordText, const QString &holderText)
{
    QStringList parts;
    if (!name.trimmed().isEmpty())
        parts.append(sentence(u"Sfidante "_s + name.trimmed()));
    const QString record = recordText.trimmed();
    if (!record.isEmpty()) {
        const QString points = record + (record == u"1"_s ? u" punto"_s : u" punti"_s);
        const QString holder = holderText.trimmed();
        parts.append(holder.isEmpty() ? u"Il record è di "_s + points + u'.'
                                      : u"Il record è di "_s + holder + u" con "_s + points + u'.');
    }
    return parts.join(u' ');
}

} // namespace mirabolo::game
