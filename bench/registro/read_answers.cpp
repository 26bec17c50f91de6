// Reads an answers file whole, as the teacher's window does before its first
// drawing, keeping figures only: the share right of each pair of units, the
// answers of each pupil and the wrong texts typed for each exercise. Prints
// the time, the peak memory and the counts.
//
// read_answers FILE [--no-figures]
//   --no-figures: the reading alone, each answer handed over and dropped.
#include "classregister/answersreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

#include <array>
#include <cstdio>
#include <cstring>
#include <tuple>

#include <sys/resource.h>

namespace {

struct Figures
{
    std::array<std::array<qint64, 2>, 49> pairs{}; // [source * 7 + target][right]
    QHash<QString, qint64> pupils;
    // The wrong texts of each exercise, by pair of units and quantity.
    std::array<QHash<QString, qint64>, 49 * 32> wrongTexts;
    qint64 skipped = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool figuresToo = argc == 2;
    if (argc != 2 && (argc != 3 || std::strcmp(argv[2], "--no-figures") != 0)) {
        std::fputs("usage: read_answers FILE [--no-figures]\n", stderr);
        return 2;
    }
    using namespace mirabolo::classregister;
    Figures figures;
    QString lastName;
    qint64 *lastPupil = nullptr;
    AnswersReader reader(
        [&](const AnswerRecord &answer) {
            if (!figuresToo)
                return;
            ++figures.pairs[answer.source * 7 + answer.target][answer.right];
            // The lines of a game come together: one lookup a game, not a line.
            if (!lastPupil || answer.name.constData() != lastName.constData()) {
                lastName = answer.name;
                lastPupil = &figures.pupils[lastName];
            }
            ++*lastPupil;
            if (!answer.right)
                ++figures.wrongTexts[std::size_t((answer.source * 7 + answer.target) * 32 + answer.quantity % 32)]
                                    [answer.typed];
        },
        [&](const SkippedLine &) { ++figures.skipped; });
    QElapsedTimer clock;
    clock.start();
    AnswersFile file(QString::fromLocal8Bit(argv[1]));
    file.refresh(reader);
    const qint64 elapsed = clock.elapsed();
    struct rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    qint64 wrong = 0;
    for (const auto &pair : figures.pairs)
        wrong += pair[0];
    qint64 wrongTexts = 0;
    for (const auto &texts : figures.wrongTexts)
        wrongTexts += texts.size();
    std::printf("read %lld answers (%lld wrong, %lld different wrong texts) of %lld pupils, %lld lines skipped, "
                "in %lld ms; peak memory %ld MB\n",
                reader.answerCount(), wrong, wrongTexts, qint64(figures.pupils.size()), figures.skipped, elapsed,
                usage.ru_maxrss / 1024);
    return file.state() == AnswersFile::State::Read ? 0 : 1;
}
