// Points the process's XDG folders into a scratch folder: a game started by a
// test must neither find a lab PC's class folder through /etc/xdg nor keep
// its record in the user's data.
#pragma once

#include <QFile>
#include <QString>

namespace mirabolo::test {

inline void usePrivateXdg(const QString &root)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(root));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/.config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + QStringLiteral("/.xdg")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/.cache")));
}

} // namespace mirabolo::test
