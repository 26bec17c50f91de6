#include "records/folderfile_p.h"

#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

namespace mirabolo::records::detail {

// Games ending in the same second retry at short random intervals, so that a
// whole class gets through well within the wait.
void pauseBeforeRetry(const QDeadlineTimer &deadline)
{
    const qint64 pause = QRandomGenerator::global()->bounded(5, 40);
    QThread::msleep(std::clamp<qint64>(deadline.remainingTime(), 0, pause));
}

} // namespace mirabolo::records::detail
