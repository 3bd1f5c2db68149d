// The workers of an EXECUTE: suspended creation, a common start, the wait with and
// without a time-out, and the end of workers that still run, under load.
#include "Exception.h"
#include "ExecItem.h"
#include "OraProc.h"
#include "ThreadManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>

namespace {

using Transl::ExecItem;
using Transl::OraProc;
using Transl::ThreadManager;

// A start time far enough in the past that any time-out of a few seconds has passed.
constexpr std::time_t kLongAgo = 100;

// What the worker procedures report to the test; one per test.
struct Board {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;   // set by the test right before startAll
    int ran = 0;            // procedures that ran
    int ranEarly = 0;       // procedures that ran before `started`
    int arrived = 0;        // workers at the meeting point
    int expected = 0;       // workers the meeting point waits for
    bool released = false;  // lets blocked workers go
    int finished = 0;       // blocked workers that went

    void waitFor(int& counter, int value)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return counter >= value; });
    }
};

Board* board = nullptr;

unsigned int countRun(void*)
{
    std::lock_guard<std::mutex> lock(board->mutex);
    ++board->ran;
    if (!board->started)
        ++board->ranEarly;
    board->changed.notify_all();
    return 0;
}

// Returns only once every expected worker has arrived: workers that did not run
// at the same time would never all get here.
unsigned int meetAll(void*)
{
    std::unique_lock<std::mutex> lock(board->mutex);
    ++board->arrived;
    board->changed.notify_all();
    board->changed.wait(lock, [] { return board->arrived >= board->expected; });
    return 0;
}

unsigned int blockUntilReleased(void*)
{
    std::unique_lock<std::mutex> lock(board->mutex);
    board->changed.wait(lock, [] { return board->released; });
    ++board->finished;
    board->changed.notify_all();
    return 0;
}

class ThreadManagerTest : public testing::Test {
protected:
    void SetUp() override { board = &board_; }
    void TearDown() override
    {
        // An abandoned worker may still be blocked; let it go before the board dies.
        {
            std::lock_guard<std::mutex> lock(board_.mutex);
            board_.released = true;
        }
        board_.changed.notify_all();
        board_.waitFor(board_.finished, blocked_);
        board = nullptr;
    }

    // Items 1..count, all started at `start`, with a worker each.
    void addWorkers(int count, Transl::OraProc::Items& items, std::time_t start,
                    Utils::Thread::Procedure procedure)
    {
        for (int n = 1; n <= count; ++n)
            addWorker(n, items, start, procedure);
    }
    void addWorker(int number, OraProc::Items& items, std::time_t start,
                   Utils::Thread::Procedure procedure)
    {
        auto item = std::make_unique<ExecItem>(proc_);
        item->startTime = start;
        manager_.addThread(procedure, number, item.get());
        items[number] = std::move(item);
        if (procedure == blockUntilReleased)
            ++blocked_;
    }
    void start()
    {
        {
            std::lock_guard<std::mutex> lock(board_.mutex);
            board_.started = true;
        }
        manager_.startAll();
    }

    Board board_;
    OraProc proc_;
    ThreadManager manager_;
    int blocked_ = 0;  // blockUntilReleased workers created
    std::vector<std::unique_ptr<ExecItem>> kept_;  // items of abandoned workers
};

TEST_F(ThreadManagerTest, WorkersWaitSuspendedUntilStartAll)
{
    OraProc::Items items;
    addWorkers(64, items, std::time(nullptr), countRun);
    EXPECT_EQ(manager_.runningNumbers().size(), 64u);
    start();
    EXPECT_FALSE(manager_.waitAll(items, 0));
    EXPECT_EQ(board_.ran, 64);
    EXPECT_EQ(board_.ranEarly, 0);
    EXPECT_TRUE(manager_.runningNumbers().empty());
    manager_.killRunning();
}

TEST_F(ThreadManagerTest, ManyRoundsOfManyWorkersAllRunOnce)
{
    constexpr int kRounds = 100;
    constexpr int kWorkers = 32;
    for (int round = 0; round < kRounds; ++round) {
        OraProc::Items items;
        addWorkers(kWorkers, items, std::time(nullptr), countRun);
        start();
        ASSERT_FALSE(manager_.waitAll(items, -1));
        manager_.killRunning();
        ASSERT_TRUE(manager_.runningNumbers().empty());
    }
    EXPECT_EQ(board_.ran, kRounds * kWorkers);
}

TEST_F(ThreadManagerTest, WorkersRunAtTheSameTime)
{
    constexpr int kWorkers = 24;
    board_.expected = kWorkers;
    OraProc::Items items;
    addWorkers(kWorkers, items, std::time(nullptr), meetAll);
    start();
    EXPECT_FALSE(manager_.waitAll(items, 0));
    EXPECT_EQ(board_.arrived, kWorkers);
    manager_.killRunning();
}

TEST_F(ThreadManagerTest, NoTimeOutAtZeroOrBelowHoweverLongItTakes)
{
    for (const std::int32_t timeout : {0, -1, -1000}) {
        OraProc::Items items;
        addWorkers(8, items, kLongAgo, countRun);
        start();
        EXPECT_FALSE(manager_.waitAll(items, timeout)) << timeout;
        manager_.killRunning();
    }
    EXPECT_EQ(board_.ran, 24);
}

TEST_F(ThreadManagerTest, TimeOutEndsTheWaitWhileAWorkerIsBlocked)
{
    OraProc::Items items;
    addWorker(1, items, kLongAgo, countRun);
    addWorker(2, items, kLongAgo, blockUntilReleased);
    start();
    EXPECT_TRUE(manager_.waitAll(items, 5));
    const std::vector<std::int32_t> running = manager_.runningNumbers();
    ASSERT_FALSE(running.empty());
    EXPECT_EQ(running.back(), 2);
    manager_.killRunning();
    EXPECT_TRUE(manager_.runningNumbers().empty());
    EXPECT_EQ(board_.finished, 0);
    board_.waitFor(board_.ran, 1);
}

TEST_F(ThreadManagerTest, TimeOutIsJudgedForEndedItemsToo)
{
    OraProc::Items items;
    addWorkers(8, items, kLongAgo, countRun);
    start();
    board_.waitFor(board_.ran, 8);
    EXPECT_TRUE(manager_.waitAll(items, 1));
    manager_.killRunning();
}

TEST_F(ThreadManagerTest, RepeatedTimeOutsWithBlockedWorkersLeaveNothingBehind)
{
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        OraProc::Items items;
        addWorker(1, items, kLongAgo, blockUntilReleased);
        addWorker(2, items, kLongAgo, blockUntilReleased);
        start();
        ASSERT_TRUE(manager_.waitAll(items, 1));
        manager_.killRunning();
        ASSERT_TRUE(manager_.runningNumbers().empty());
        // A killed worker's item must outlive it: keep the items until TearDown.
        for (auto& entry : items)
            kept_.push_back(std::move(entry.second));
    }
}

// The grace after a time-out: a bounded wait gives up on a blocked worker and
// sees the end of one that has been let go.
TEST_F(ThreadManagerTest, WaitForRunningWorkersIsBoundedAndSeesTheirEnd)
{
    OraProc::Items items;
    addWorker(1, items, kLongAgo, countRun);
    addWorker(2, items, kLongAgo, blockUntilReleased);
    start();
    ASSERT_TRUE(manager_.waitAll(items, 1));
    EXPECT_FALSE(manager_.waitRunning(std::chrono::milliseconds(10)));
    EXPECT_EQ(manager_.runningNumbers(), std::vector<std::int32_t>{2});
    {
        std::lock_guard<std::mutex> lock(board_.mutex);
        board_.released = true;
    }
    board_.changed.notify_all();
    EXPECT_TRUE(manager_.waitRunning(std::chrono::hours(1)));
    EXPECT_TRUE(manager_.runningNumbers().empty());
    manager_.killRunning();
}

TEST_F(ThreadManagerTest, SecondWorkerForANumberIsAnInternalFailure)
{
    OraProc::Items items;
    addWorker(1, items, std::time(nullptr), countRun);
    ExecItem other(proc_);
    EXPECT_THROW(manager_.addThread(countRun, 1, &other), Transl::Exception);
    start();
    EXPECT_FALSE(manager_.waitAll(items, 0));
    EXPECT_EQ(board_.ran, 1);
    manager_.killRunning();
}

TEST_F(ThreadManagerTest, WorkersNeverStartedDoNotRunWhenDiscarded)
{
    {
        ExecItem item(proc_);
        ThreadManager manager;
        for (int n = 1; n <= 16; ++n)
            manager.addThread(countRun, n, &item);
    }
    EXPECT_EQ(board_.ran, 0);
}

} // namespace
