// The worker threads of timed execution: one per EXECUTE item, created suspended,
// started together and waited for under the script's time-out.
#pragma once

#include "OraProc.h"
#include "Thread.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace Transl {

class ThreadManager {
public:
    ThreadManager() = default;
    virtual ~ThreadManager() = default;
    ThreadManager(const ThreadManager&) = delete;
    ThreadManager& operator=(const ThreadManager&) = delete;

    // Creates the worker of item `number`, suspended, at normal priority; a number
    // that already has a worker is an internal failure.
    void addThread(Utils::Thread::Procedure procedure, std::int32_t number, ExecItem* item);
    // Lets every worker run, in number order.
    void startAll();
    // Waits until every worker has ended or, with a time-out above 0, until more
    // whole seconds than `timeout` have passed since an item's start time. Returns
    // true for a time-out. Ended workers are destroyed as they are found.
    bool waitAll(const OraProc::Items& items, std::int32_t timeout);
    // Waits up to `bound` for every worker that still runs to end, blocking on
    // their ends; true when none runs any more.
    bool waitRunning(std::chrono::steady_clock::duration bound);
    // Numbers of the workers that have not ended, in order.
    std::vector<std::int32_t> runningNumbers();
    // Ends what still runs (a running worker is abandoned, not waited for), destroys
    // every thread object and empties the table.
    void killRunning();

private:
    bool pass(const OraProc::Items& items, std::int32_t timeout, bool& timedOut);
    Utils::Thread* firstRunning() const;

    // Workers by item number; null once a worker has ended and been destroyed.
    std::map<std::int32_t, std::unique_ptr<Utils::Thread>> threads_;
};

} // namespace Transl
