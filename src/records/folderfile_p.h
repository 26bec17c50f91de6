// What the platforms' implementations of folderfile.h share.
#pragma once

#include <QDeadlineTimer>

namespace mirabolo::records::detail {

// A short random pause, never past `deadline`.
void pauseBeforeRetry(const QDeadlineTimer &deadline);

} // namespace mirabolo::records::detail
