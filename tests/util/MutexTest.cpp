// The re-entrant mutex: nesting by its holder and exclusion between threads.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Mutex.h"
#include "Thread.h"

namespace {

TEST(Mutex, HolderMayEnterAgainAndDepthCountsTheNesting)
{
    Utils::Mutex mutex;
    mutex.enter();
    {
        Utils::Mutex::Guard again(mutex);
        Utils::Mutex::Guard third(mutex);
        EXPECT_EQ(mutex.depth(), 3);
    }
    EXPECT_EQ(mutex.depth(), 1);
    mutex.leave();
    EXPECT_EQ(mutex.depth(), 0);
}

// A worker that takes the mutex once and leaves it.
struct Contender {
    Utils::Mutex* mutex;
    bool entered = false;
};

unsigned int enterAndLeave(void* argument)
{
    auto* contender = static_cast<Contender*>(argument);
    Utils::Mutex::Guard guard(*contender->mutex);
    contender->entered = true;
    return 0;
}

TEST(Mutex, OtherThreadWaitsUntilEveryNestedEntryIsLeft)
{
    Utils::Mutex mutex;
    Contender contender{&mutex};
    mutex.enter();
    mutex.enter();
    Utils::Thread other(&enterAndLeave, &contender, 0, false);
    EXPECT_FALSE(other.wait(0.02));
    mutex.leave();
    EXPECT_FALSE(other.wait(0.02));
    mutex.leave();
    EXPECT_TRUE(other.wait(30.0));
    EXPECT_TRUE(contender.entered);
}

// Shared between the load workers; every field is touched only under the mutex.
struct Counter {
    Utils::Mutex mutex;
    long value = 0;       // plain on purpose: only the mutex keeps it right
    bool depthWrong = false;
};

constexpr int loadIterations = 20000;

unsigned int countUnderLock(void* argument)
{
    auto* counter = static_cast<Counter*>(argument);
    for (int i = 0; i < loadIterations; ++i) {
        Utils::Mutex::Guard outer(counter->mutex);
        Utils::Mutex::Guard inner(counter->mutex);
        const long seen = counter->value;
        counter->value = seen + 1;
        counter->depthWrong |= counter->mutex.depth() != 2;
    }
    return 0;
}

TEST(Mutex, ExcludesOtherThreadsUnderLoad)
{
    constexpr int workers = 6;
    Counter counter;
    std::vector<std::unique_ptr<Utils::Thread>> threads;
    for (int i = 0; i < workers; ++i)
        threads.push_back(std::make_unique<Utils::Thread>(&countUnderLock, &counter, 0, true));
    for (auto& thread : threads)
        thread->resume();
    for (auto& thread : threads)
        ASSERT_TRUE(thread->wait(-1.0));
    EXPECT_EQ(counter.value, static_cast<long>(workers) * loadIterations);
    EXPECT_FALSE(counter.depthWrong);
    EXPECT_EQ(counter.mutex.depth(), 0);
}

} // namespace
