// Worker threads under real scheduling: suspended start, zero, bounded and
// unbounded waits, kill, priorities, many threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "Thread.h"

namespace {

// A gate that worker procedures block on until the test opens it.
class Gate {
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// What a worker reports back.
struct Work {
    Gate gate;                   // the worker passes it before returning
    std::atomic<int> runs{0};    // times the procedure started
    std::atomic<int> niceness{0}; // the worker's own nice value
};

unsigned int blockedWorker(void* argument)
{
    auto* work = static_cast<Work*>(argument);
    ++work->runs;
    work->gate.pass();
    return 0;
}

unsigned int quickWorker(void* argument)
{
    auto* work = static_cast<Work*>(argument);
    errno = 0;
    work->niceness = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    ++work->runs;
    return 0;
}

// Bound for waits that must succeed; reaching it means the code is broken.
constexpr double generousSeconds = 30.0;

TEST(Thread, SuspendedThreadRunsOnlyAfterResume)
{
    Work work;
    Utils::Thread thread(&quickWorker, &work, 0, true);
    EXPECT_FALSE(thread.isFinished());
    EXPECT_FALSE(thread.wait(0.05));
    EXPECT_EQ(work.runs, 0);
    thread.resume();
    EXPECT_TRUE(thread.wait(-1.0));
    EXPECT_EQ(work.runs, 1);
}

TEST(Thread, DestroyingANeverResumedThreadDiscardsItsWork)
{
    Work work;
    { Utils::Thread thread(&quickWorker, &work, 0, true); }
    EXPECT_EQ(work.runs, 0);
}

TEST(Thread, ZeroWaitOnlyPolls)
{
    Work work;
    Utils::Thread thread(&blockedWorker, &work, 0, false);
    EXPECT_FALSE(thread.wait(0.0));
    EXPECT_FALSE(thread.isFinished());
    work.gate.open();
    EXPECT_TRUE(thread.wait(-1.0));
    EXPECT_TRUE(thread.wait(0.0));
    EXPECT_TRUE(thread.isFinished());
}

TEST(Thread, BoundedWaitTimesOutThenSeesTheEnd)
{
    Work work;
    Utils::Thread thread(&blockedWorker, &work, 0, false);
    EXPECT_FALSE(thread.wait(0.02));
    work.gate.open();
    EXPECT_TRUE(thread.wait(generousSeconds));
}

TEST(Thread, UnboundedWaitReturnsWhenAnotherThreadLetsTheWorkerEnd)
{
    Work work;
    Utils::Thread thread(&blockedWorker, &work, 0, false);
    std::thread opener([&] { work.gate.open(); });
    EXPECT_TRUE(thread.wait(-1.0));
    opener.join();
    EXPECT_EQ(work.runs, 1);
}

// Lives as long as the process: a killed worker may still be blocked on it when
// the test ends.
Work& abandonedWork()
{
    static Work work;
    return work;
}

TEST(Thread, KillAbandonsARunningThreadWithoutWaitingForIt)
{
    Work& work = abandonedWork();
    {
        Utils::Thread thread(&blockedWorker, &work, 0, false);
        thread.kill();
        EXPECT_TRUE(thread.isFinished());
        EXPECT_TRUE(thread.wait(-1.0)); // must not block on the abandoned worker
    } // nor may the destructor
    work.gate.open(); // let the abandoned worker run out
}

TEST(Thread, KillOfAnEndedThreadDoesNothing)
{
    Work work;
    Utils::Thread thread(&quickWorker, &work, 0, false);
    ASSERT_TRUE(thread.wait(-1.0));
    thread.kill();
    EXPECT_TRUE(thread.isFinished());
    EXPECT_EQ(work.runs, 1);
}

TEST(Thread, KillOfASuspendedThreadKeepsItsWorkFromRunning)
{
    Work& work = abandonedWork();
    const int runsBefore = work.runs;
    Utils::Thread thread(&quickWorker, &work, 0, true);
    thread.kill();
    EXPECT_TRUE(thread.isFinished());
    thread.resume(); // a killed thread cannot be brought back
    EXPECT_EQ(work.runs, runsBefore);
}

unsigned int blockedForever(void*)
{
    Gate never;
    never.pass();
    return 0;
}

// Ends the process while a killed worker is still blocked: the end must not wait.
void killAndExit()
{
    Utils::Thread thread(&blockedForever, nullptr, 0, false);
    thread.kill();
    std::exit(7);
}

TEST(ThreadDeathTest, KilledWorkerDoesNotKeepTheProcessFromEnding)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(killAndExit(), ::testing::ExitedWithCode(7), "");
}

TEST(Thread, KillUnderLoadLeavesFinishedAndAbandonedThreadsConsistent)
{
    constexpr int rounds = 20;
    constexpr int threadsPerRound = 8;
    static Work blocked; // outlives the abandoned workers; opened at the end
    for (int round = 0; round < rounds; ++round) {
        Work quick;
        std::vector<std::unique_ptr<Utils::Thread>> threads;
        for (int i = 0; i < threadsPerRound; ++i)
            threads.push_back(std::make_unique<Utils::Thread>(
                i % 2 ? &quickWorker : &blockedWorker, i % 2 ? &quick : &blocked, 0, true));
        for (auto& thread : threads)
            thread->resume();
        for (int i = 1; i < threadsPerRound; i += 2)
            ASSERT_TRUE(threads[static_cast<std::size_t>(i)]->wait(generousSeconds));
        for (auto& thread : threads)
            thread->kill();
        for (auto& thread : threads)
            EXPECT_TRUE(thread->isFinished());
        threads.clear(); // none of the destructors may wait for a blocked worker
        EXPECT_EQ(quick.runs, threadsPerRound / 2);
    }
    blocked.gate.open();
}

int ownNiceness()
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, 0);
}

TEST(Thread, PrioritiesBelowNormalLowerTheWorkerAndUnknownOnesAreNormal)
{
    const int base = ownNiceness();
    const struct {
        int priority;
        int expected;
    } cases[] = {{-2, std::min(base + 10, 19)}, {-1, std::min(base + 5, 19)},
                 {0, base}, {3, base}, {-3, base}, {INT_MAX, base}, {INT_MIN, base}};
    for (const auto& c : cases) {
        Work work;
        Utils::Thread thread(&quickWorker, &work, c.priority, false);
        ASSERT_TRUE(thread.wait(generousSeconds));
        EXPECT_EQ(work.niceness, c.expected) << "priority " << c.priority;
    }
}

TEST(Thread, ManySuspendedThreadsEachRunOnceAfterResume)
{
    constexpr int rounds = 40;
    constexpr int threadsPerRound = 12;
    for (int round = 0; round < rounds; ++round) {
        Work work;
        std::vector<std::unique_ptr<Utils::Thread>> threads;
        for (int i = 0; i < threadsPerRound; ++i)
            threads.push_back(std::make_unique<Utils::Thread>(&quickWorker, &work, 0, true));
        ASSERT_EQ(work.runs, 0);
        for (auto& thread : threads)
            thread->resume();
        for (auto& thread : threads)
            ASSERT_TRUE(thread->wait(generousSeconds));
        ASSERT_EQ(work.runs, threadsPerRound);
    }
}

} // namespace
