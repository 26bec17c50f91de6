// The register followed live (see FollowedFile), each slice's games handed on.
#pragma once

#include "classregister/registerfile.h"
#include "registro/followedfile.h"

namespace mirabolo::registro {

class LiveRegister : public FollowedFile
{
    Q_OBJECT

public:
    explicit LiveRegister(const QString &path, qint64 slice = sliceBytes, QObject *parent = nullptr);

    const classregister::RegisterFile &file() const { return registerFile; }

    // Reads the whole file again, as for a replaced one.
    void readAgain();

Q_SIGNALS:
    // Reading starts again from the file's start (a new, replaced or shrunk
    // file, readAgain(), or one that can no longer be read): the games in
    // file().games() are the first ones.
    void reloaded();
    // The games from `first` on were added.
    void appended(qsizetype first);
    // Everything up to the file's end has been read after a change.
    void settled();

private:
    bool readSlice() override;
    QString path() const override { return registerFile.path(); }

    // Only the games of each slice: whoever follows the register keeps them.
    classregister::RegisterFile registerFile;
    qint64 sliceSize;
};

} // namespace mirabolo::registro
