#include "registro/answerreport.h"

#include "classregister/answerfigures.h"
#include "registro/answertexts.h"
#include "registro/classanswers.h"
#include "registro/reportcontent.h"
#include "report/pageflow.h"

#include <QStringList>

using namespace Qt::StringLiterals;
using mirabolo::classregister::AnswerTally;
using mirabolo::report::PageFlow;
using mirabolo::report::reportFont;
using mirabolo::report::Table;

namespace mirabolo::registro {

namespace {

constexpr int pupilCommonAnswers = 3;

Table tableOf(const QStringList &titles, const QList<qreal> &widths, const QList<Qt::Alignment> &alignments)
{
    Table table;
    table.titles = titles;
    table.widths = widths;
    table.alignments = alignments;
    return table;
}

Table gridTable(const AnswerTally &tally)
{
    QStringList titles{QString()};
    QList<Qt::Alignment> alignments{Qt::AlignLeft};
    for (int unit = 1; unit <= 6; ++unit) {
        titles << toUnitText(unit);
        alignments << Qt::AlignHCenter;
    }
    Table table = tableOf(titles, QList<qreal>(7, 1.0 / 7), alignments);
    for (int source = 1; source <= 6; ++source) {
        QStringList cells{fromUnitText(source)};
        for (int target = 1; target <= 6; ++target)
            cells << (source == target ? QString() : pairCellText(tally.pair(source, target)));
        table.rows << cells;
    }
    return table;
}

Table kindsTable(const AnswerTally &tally)
{
    Table table = tableOf({u"Tipo di errore"_s, u"Errori"_s, u"Quota"_s, u"Che cosa vuol dire"_s},
                          {0.21, 0.06, 0.06, 0.67}, {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft});
    for (int kind = int(game::MistakeKind::None) + 1; kind < classregister::mistakeKindCount; ++kind) {
        const auto mistake = game::MistakeKind(kind);
        table.rows << QStringList{game::mistakeKindName(mistake), answerCountText(tally.mistakes(mistake)),
                                  mistakeShareText(tally.mistakes(mistake), tally.wrong()),
                                  mistakeKindExplanation(mistake)};
    }
    return table;
}

Table commonTable(const AnswerTally &tally, qsizetype count)
{
    Table table = tableOf({u"Esercizio"_s, u"Risposta"_s, u"Volte"_s, u"Tipo di errore"_s}, {0.2, 0.3, 0.2, 0.3},
                          {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft});
    for (const classregister::CommonAnswer &answer : tally.common().mostCommon(count))
        table.rows << QStringList{exerciseText(answer.answer), typedText(answer.answer), timesText(answer),
                                  game::mistakeKindName(answer.kind)};
    return table;
}

QStringList reviewLines(const AnswerTally &tally)
{
    QStringList lines;
    for (const classregister::ReviewItem &item : tally.toReview())
        lines << reviewItemText(item);
    return lines;
}

} // namespace

void layOutClassAnswers(PageFlow &flow, const ClassAnswers &answers)
{
    const AnswerTally *tally = answers.tally({});
    if (tally == nullptr) {
        flow.space(8);
        flow.text(u"Cosa ripassare"_s, reportFont(14, true));
        flow.text(answers.statusMessage().isEmpty() ? noAnswersInPeriodText() : answers.statusMessage(), reportFont(10),
                  6);
        return;
    }
    // On a page of its own, to be handed out alone.
    flow.ensure(PageFlow::rowHeight * 1000);
    flow.text(u"Cosa ripassare"_s, reportFont(14, true));
    const QString skipped = answersSkippedText(answers.skippedCount(), answers.skippedLines());
    if (!skipped.isEmpty())
        flow.text(skipped, reportFont(9), 4);
    flow.text(u"Da ripassare"_s, reportFont(11, true));
    const QStringList review = reviewLines(*tally);
    if (review.isEmpty())
        flow.text(nothingToReviewText(), reportFont(10));
    for (const QString &line : review)
        flow.text(u"• "_s + line, reportFont(10));
    flow.text(reviewRuleText(), reportFont(8), 6);

    flow.text(u"Le conversioni: risposte esatte e risposte date"_s, reportFont(11, true));
    flow.table(gridTable(*tally));
    flow.space(6);
    flow.text(u"I tipi di errore"_s, reportFont(11, true));
    flow.table(kindsTable(*tally));
    flow.space(6);
    flow.text(u"Le risposte sbagliate più frequenti"_s, reportFont(11, true));
    flow.table(commonTable(*tally, 10));
}

void layOutPupilAnswers(PageFlow &flow, const AnswerTally *tally)
{
    if (tally == nullptr)
        return;
    const QStringList review = reviewLines(*tally);
    flow.text(u"Da ripassare: "_s + (review.isEmpty() ? u"niente sopra la soglia"_s : review.join(u"; "_s)),
              reportFont(9));
    QStringList common;
    for (const classregister::CommonAnswer &answer : tally->common().mostCommon(pupilCommonAnswers))
        common << commonAnswerText(answer);
    if (!common.isEmpty())
        flow.text(u"Risposte sbagliate più frequenti: "_s + common.join(u"; "_s), reportFont(9), 4);
}

} // namespace mirabolo::registro
