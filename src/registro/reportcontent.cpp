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

QString noGameText()
{
    return u"nessuna partita"_s;
}

QString classSummaryText(const classregister::ClassFigures &figures)
{
    const QLocale locale;
    const QString pupils = figures.hasList()
        ? u"%1 di %2 hanno giocato"_s.arg(locale.toString(figures.listedPlayed()), locale.toString(figures.listed()))
        : u"Alunni: %1"_s.arg(locale.toString(figures.pupils().size()));
    return u"Partite: %1 · %2 · Minuti: %3 · Esatte: %4 · Errate: %5 · Precisione: %6"_s.arg(
        locale.toString(figures.games()), pupils,
        locale.toString(classregister::PupilFigures::minutes(figures.secondsPlayed())),
        locale.toString(figures.right()), locale.toString(figures.wrong()), percentText(figures.accuracy()));
}

QString ruleText(const classregister::FollowRule &rule)
{
    return u"Da seguire: precisione sotto il %1% in almeno %2"_s.arg(rule.percent)
        .arg(rule.games == 1 ? u"1 partita"_s : u"%1 partite"_s.arg(rule.games));
}

QString unlistedText(const classregister::ClassFigures &figures)
{
    if (!figures.hasList())
        return {};
    QStringList names;
    for (const classregister::PupilFigures &pupil : figures.pupils()) {
        if (pupil.listed)
            continue;
        const qsizetype games = pupil.games.size();
        names << u"%1 (%2)"_s.arg(pupil.name, games == 1 ? u"1 partita"_s : u"%1 partite"_s.arg(games));
    }
    if (names.isEmpty())
        return {};
    return u"Nomi che non sono nell'elenco della classe: %1"_s.arg(names.join(u", "_s));
}

QString periodSummaryText(classregister::Period period, const classregister::ClassFigures &figures)
{
    return periodText(period, figures.span()) + u" — "_s + classSummaryText(figures);
}

QString pupilHeadingText(const classregister::PupilFigures &pupil)
{
    if (!pupil.played())
        return u"%1 — %2 nel periodo"_s.arg(pupil.name, noGameText());
    return u"%1 — Partite: %2 · Minuti: %3 · Precisione: %4 · Andamento: %5"_s.arg(
               pupil.name, QLocale().toString(pupil.games.size()), QLocale().toString(pupil.minutesPlayed()),
               percentText(pupil.accuracy()), trendText(pupil.trend())) +
        followSuffix(pupil);
}

QString pupilSummaryText(const classregister::PupilFigures &pupil)
{
    if (!pupil.played())
        return u"Nessuna partita nel periodo."_s;
    const QLocale locale;
    return u"Partite: %1 · Minuti: %2 · Esatte: %3 · Errate: %4 · Precisione: %5 · Andamento: %6"_s.arg(
               locale.toString(pupil.games.size()), locale.toString(pupil.minutesPlayed()),
               locale.toString(pupil.right), locale.toString(pupil.wrong), percentText(pupil.accuracy()),
               trendText(pupil.trend())) +
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

QString answersSkippedText(qint64 count, const QList<classregister::SkippedLine> &lines)
{
    if (count == 0)
        return {};
    QStringList said = eachLine(lines);
    if (count > said.size())
        said << u"…"_s;
    return u"Nel file delle risposte, %1 — %2."_s.arg(classregister::skippedLinesText(count), said.join(u"; "_s));
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
