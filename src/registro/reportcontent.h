// What the report says, apart from how it is laid out, and the sentences the
// window shares with it: each is built here once, so that screen and paper
// cannot word the same fact differently.
#pragma once

#include "classregister/classfigures.h"
#include "classregister/registerparser.h"

#include <QDate>
#include <QList>
#include <QString>

namespace mirabolo::registro {

class ClassAnswers;

struct ReportContent
{
    QString source; // the folder of the register, or the file when given alone
    classregister::Period period = classregister::Period::All;
    QDate today;
    const classregister::ClassFigures *figures = nullptr;
    QString notice; // why the class is empty, when it is
    qint64 skippedCount = 0;
    QList<classregister::SkippedLine> skippedLines;
    qint64 skippedForNames = 0; // of skippedCount, the lines of names beyond the register's bound
    QString className = {}; // the class list's name for the class; empty without one
    // The pupils' sheets, one page each, in place of the class's report:
    // rows of figures->pupils().
    QList<qsizetype> sheets = {};

    // What the report calls the class: its name, else the register's folder.
    QString classTitle() const { return className.isEmpty() ? source : className; }
    const ClassAnswers *answers = nullptr; // the answers of the period, when there is a file of them
};

// "da seguire": a pupil below the accuracy that calls for help.
QString followText();

// "Partite: 8 · Alunni: 4 · Minuti: 95 · Esatte: 34 · Errate: 37 ·
// Precisione: 47,9%"; with a class list, "13 di 14 hanno giocato" in place of
// the pupils.
QString classSummaryText(const classregister::ClassFigures &figures);
// "Da seguire: precisione sotto il 60% in almeno 3 partite".
QString ruleText(const classregister::FollowRule &rule);
// With a class list, the names typed in the period that match nobody on it:
// "Nomi che non sono nell'elenco della classe: Pippo (2 partite), Niccol (1
// partita)". Empty without a list, or when every name is someone's.
QString unlistedText(const classregister::ClassFigures &figures);
// The same after the period: "Tutto — Partite: 8 · …".
QString periodSummaryText(classregister::Period period, const classregister::ClassFigures &figures);

// Over the pupil's games in the window: "Zoe — Partite: 3 · Minuti: 45 ·
// Precisione: 56,7% · Andamento: –", and " · da seguire" when so; "Anna —
// nessuna partita nel periodo" for a listed pupil who did not play.
QString pupilHeadingText(const classregister::PupilFigures &pupil);
// Under the pupil's name in the report: "Partite: 3 · Minuti: 45 · Esatte: 17
// · Errate: 13 · Precisione: 56,7% · Andamento: –", and " · da seguire" when
// so; "Nessuna partita nel periodo." for a listed pupil who did not play.
QString pupilSummaryText(const classregister::PupilFigures &pupil);
// "nessuna partita": a listed pupil's row in a period without their games.
QString noGameText();

// What the window says over the class: the register's state or a period
// without games, and the lines skipped for names beyond the register's
// bound. Empty when there is nothing to say.
QString noticeText(const QString &registerState, classregister::Period period,
                   const classregister::ClassFigures &figures, qint64 skippedForNames);

// The report's line on the lines skipped: "1 riga non letta — riga 5:
// mancano delle colonne.".
QString skippedSummaryText(const ReportContent &content);
// The window's box on them: what they are, then each line and why, one a
// line.
QString skippedLinesExplanation(qint64 count);
QString skippedLinesDetail(qint64 count, const QList<classregister::SkippedLine> &lines);
// The same for the answers file, in the window and the report: "Nel file
// delle risposte, 1 riga non letta — riga 5: mancano delle colonne."; empty
// for none.
QString answersSkippedText(qint64 count, const QList<classregister::SkippedLine> &lines);

} // namespace mirabolo::registro
