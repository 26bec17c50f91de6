// Reads an answers file whole into the figures the teacher's window keeps
// (AnswerFigures over the whole period), as it does before its first
// drawing. Prints the time, the peak memory and the counts.
//
// read_answers FILE [--no-figures]
//   --no-figures: the reading alone, each answer handed over and dropped.
#include "classregister/answerfigures.h"
#include "classregister/answersreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>

#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool figuresToo = argc == 2;
    if (argc != 2 && (argc != 3 || std::strcmp(argv[2], "--no-figures") != 0)) {
        std::fputs("usage: read_answers FILE [--no-figures]\n", stderr);
        return 2;
    }
    using namespace mirabolo::classregister;
    AnswerFigures figures;
    qint64 skipped = 0;
    AnswersReader reader(
        [&](const AnswerRecord &answer) {
            if (figuresToo)
                figures.add(answer);
        },
        [&](const SkippedLine &) { ++skipped; });
    QElapsedTimer clock;
    clock.start();
    AnswersFile file(QString::fromLocal8Bit(argv[1]));
    file.refresh(reader);
    const qint64 elapsed = clock.elapsed();
    struct rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    const AnswerTally &all = figures.wholeClass();
    std::printf("read %lld answers (%lld wrong, %lld different wrong answers kept) of %lld pupils, %lld lines "
                "skipped, in %lld ms; peak memory %ld MB\n",
                reader.answerCount(), all.wrong(), qint64(all.common().size()), qint64(figures.pupilCount()), skipped,
                elapsed, usage.ru_maxrss / 1024);
    return file.state() == AnswersFile::State::Read ? 0 : 1;
}
