// Cancellation of a session's running call from another thread (OCIBreak).
//
// A request sets a flag that the running call sees wherever it can stop: SQLite
// polls it through a progress handler (and is interrupted outright), the sleep
// block and the wait for a busy writer wait on a condition variable that the
// request signals. A request reaches only a call that runs: on an idle session
// it does nothing, as the server interrupts only what is in progress, so a
// stray break never fails the session's next call. Each call clears the flag
// when it ends, so a request never outlives the call it reached.
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

    // The bounds of one call of the session (Connection::Call): only between
    // them does a request take effect. Each clears a pending request.
    void beginCall();
    void endCall() noexcept;

    // Any thread: cancel the running call, if there is one. Never waits for
    // that call: the mutex it takes is released by every wait of a call.
    void request();
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    // Throws ORA-01013 when a cancel is pending.
    void throwIfRequested() const;

    // Waits up to `duration`; false when cancelled first.
    bool waitFor(std::chrono::milliseconds duration);
    // Sleeps `seconds`; throws ORA-01013 when cancelled first.
    void sleep(double seconds);

private:
    std::atomic<bool> requested_{false};  // a cancel is pending
    std::mutex mutex_;                    // guards db_ and running_, pairs with wake_
    std::condition_variable wake_;        // signalled by request()
    sqlite3* db_ = nullptr;               // interrupted by request(); not owned
    bool running_ = false;                // a call of the session is in progress
};

}  // namespace engine
