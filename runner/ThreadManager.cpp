// Worker threads of an EXECUTE: suspended creation, a common start, and a wait
// that blocks on the workers' completion between its passes instead of spinning.
#include "ThreadManager.h"

#include "Exception.h"

#include <algorithm>
#include <ctime>

namespace Transl {

namespace {

// Priority of every worker: normal.
constexpr int kWorkerPriority = 0;

// Longest block between two passes of the wait. Time-outs are judged on a clock
// of whole seconds, so a tenth of a second keeps their detection prompt while the
// interpreter thread wakes only ten times a second; an ending worker wakes it at
// once.
constexpr double kPassBoundSeconds = 0.1;

// More whole seconds than `timeout` have passed since the item started.
bool expired(const OraProc::Items& items, std::int32_t number, std::int32_t timeout)
{
    const auto item = items.find(number);
    return item != items.end() && std::time(nullptr) - item->second->startTime > timeout;
}

} // namespace

void ThreadManager::addThread(Utils::Thread::Procedure procedure, std::int32_t number,
                              ExecItem* item)
{
    if (threads_.count(number) != 0)
        throw Exception("a worker for item " + std::to_string(number) + " exists already");
    threads_[number] = std::make_unique<Utils::Thread>(procedure, item, kWorkerPriority, true);
}

void ThreadManager::startAll()
{
    for (auto& entry : threads_)
        if (entry.second)
            entry.second->resume();
}

bool ThreadManager::waitAll(const OraProc::Items& items, std::int32_t timeout)
{
    bool timedOut = false;
    while (pass(items, timeout, timedOut) && !timedOut)
        firstRunning()->wait(kPassBoundSeconds);
    return timedOut;
}

// One look at every worker; true while any still runs. The time-out is judged for
// every item, ended ones included: all started together.
bool ThreadManager::pass(const OraProc::Items& items, std::int32_t timeout, bool& timedOut)
{
    bool running = false;
    for (auto& [number, thread] : threads_) {
        if (timeout > 0 && expired(items, number, timeout))
            timedOut = true;
        if (!thread)
            continue;
        if (thread->isFinished())
            thread.reset();
        else
            running = true;
    }
    return running;
}

Utils::Thread* ThreadManager::firstRunning() const
{
    for (const auto& entry : threads_)
        if (entry.second)
            return entry.second.get();
    return nullptr;
}

bool ThreadManager::waitRunning(std::chrono::steady_clock::duration bound)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + bound;
    for (auto& entry : threads_) {
        if (!entry.second)
            continue;
        const std::chrono::duration<double> left = std::max<Clock::duration>(deadline - Clock::now(), {});
        if (!entry.second->wait(left.count()))
            return false;
    }
    return true;
}

std::vector<std::int32_t> ThreadManager::runningNumbers()
{
    std::vector<std::int32_t> numbers;
    for (auto& [number, thread] : threads_)
        if (thread && !thread->isFinished())
            numbers.push_back(number);
    return numbers;
}

void ThreadManager::killRunning()
{
    for (const std::int32_t number : runningNumbers())
        threads_[number]->kill();
    threads_.clear();
}

} // namespace Transl
