// The answers file beside the register, followed live (see FollowedFile): each
// slice's answers go to the reader, which hands them on one by one.
#pragma once

#include "classregister/answersreader.h"
#include "registro/followedfile.h"

namespace mirabolo::registro {

class LiveAnswers : public FollowedFile
{
    Q_OBJECT

public:
    LiveAnswers(const QString &path, classregister::AnswersReader reader, qint64 slice = sliceBytes,
                QObject *parent = nullptr);

    const classregister::AnswersFile &file() const { return answersFile; }
    const classregister::AnswersReader &reader() const { return answersReader; }

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
};

} // namespace mirabolo::registro
