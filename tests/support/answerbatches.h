// Judged answers for tests, written as batches: `times` answers of one pupil
// to one exercise, all typed alike, right when typed as the game's Italian
// expected text.
#pragma once

#include "classregister/answerrecord.h"
#include "game/exercise.h"

#include <QList>
#include <QLocale>

#include <functional>

namespace mirabolo::test {

enum Unit : qint8 { ml = 1, cl, dl, l, dal, hl };

inline const QDate answersMonday(2026, 12, 7);

struct Batch
{
    int times = 1;
    Unit from = dl;
    Unit to = cl;
    int quantity = 3;
    const char16_t *typed = u"30";
    const char16_t *name = u"Zoe";
};
using Batches = QList<Batch>;

inline QString expectedText(int source, int target, int quantity, const QLocale &locale)
{
    game::Exercise exercise;
    exercise.source = source;
    exercise.target = target;
    exercise.quantity = quantity;
    exercise.expected = game::expectedValue(source, target, quantity);
    return game::expectedAnswerText(exercise, locale);
}

inline classregister::AnswerRecord answer(const Batch &batch)
{
    const QString expected = expectedText(batch.from, batch.to, batch.quantity, QLocale(QLocale::Italian));
    const QString typed = QString::fromUtf16(batch.typed);
    const QDateTime when(answersMonday, QTime(9, 0), Qt::UTC);
    classregister::AnswerRecord record;
    record.when = when;
    record.name = QString::fromUtf16(batch.name);
    record.gameStarted = when;
    record.source = batch.from;
    record.target = batch.to;
    record.quantity = qint16(batch.quantity);
    record.expected = expected;
    record.typed = typed;
    record.right = typed == expected;
    record.seconds = 5;
    return record;
}

// Each answer of the batches in turn.
inline void forEachAnswer(const Batches &batches, const std::function<void(const classregister::AnswerRecord &)> &take)
{
    for (const Batch &batch : batches)
        for (int i = 0; i < batch.times; ++i)
            take(answer(batch));
}

} // namespace mirabolo::test

Q_DECLARE_METATYPE(mirabolo::test::Batches)
