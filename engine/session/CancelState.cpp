// Cancel requests, cancellable waits.
#include "session/CancelState.h"

#include "base/OraError.h"

#include <sqlite3.h>

#include <algorithm>

namespace engine {

void CancelState::attach(sqlite3* db) {
    std::lock_guard<std::mutex> lock(mutex_);
    db_ = db;
}

void CancelState::beginCall() {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = true;
    requested_.store(false, std::memory_order_relaxed);
}

void CancelState::endCall() noexcept {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
    requested_.store(false, std::memory_order_relaxed);
}

void CancelState::request() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) return;
    requested_.store(true, std::memory_order_relaxed);
    if (db_ != nullptr) sqlite3_interrupt(db_);
    wake_.notify_all();
}

void CancelState::throwIfRequested() const {
    if (requested()) throw OraError(OraCode::UserRequestedCancel);
}

bool CancelState::waitFor(std::chrono::milliseconds duration) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return requested(); });
}

void CancelState::sleep(double seconds) {
    // The longest sleep: about 30 years, far beyond any wait and still
    // representable in the clock's nanoseconds; a longer (or infinite) sleep
    // ends only by a break either way. NaN and negative sleep not at all.
    constexpr double kLongestSleepSeconds = 1e9;
    const double bounded = seconds > 0 ? std::min(seconds, kLongestSleepSeconds) : 0;
    const auto duration = std::chrono::duration<double>(bounded);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::milliseconds>(duration);
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_until(lock, deadline, [this] { return requested(); })) {
        throw OraError(OraCode::UserRequestedCancel);
    }
}

}  // namespace engine
