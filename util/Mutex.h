// Re-entrant mutex with the holder's nesting depth, and a guard that holds it for
// one scope.
#pragma once

#include <cstdint>
#include <mutex>

#include "Exception.h"

namespace Utils {

class VOR_UTILS_VISIBLE Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Blocks until this thread holds the mutex; the holder may enter again.
    void enter();
    // Undoes one enter; the mutex is free when every enter has been undone.
    // Precondition: the calling thread holds the mutex.
    void leave();
    // Nested entries of the current holder; meaningful to the holder only.
    std::int32_t depth() const { return depth_; }

    // Holds a mutex from construction to the end of the scope.
    class Guard {
    public:
        explicit Guard(Mutex& mutex) : mutex_(mutex) { mutex_.enter(); }
        ~Guard() { mutex_.leave(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        Mutex& mutex_; // the mutex held
    };

private:
    std::recursive_mutex mutex_; // the lock itself
    std::int32_t depth_;         // holder's nested entries; touched only while held
};

} // namespace Utils
