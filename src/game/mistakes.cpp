#include "game/mistakes.h"

#include <optional>

namespace mirabolo::game {

namespace {

// A non-negative decimal as its significant digits and a power of ten:
// "0,050" is {"5", -2}; zero has no digits.
struct Decimal
{
    QString digits;
    int exponent = 0;
    bool operator==(const Decimal &) const = default;
    bool isWhole() const { return exponent >= 0; }
};

Decimal normalised(QString digits, int exponent)
{
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    while (digits.endsWith(u'0')) {
        digits.chop(1);
        ++exponent;
    }
    return digits.isEmpty() ? Decimal{} : Decimal{digits, exponent};
}

// Digits with at most one separator among them, nothing else.
std::optional<Decimal> readDecimal(const QString &text, QChar separator)
{
    QString digits;
    int fraction = -1;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            if (fraction >= 0)
                ++fraction;
        } else if (c == separator && fraction < 0) {
            fraction = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits.isEmpty())
        return std::nullopt;
    return normalised(digits, fraction > 0 ? -fraction : 0);
}

} // namespace

MistakeKind classifyAnswer(const QString &typed, const QString &expected, int source, int target, int quantity,
                           const QLocale &locale)
{
    if (typed == expected)
        return MistakeKind::None;
    const QChar comma = locale.decimalPoint().front();
    const std::optional<Decimal> right = readDecimal(expected, comma);
    QString text = typed.simplified().remove(u' ');
    if (comma != u'.')
        text.replace(u'.', comma);
    const std::optional<Decimal> answer = readDecimal(text, comma);
    if (!answer || !right)
        return MistakeKind::NotANumber;
    // "200.000" for 200000: the point read as the thousands' separator.
    const std::optional<Decimal> grouped = readDecimal(typed.simplified().remove(u' ').remove(u'.'), comma);
    if (*answer == *right || grouped == right)
        return MistakeKind::WrittenWrongly;
    if (answer->digits != right->digits)
        return MistakeKind::OtherDigits;
    // The same digits: the answer is the expected value times a power of ten.
    if (*answer == normalised(QString::number(quantity), target - source))
        return MistakeKind::Reversed;
    if (!answer->isWhole() || !right->isWhole())
        return MistakeKind::CommaMisplaced;
    return qAbs(answer->exponent - right->exponent) == 1 ? MistakeKind::OneStep : MistakeKind::ManySteps;
}

QString mistakeKindName(MistakeKind kind)
{
    switch (kind) {
    case MistakeKind::None:
        return QStringLiteral("Giusta");
    case MistakeKind::NotANumber:
        return QStringLiteral("Non è un numero");
    case MistakeKind::WrittenWrongly:
        return QStringLiteral("Numero giusto scritto male");
    case MistakeKind::Reversed:
        return QStringLiteral("Verso sbagliato");
    case MistakeKind::CommaMisplaced:
        return QStringLiteral("Virgola fuori posto");
    case MistakeKind::OneStep:
        return QStringLiteral("Un passaggio sbagliato");
    case MistakeKind::ManySteps:
        return QStringLiteral("Più passaggi sbagliati");
    case MistakeKind::OtherDigits:
        return QStringLiteral("Cifre sbagliate");
    }
    return {};
}

} // namespace mirabolo::game
