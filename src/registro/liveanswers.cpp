#include "registro/liveanswers.h"

namespace mirabolo::registro {

using classregister::AnswersFile;

LiveAnswers::LiveAnswers(const QString &path, classregister::AnswersReader reader, qint64 slice, QObject *parent)
    : FollowedFile(parent)
    , answersFile(path)
    , answersReader(std::move(reader))
    , sliceSize(slice)
{
}

void LiveAnswers::readAgain()
{
    answersFile.readAgain();
    refresh();
}

bool LiveAnswers::readSlice()
{
    if (answersFile.state() == AnswersFile::State::NotRead && resumeFrom) {
        if (const std::optional<Resume> from = resumeFrom()) {
            answersFile.resumeAt(from->position);
            answersReader.resume(from->progress);
        }
    }
    const AnswersFile::Change change = answersFile.refresh(answersReader, sliceSize);
    if (change == AnswersFile::Change::Reloaded || change == AnswersFile::Change::Unavailable)
        forgetRefused();
    if (isFollowing())
        watch();
    const bool more = !answersFile.atEnd() && answersFile.state() == AnswersFile::State::Read;
    if (!more && change != AnswersFile::Change::None)
        Q_EMIT settled();
    return more;
}

} // namespace mirabolo::registro
