#include "records/answerswriter.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace mirabolo::records {

namespace {

// Short turns at the lock, so that a flush or the end is seen between them.
constexpr std::chrono::milliseconds lockTurn{250};

struct Entry
{
    QString folder;
    bool shared = false;
    QByteArray line;
};

} // namespace

struct AnswersWriter::Queue
{
    std::mutex mutex;
    std::condition_variable wake; // to the worker: lines, a flush, the end
    std::condition_variable progress; // to flush(): lines written, or refused
    std::deque<Entry> entries;
    quint64 refusals = 0;
    bool busy = false; // lines are being written, without the mutex
    bool retryNow = false;
    bool stopping = false;
};

namespace {

// The lines at the head of the queue that go to the same file, in order.
QByteArray nextLines(const std::deque<Entry> &entries, std::size_t &count)
{
    const Entry &first = entries.front();
    QByteArray lines;
    count = 0;
    for (const Entry &entry : entries) {
        if (entry.folder != first.folder || entry.shared != first.shared)
            break;
        lines += entry.line;
        ++count;
    }
    return lines;
}

} // namespace

AnswersWriter::AnswersWriter(std::chrono::milliseconds retryPause,
                             std::function<void(RecordStore::Appended)> afterEachTurn)
    : queue(std::make_shared<Queue>())
{
    // The thread owns the queue too: it may outlive the writer, stuck on a share.
    worker = std::thread([q = queue, retryPause, turned = std::move(afterEachTurn)] {
        std::unique_lock lock(q->mutex);
        for (;;) {
            q->wake.wait(lock, [&] { return q->stopping || !q->entries.empty(); });
            if (q->stopping)
                return;
            std::size_t count = 0;
            const QByteArray lines = nextLines(q->entries, count);
            const RecordStore store(q->entries.front().folder, q->entries.front().shared);
            q->busy = true;
            lock.unlock();
            const RecordStore::Appended outcome = store.appendAnswers(lines, QDeadlineTimer(lockTurn));
            lock.lock();
            q->busy = false;
            if (turned && !q->stopping)
                turned(outcome);
            if (outcome == RecordStore::Appended::Written)
                q->entries.erase(q->entries.begin(), q->entries.begin() + qsizetype(count));
            else if (outcome == RecordStore::Appended::Failed)
                ++q->refusals;
            q->progress.notify_all();
            if (outcome == RecordStore::Appended::Failed) {
                q->retryNow = false;
                q->wake.wait_for(lock, retryPause, [&] { return q->stopping || q->retryNow; });
            }
        }
    });
}

AnswersWriter::~AnswersWriter()
{
    std::unique_lock lock(queue->mutex);
    queue->stopping = true;
    queue->wake.notify_all();
    // A turn at the lock ends soon; a write to a share that stalls may never.
    const bool writing = !queue->progress.wait_for(lock, 2 * lockTurn, [this] { return !queue->busy; });
    lock.unlock();
    if (writing)
        worker.detach();
    else
        worker.join();
}

void AnswersWriter::post(const RecordStore &store, QByteArray line)
{
    {
        const std::lock_guard lock(queue->mutex);
        queue->entries.push_back({store.folderPath(), store.inClassFolder(), std::move(line)});
    }
    queue->wake.notify_all();
}

bool AnswersWriter::flush(QDeadlineTimer deadline)
{
    std::unique_lock lock(queue->mutex);
    const quint64 refusalsBefore = queue->refusals;
    queue->retryNow = true;
    queue->wake.notify_all();
    while (!queue->entries.empty() && queue->refusals == refusalsBefore && !deadline.hasExpired()) {
        if (deadline.isForever())
            queue->progress.wait(lock);
        else
            queue->progress.wait_for(lock, deadline.remainingTimeAsDuration());
    }
    return queue->entries.empty();
}

} // namespace mirabolo::records
