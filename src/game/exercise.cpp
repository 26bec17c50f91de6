#include "game/exercise.h"

#include "game/random.h"
#include "runtime/numbers.h"

#include <cmath>

namespace mirabolo::game {

namespace {

// The whole part of r * scale + offset for one draw. A source that breaks its
// promise of 0 <= r < 1 is held to it, so no draw leaves its range.
int drawWhole(RandomSource &random, int scale, int offset)
{
    double r = random.next();
    if (!(r >= 0.0)) {
        r = 0.0;
    } else if (r >= 1.0) {
        r = std::nextafter(1.0, 0.0);
    }
    return static_cast<int>(std::floor(r * scale + offset));
}

} // namespace

Exercise drawExercise(RandomSource &random)
{
    Exercise exercise;

    random.reseed();
    do {
        exercise.bandRed = drawWhole(random, 10, 0);
    } while (exercise.bandRed == 0);
    exercise.bandGreen = drawWhole(random, 10, 0);

    random.reseed();
    do {
        exercise.source = drawWhole(random, 6, 1);
        exercise.target = drawWhole(random, 6, 1);
    } while (exercise.source == exercise.target);
    exercise.quantity = drawWhole(random, 20, 1);

    exercise.expected = expectedValue(exercise.source, exercise.target, exercise.quantity);
    return exercise;
}

double expectedValue(int source, int target, int quantity)
{
    if (source > target) {
        return std::pow(10.0, double(source - target)) * quantity;
    }
    if (source < target) {
        return std::pow(0.1, double(target - source)) * quantity;
    }
    return quantity;
}

QString expectedAnswerText(const Exercise &exercise, const QLocale &locale)
{
    return runtime::numberToText(exercise.expected, locale);
}

BandColour bandColour(const Exercise &exercise, int band)
{
    return BandColour{20 * exercise.bandRed, 20 * exercise.bandGreen, band};
}

} // namespace mirabolo::game
