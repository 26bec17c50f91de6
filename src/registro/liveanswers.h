// The answers file beside the register, followed live (see FollowedFile): each
// slice's answers go to the reader, which hands them on one by one.
#pragma once

#include "classregister/answersreader.h"
#include "registro/followedfile.h"

#include <functional>
#include <optional>

namespace mirabolo::registro {

class LiveAnswers : public FollowedFile
{
    Q_OBJECT

public:
    LiveAnswers(const QString &path, classregister::AnswersReader reader, qint64 slice = sliceBytes,
                QObject *parent = nullptr);

    const classregister::AnswersFile &file() const { return answersFile; }
    const classregister::AnswersReader &reader() const { return answersReader; }

    // Where an earlier reading of the file stopped.
    struct Resume
    {
        classregister::AnswersFile::Position position;
        classregister::AnswersReader::Progress progress;
    };
    // Asked each time the file is about to be read from its start; a reading
    // it gives goes on from there instead, when the file is still the one
    // read that far (whoever listens to the reader holds what it counted).
    void setResumer(std::function<std::optional<Resume>()> resumer) { resumeFrom = std::move(resumer); }

    // Reads the whole file again: the reader is told to start over.
    void readAgain();

Q_SIGNALS:
    // Everything up to the file's end has been read after a change.
    void settled();

private:
    bool readSlice() override;
    QString path() const override { return answersFile.path(); }

    classregister::AnswersFile answersFile;
    classregister::AnswersReader answersReader;
    qint64 sliceSize;
    std::function<std::optional<Resume>()> resumeFrom;
};

} // namespace mirabolo::registro
