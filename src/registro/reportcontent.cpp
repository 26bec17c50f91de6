#include "registro/reportcontent.h"

#include "classregister/registerparser.h"
#include "registro/texts.h"

#include <QLocale>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

QStringList eachLine(const QList<classregister::SkippedLine> &lines)
{
    QStringList said;
    for (const classregister::SkippedLine &line : lines)
        said << skippedLineText(line);
    return said;
}

QString followSuffix(const classregister::PupilFigures &pupil)
{
    return pupil.needsFollowing() ? u" · "_s + followText() : QString();
}

} // namespace

QString followText()
{
    return u"da seguire"_s;
}

QString classSummaryText(const classregister::ClassFigures &figures)
{
    const QLocale locale;
    return u"Partite: %1 · Alunni: %2 · Esatte: %3 · Errate: %4 · Precisione: %5"_s.arg(
        locale.toString(figures.games()), locale.toString(figures.pupils().size()), locale.toString(figures.right()),
        locale.toString(figures.wrong()), percentText(figures.accuracy()));
}

QString periodSummaryText(classregister::Period period, const classregister::ClassFigures &figures)
{
    return periodText(period, figures.span()) + u" — "_s + classSummaryText(figures);
}

QString pupilHeadingText(const classregister::PupilFigures &pupil)
{
    return u"%1 — Partite: %2 · Precisione: %3 · Andamento: %4"_s.arg(
               pupil.name, QLocale().toString(pupil.games.size()), percentText(pupil.accuracy()),
               trendText(pupil.trend())) +
        followSuffix(pupil);
}

QString pupilSummaryText(const classregister::PupilFigures &pupil)
{
    const QLocale locale;
    return u"Partite: %1 · Esatte: %2 · Errate: %3 · Precisione: %4 · Andamento: %5"_s.arg(
               locale.toString(pupil.games.size()), locale.toString(pupil.right), locale.toString(pupil.wrong),
               percentText(pupil.accuracy()), trendText(pupil.trend())) +
        followSuffix(pupil);
}

QString noticeText(const QString &registerState, classregister::Period period,
                   const classregister::ClassFigures &figures, qint64 skippedForNames)
{
    QStringList notes{
        registerState.isEmpty() && figures.games() == 0
            ? u"Nessuna partita nel periodo scelto: %1."_s.arg(periodText(period, figures.span()).toLower())
            : registerState,
        classregister::tooManyNamesText(skippedForNames)};
    notes.removeAll(QString());
    return notes.join(u'\n');
}

QString skippedSummaryText(const ReportContent &content)
{
    QStringList lines = eachLine(content.skippedLines);
    if (content.skippedCount > lines.size())
        lines << u"…"_s;
    return u"%1 — %2."_s.arg(classregister::skippedLinesText(content.skippedCount), lines.join(u"; "_s));
}

QString skippedLinesExplanation(qint64 count)
{
    return u"Alcune righe del registro non descrivono una partita di Mirabolo e sono state saltate: %1."_s.arg(
        classregister::skippedLinesText(count));
}

QString skippedLinesDetail(qint64 count, const QList<classregister::SkippedLine> &lines)
{
    QStringList said = eachLine(lines);
    if (count > said.size())
        said << u"e altre %1"_s.arg(classregister::skippedLinesText(count - said.size()));
    return said.join(u'\n');
}

} // namespace mirabolo::registro
