#include "classregister/answerfigures.h"

#include "classregister/classlist.h"
#include "classregister/registerformat.h"

#include <algorithm>

namespace mirabolo::classregister {

using game::MistakeKind;

size_t qHash(const WrongAnswer &answer, size_t seed) noexcept
{
    const quint32 exercise =
        quint32(quint8(answer.source)) << 24 | quint32(quint8(answer.target)) << 16 | quint16(answer.quantity);
    return qHashMulti(seed, exercise, answer.typed);
}

const QLocale &classifyLocale(const QString &expected)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    static const QLocale point = QLocale::c();
    return expected.contains(u'.') ? point : italian;
}

CommonAnswers::CommonAnswers(qsizetype capacity)
    : room(std::max<qsizetype>(capacity, 1))
{
}

qsizetype CommonAnswers::slotOf(const WrongAnswer &answer, size_t hash) const
{
    const qsizetype mask = places.size() - 1;
    for (auto slot = qsizetype(hash & size_t(mask));; slot = (slot + 1) & mask) {
        const qint32 index = places.at(slot);
        if (index < 0)
            return slot;
        const Entry &entry = entries.at(index);
        if (entry.hash == hash && entry.answer == answer)
            return slot;
    }
}

// The entries after the slot on their search move back into it when their
// search passes it, so that no search stops short at the free slot.
void CommonAnswers::freeSlot(qsizetype slot)
{
    const qsizetype mask = places.size() - 1;
    for (qsizetype next = (slot + 1) & mask; places.at(next) >= 0; next = (next + 1) & mask) {
        const auto home = qsizetype(entries.at(places.at(next)).hash & size_t(mask));
        if (((next - home) & mask) >= ((next - slot) & mask)) {
            places[slot] = places.at(next);
            slot = next;
        }
    }
    places[slot] = -1;
}

CommonAnswers::Entry &CommonAnswers::bump(const WrongAnswer &answer, bool &added)
{
    if (places.isEmpty())
        places.fill(-1, std::max<qsizetype>(8, qsizetype(qNextPowerOfTwo(quint32(2 * room - 1)))));
    const size_t hash = qHash(answer, QHashSeed::globalSeed());
    qsizetype slot = slotOf(answer, hash);
    added = places.at(slot) < 0;
    qsizetype index = 0;
    if (!added) {
        index = places.at(slot);
    } else if (entries.size() < room) {
        index = entries.size();
        entries.append(Entry{answer});
        entries.last().rank = byCount.size();
        entries.last().hash = hash;
        byCount.append({0, index});
        places[slot] = qint32(index);
    } else {
        // The least counted makes room, and the newcomer takes its count
        // over: it may have come before, while it was out of the table.
        index = byCount.constLast().entry;
        Entry &least = entries[index];
        freeSlot(slotOf(least.answer, least.hash));
        slot = slotOf(answer, hash); // entries moved: its search may end sooner now
        least.answer = answer;
        least.hash = hash;
        least.inherited = byCount.constLast().count;
        places[slot] = qint32(index);
        pushedOut = true;
    }
    // First among those counted as often, so that one more keeps the order.
    Entry &entry = entries[index];
    const qint64 count = byCount.at(entry.rank).count;
    const auto first = std::lower_bound(byCount.begin(), byCount.begin() + entry.rank, count,
                                        [](const Ranked &other, qint64 value) { return other.count > value; });
    const qsizetype to = first - byCount.begin();
    if (to != entry.rank) {
        const qsizetype displaced = byCount.at(to).entry;
        byCount[entry.rank].entry = displaced;
        entries[displaced].rank = entry.rank;
        byCount[to].entry = index;
        entry.rank = to;
    }
    ++byCount[to].count;
    return entry;
}

MistakeKind CommonAnswers::add(const WrongAnswer &answer, const QString &expected)
{
    bool added = false;
    Entry &entry = bump(answer, added);
    if (added)
        entry.kind = game::classifyAnswer(answer.typed, expected, answer.source, answer.target, answer.quantity,
                                          classifyLocale(expected));
    return entry.kind;
}

void CommonAnswers::add(const WrongAnswer &answer, MistakeKind kind)
{
    bool added = false;
    bump(answer, added).kind = kind;
}

QList<CommonAnswer> CommonAnswers::mostCommon(qsizetype count) const
{
    QList<CommonAnswer> all;
    all.reserve(entries.size());
    for (const Ranked &ranked : byCount) {
        const Entry &entry = entries.at(ranked.entry);
        all.append({entry.answer, entry.kind, ranked.count - entry.inherited, entry.inherited == 0});
    }
    const auto before = [](const CommonAnswer &a, const CommonAnswer &b) {
        if (a.count != b.count)
            return a.count > b.count;
        const WrongAnswer &x = a.answer;
        const WrongAnswer &y = b.answer;
        return std::tie(x.source, x.target, x.quantity, x.typed) < std::tie(y.source, y.target, y.quantity, y.typed);
    };
    const qsizetype kept = std::clamp<qsizetype>(count, 0, all.size());
    std::partial_sort(all.begin(), all.begin() + kept, all.end(), before);
    all.resize(kept);
    return all;
}

AnswerTally::AnswerTally(qsizetype commonCapacity)
    : commonAnswers(commonCapacity)
{
}

void AnswerTally::countPair(const AnswerRecord &answer)
{
    PairTally &pair = pairs[(answer.source - 1) * 6 + answer.target - 1];
    ++pair.answers;
    ++answerCount;
    if (answer.right) {
        ++pair.right;
        ++rightCount;
    }
}

MistakeKind AnswerTally::add(const AnswerRecord &answer)
{
    countPair(answer);
    if (answer.right)
        return MistakeKind::None;
    const MistakeKind kind =
        commonAnswers.add({answer.source, answer.target, answer.quantity, answer.typed}, answer.expected);
    ++kinds[int(kind)];
    return kind;
}

void AnswerTally::add(const AnswerRecord &answer, MistakeKind kind)
{
    countPair(answer);
    if (answer.right)
        return;
    commonAnswers.add({answer.source, answer.target, answer.quantity, answer.typed}, kind);
    ++kinds[int(kind)];
}

QList<ReviewItem> AnswerTally::toReview() const
{
    const auto often = [](qint64 wrong, qint64 of) { return wrong * 100 >= of * reviewWrongPercent; };
    QList<ReviewItem> kindItems;
    for (int kind = int(MistakeKind::None) + 1; kind < mistakeKindCount; ++kind) {
        if (kinds.at(kind) >= reviewLeastAnswers && often(kinds.at(kind), wrong()))
            kindItems.append({ReviewItem::Subject::Kind, MistakeKind(kind), 0, 0, kinds.at(kind), wrong()});
    }
    std::stable_sort(kindItems.begin(), kindItems.end(),
                     [](const ReviewItem &a, const ReviewItem &b) { return a.wrong > b.wrong; });

    QList<ReviewItem> pairItems;
    for (qint8 source = 1; source <= 6; ++source) {
        for (qint8 target = 1; target <= 6; ++target) {
            const PairTally &tally = pair(source, target);
            if (tally.answers >= reviewLeastAnswers && often(tally.wrong(), tally.answers))
                pairItems.append(
                    {ReviewItem::Subject::Pair, MistakeKind::None, source, target, tally.wrong(), tally.answers});
        }
    }
    // Worse share first: a / b > c / d compared without rounding.
    std::stable_sort(pairItems.begin(), pairItems.end(), [](const ReviewItem &a, const ReviewItem &b) {
        if (a.wrong * b.of != b.wrong * a.of)
            return a.wrong * b.of > b.wrong * a.of;
        return a.wrong > b.wrong;
    });
    QList<ReviewItem> items = kindItems + pairItems;
    if (items.size() > reviewLines)
        items.resize(reviewLines);
    return items;
}

AnswerFigures::AnswerFigures(DateSpan span, const ClassList *list)
    : dateSpan(span)
{
    if (list == nullptr)
        return;
    for (const ListedPupil &listed : list->pupils()) {
        const qsizetype index = pupilTallies.size();
        pupilTallies.append(AnswerTally(pupilCommonAnswers));
        pupilIndex.insert(ClassFigures::pupilKey(storedName(listed.name)), index);
        for (const QString &spelling : listed.spellings)
            pupilIndex.insert(ClassFigures::pupilKey(storedName(spelling)), index);
    }
}

qsizetype AnswerFigures::pupilOf(const QString &name)
{
    // The answers of a game come one after another, under one name.
    if (lastSpellingKnown && name == lastSpelling)
        return lastSpellingIndex;
    const qsizetype index = findPupil(name);
    lastSpelling = name;
    lastSpellingIndex = index;
    lastSpellingKnown = true;
    return index;
}

qsizetype AnswerFigures::findPupil(const QString &name)
{
    if (const auto found = spellingIndex.constFind(name); found != spellingIndex.cend())
        return *found;
    const QString key = ClassFigures::pupilKey(name);
    qsizetype index = pupilIndex.value(key, -1);
    if (index < 0 && pupilTallies.size() < maxPupils) {
        index = pupilTallies.size();
        pupilIndex.insert(key, index);
        pupilTallies.append(AnswerTally(pupilCommonAnswers));
    }
    if (spellingIndex.size() < maxSpellings)
        spellingIndex.insert(name, index);
    return index;
}

bool AnswerFigures::add(const AnswerRecord &answer)
{
    const auto isUnit = [](int unit) { return unit >= 1 && unit <= 6; };
    if (!isUnit(answer.source) || !isUnit(answer.target) || answer.source == answer.target)
        return false;
    if (answer.right != (answer.typed == answer.expected))
        return false;
    if (!dateSpan.contains(answer.when.date()))
        return false;
    const MistakeKind kind = classTally.add(answer);
    const qsizetype pupil = pupilOf(answer.name);
    if (pupil >= 0)
        pupilTallies[pupil].add(answer, kind);
    return true;
}

const AnswerTally *AnswerFigures::pupil(const QString &name) const
{
    const qsizetype index = pupilIndex.value(ClassFigures::pupilKey(storedName(name)), -1);
    return index < 0 ? nullptr : &pupilTallies.at(index);
}

} // namespace mirabolo::classregister
