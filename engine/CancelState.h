// Cancellation of a session's running call from another thread (OCIBreak).
//
// A request sets a flag that the running call sees wherever it can stop: SQLite
// polls it through a progress handler (and is interrupted outright), the sleep
// block and the wait for a busy writer wait on a condition variable that the
// request signals. A request made while no call runs cancels the session's
// next call; each call clears the flag when it ends, so a request never
// outlives the call it reached.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

struct sqlite3;

namespace engine {

class CancelState {
public:
    // The connection to interrupt; null detaches (before it is closed).
    void attach(sqlite3* db);

    // Any thread: cancel the running (or next) call.
    void request();
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    void clear() noexcept { requested_.store(false, std::memory_order_relaxed); }
    // Throws ORA-01013 when a cancel is pending.
    void throwIfRequested() const;

    // Waits up to `duration`; false when cancelled first.
    bool waitFor(std::chrono::milliseconds duration);
    // Sleeps `seconds`; throws ORA-01013 when cancelled first.
    void sleep(double seconds);

private:
    std::atomic<bool> requested_{false};  // a cancel is pending
    std::mutex mutex_;                    // guards db_ and pairs with wake_
    std::condition_variable wake_;        // signalled by request()
    sqlite3* db_ = nullptr;               // interrupted by request(); not owned
};

}  // namespace engine
