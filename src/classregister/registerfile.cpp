#include "classregister/registerfile.h"

#include <utility>

namespace mirabolo::classregister {

RegisterFile::RegisterFile(QString path)
    : filePath(std::move(path))
{
}

RegisterFile::Change RegisterFile::refresh(qint64)
{
    return Change::None;
}

QString RegisterFile::statusMessage() const
{
    return {};
}

QString defaultRegisterPath(const QString &)
{
    return {};
}

} // namespace mirabolo::classregister
