// The worker threads of timed execution.
#pragma once

namespace Transl {

class ThreadManager {
public:
    ThreadManager() = default;
    virtual ~ThreadManager() = default;
    ThreadManager(const ThreadManager&) = delete;
    ThreadManager& operator=(const ThreadManager&) = delete;
};

} // namespace Transl
