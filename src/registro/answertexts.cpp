#include "registro/answertexts.h"

#include "game/units.h"
#include "registro/texts.h"

#include <QLocale>

using namespace Qt::StringLiterals;
using mirabolo::classregister::CommonAnswer;
using mirabolo::classregister::PairTally;
using mirabolo::classregister::ReviewItem;
using mirabolo::classregister::WrongAnswer;
using mirabolo::game::MistakeKind;

namespace mirabolo::registro {

namespace {

QString shareText(qint64 part, qint64 whole)
{
    return wholePercentText(whole > 0 ? std::optional(double(part) / double(whole)) : std::nullopt);
}

} // namespace

QString answerCountText(qint64 count)
{
    return count > -1000 && count < 1000 ? QString::number(count) : QLocale().toString(count);
}

QString noAnswersText()
{
    return u"Nessuna risposta registrata ancora"_s;
}

QString readingAnswersText()
{
    return u"Sto leggendo le risposte…"_s;
}

QString noAnswersInPeriodText()
{
    return u"Nessuna risposta in questo periodo"_s;
}

QString fromUnitText(int unit)
{
    return u"da "_s + game::unitAbbreviation(unit);
}

QString toUnitText(int unit)
{
    return u"a "_s + game::unitAbbreviation(unit);
}

QString pairCellText(const PairTally &pair)
{
    if (pair.answers == 0)
        return u"–"_s;
    return wholePercentText(pair.accuracy()) + u" · "_s + answerCountText(pair.answers);
}

QString pairAccessibleText(int source, int target, const PairTally &pair)
{
    const QString conversion = fromUnitText(source) + u' ' + toUnitText(target) + u": "_s;
    if (pair.answers == 0)
        return conversion + u"nessuna risposta"_s;
    return conversion +
        u"%1 giuste su %2 %3"_s.arg(wholePercentText(pair.accuracy()), answerCountText(pair.answers),
                                    pair.answers == 1 ? u"risposta"_s : u"risposte"_s);
}

QString mistakeKindExplanation(MistakeKind kind)
{
    switch (kind) {
    case MistakeKind::None:
        return {};
    case MistakeKind::NotANumber:
        return u"Risposta vuota, con lettere o con due virgole."_s;
    case MistakeKind::WrittenWrongly:
        return u"Il punto per la virgola (0.5), una virgola in fondo (30,), zeri o spazi in più (0,50)."_s;
    case MistakeKind::Reversed:
        return u"Ha moltiplicato invece di dividere, o il contrario: 3 dl in cl scritto 0,3 invece di 30."_s;
    case MistakeKind::CommaMisplaced:
        return u"Le cifre sono giuste ma la virgola è al posto sbagliato: 0,05 invece di 0,5."_s;
    case MistakeKind::OneStep:
        return u"Numeri interi, un passaggio in più o in meno (10 volte tanto o un decimo): 300 invece di 30."_s;
    case MistakeKind::ManySteps:
        return u"Numeri interi, due o più passaggi in più o in meno (100 volte tanto o più): 3000 invece di 30."_s;
    case MistakeKind::OtherDigits:
        return u"Cifre diverse da quelle giuste: un errore di calcolo o di lettura."_s;
    }
    return {};
}

QString mistakeShareText(qint64 mistakes, qint64 wrong)
{
    return shareText(mistakes, wrong);
}

QString exerciseText(const WrongAnswer &answer)
{
    return u"%1 %2 in %3"_s.arg(QString::number(answer.quantity), game::unitAbbreviation(answer.source),
                                game::unitAbbreviation(answer.target));
}

QString typedText(const WrongAnswer &answer)
{
    return answer.typed.isEmpty() ? u"(vuota)"_s : answer.typed;
}

QString timesText(const CommonAnswer &answer)
{
    const QString times = answerCountText(answer.count) + (answer.count == 1 ? u" volta"_s : u" volte"_s);
    return answer.exact ? times : u"almeno "_s + times;
}

QString commonAnswerText(const CommonAnswer &answer)
{
    return exerciseText(answer.answer) + u": "_s + typedText(answer.answer) + u" — "_s + timesText(answer);
}

QString reviewItemText(const ReviewItem &item)
{
    const QString share = u" (%1)"_s.arg(shareText(item.wrong, item.of));
    if (item.subject == ReviewItem::Subject::Kind)
        return u"%1: %2 errori su %3"_s.arg(game::mistakeKindName(item.kind), answerCountText(item.wrong),
                                            answerCountText(item.of)) +
            share;
    return u"%1 %2: %3 sbagliate su %4"_s.arg(fromUnitText(item.source), toUnitText(item.target),
                                              answerCountText(item.wrong), answerCountText(item.of)) +
        share;
}

QString reviewRuleText()
{
    return u"Un tipo di errore compare se è almeno il %1% degli errori (e almeno %2 volte); una conversione se è "
           u"sbagliata almeno il %1% delle volte su almeno %2 risposte."_s.arg(classregister::reviewWrongPercent)
               .arg(classregister::reviewLeastAnswers);
}

QString nothingToReviewText()
{
    return u"Niente da ripassare: nessun tipo di errore e nessuna conversione supera la soglia."_s;
}

} // namespace mirabolo::registro
