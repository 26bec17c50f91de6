// One conversion exercise: what is drawn, and what follows from the draws.
#pragma once

#include <QLocale>
#include <QString>

namespace mirabolo::game {

class RandomSource;

struct Exercise
{
    int bandRed = 0; // 1 to 9
    int bandGreen = 0; // 0 to 9
    int source = 0; // unit number, 1 to 6
    int target = 0; // unit number, 1 to 6, never equal to source
    int quantity = 0; // 1 to 20
    double expected = 0.0;
};

// Makes every draw of one exercise in the game's fixed order: reseed, band
// red (redrawn while 0), band green, reseed, source and target (both redrawn,
// source first, while equal), quantity.
Exercise drawExercise(RandomSource &random);

// quantity converted from the source unit into the target unit. The power of
// ten is computed first and the quantity multiplies it, as pupils' answers
// have always been judged against that double.
double expectedValue(int source, int target, int quantity);

// The text a right answer must match character for character.
QString expectedAnswerText(const Exercise &exercise, const QLocale &locale);

// The background is 256 horizontal bands over a vertical scale of 512 units,
// each band 2 units high.
constexpr int bandCount = 256;
constexpr int bandScaleHeight = 512;

struct BandColour
{
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Colour of band `band` (0 at the top, 255 at the bottom).
BandColour bandColour(const Exercise &exercise, int band);

} // namespace mirabolo::game
