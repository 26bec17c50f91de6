// Writes the answers off the window's thread: a lock held by another PC or a
// share that stalls never holds up the game. The game posts each answer and
// goes on; at its end it waits, within a bound, for the answers still queued.
#pragma once

#include "records/recordstore.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace mirabolo::records {

class AnswersWriter
{
public:
    // One per program: the answers of a game left for a new one are still
    // written while it is played. `retryPause` is the wait after the file
    // refused the lines (a share gone, a link in its place) before trying
    // again; `afterEachTurn` is called on the writer's thread after each try.
    explicit AnswersWriter(std::chrono::milliseconds retryPause = std::chrono::seconds(1),
                           std::function<void(RecordStore::Appended)> afterEachTurn = {});
    // Does not wait for a share that stalls: what is not written by then is
    // lost, as flush() has said.
    ~AnswersWriter();
    AnswersWriter(const AnswersWriter &) = delete;
    AnswersWriter &operator=(const AnswersWriter &) = delete;

    // Queues one line (see answerLine()) for the answers file of `store`'s
    // folder, and returns at once.
    void post(const RecordStore &store, QByteArray line);

    // Waits until every answer posted is written, or until `deadline`; stops
    // waiting as soon as the file refuses them. True when none is left.
    bool flush(QDeadlineTimer deadline);

private:
    struct Queue;
    std::shared_ptr<Queue> queue;
    std::thread worker;
};

} // namespace mirabolo::records
