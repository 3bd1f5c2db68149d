// EXECUTE items run by OraProc on worker threads under a time-out, against the
// engine: a worker blocked in the database when the time-out passes has its call
// broken and ends, rather than being given up still running.
#include "CommonVar.h"
#include "ExecTestSupport.h"
#include "ScopedEnv.h"
#include "ExecItem.h"
#include "OraProc.h"
#include "ThreadManager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Transl::CommonVar;
using Transl::ExecItem;
using Transl::OraProc;
using Transl::ThreadManager;
using Transl::TypeCode;

const char* const kLogon = "scott/tiger@timed";
const char* const kSleepMinute = "begin dbms_session.sleep(60); end;";
// The server ends its texts with a line feed.
const char* const kCancelled = "ORA-01013: user requested cancel of current operation\n";

class TimedExecutionTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ExecTest::useFreshDataDirectory("timed"); }

    static CommonVar variable(TypeCode type, int size) { return ExecTest::variable(type, size); }

    // An SQL item whose message goes to `message`; `output` takes a query's value.
    std::unique_ptr<ExecItem> sqlItem(std::int32_t connection, const std::string& text, CommonVar& message,
                                      CommonVar* output = nullptr)
    {
        auto item = ExecTest::sqlItem(proc_, connection, text);
        item->messageVariable = &message;
        if (output != nullptr)
            item->outputVariables = {output};
        return item;
    }

    void connect(std::int32_t number) { proc_.newConnection(number).logon(kLogon); }

    OraProc proc_;
    ThreadManager workers_;
};

// The message of an item whose worker was given up never reaches its variable, so
// the server's cancel text there shows that the broken worker ended by itself.
TEST_F(TimedExecutionTest, TimeOutBreaksTheBlockedWorkerWhichEnds)
{
    connect(1);
    connect(2);
    proc_.setTimeout(1);
    CommonVar quick = variable(TypeCode::Varchar2, 200);
    CommonVar blocked = variable(TypeCode::Varchar2, 200);
    CommonVar one = variable(TypeCode::Number, -1);
    blocked.setString("not stored", 0);
    OraProc::Items items;
    items[1] = sqlItem(1, "select 1 from dual", quick, &one);
    items[2] = sqlItem(2, kSleepMinute, blocked);
    EXPECT_TRUE(proc_.runItems(workers_, std::move(items)));
    EXPECT_EQ(quick.getString(0), "");
    EXPECT_EQ(one.getDouble(0), 1);
    EXPECT_EQ(blocked.getString(0), kCancelled);
    EXPECT_TRUE(workers_.runningNumbers().empty());

    // The broken session is free at once: a later EXECUTE without a time-out runs
    // on it (a session still held by its sleeper would keep this waiting).
    proc_.setTimeout(0);
    CommonVar again = variable(TypeCode::Varchar2, 200);
    CommonVar five = variable(TypeCode::Number, -1);
    items[1] = sqlItem(2, "select 5 from dual", again, &five);
    EXPECT_FALSE(proc_.runItems(workers_, std::move(items)));
    EXPECT_EQ(again.getString(0), "");
    EXPECT_EQ(five.getDouble(0), 5);
}

// A broken write leaves nothing behind: once the time-out has broken the insert
// that waited for another session's lock, that session commits and the other
// writes after it, on the same connections.
TEST_F(TimedExecutionTest, BrokenWriterReleasesItsSessionForTheNextStatements)
{
    connect(1);
    connect(2);
    CommonVar message = variable(TypeCode::Varchar2, 200);
    const auto runOne = [&](std::int32_t connection, const std::string& text, std::int32_t timeout) {
        proc_.setTimeout(timeout);
        OraProc::Items items;
        items[1] = sqlItem(connection, text, message);
        return proc_.runItems(workers_, std::move(items));
    };
    ASSERT_FALSE(runOne(1, "create table t (n number)", 0));
    ASSERT_FALSE(runOne(1, "insert into t values (1)", 0));
    {
        const ScopedEnv lockWait("VOR_LOCK_WAIT_MS", "60000"); // the waiting writer outlasts the time-out
        connect(3);
    }
    EXPECT_TRUE(runOne(3, "insert into t values (3)", 1));
    EXPECT_EQ(message.getString(0), kCancelled);
    ASSERT_FALSE(runOne(1, "commit", 0));
    EXPECT_EQ(message.getString(0), "");
    ASSERT_FALSE(runOne(3, "insert into t values (3)", 0));
    EXPECT_EQ(message.getString(0), "");
    ASSERT_FALSE(runOne(3, "commit", 0));
    CommonVar count = variable(TypeCode::Number, -1);
    OraProc::Items items;
    items[1] = sqlItem(2, "select count(*) from t", message, &count);
    EXPECT_FALSE(proc_.runItems(workers_, std::move(items)));
    EXPECT_EQ(count.getDouble(0), 2);
}

// Round after round, several workers blocked at once are all broken and end.
TEST_F(TimedExecutionTest, RepeatedTimeOutsBreakEveryBlockedWorker)
{
    constexpr int kItems = 4;
    constexpr int kRounds = 3;
    for (int n = 1; n <= kItems; ++n)
        connect(n);
    proc_.setTimeout(1);
    std::vector<CommonVar> messages;
    for (int n = 0; n < kItems; ++n)
        messages.push_back(variable(TypeCode::Varchar2, 200));
    for (int round = 0; round < kRounds; ++round) {
        OraProc::Items items;
        for (int n = 1; n <= kItems; ++n)
            items[n] = sqlItem(n, kSleepMinute, messages[static_cast<std::size_t>(n - 1)]);
        ASSERT_TRUE(proc_.runItems(workers_, std::move(items)));
        for (CommonVar& message : messages)
            ASSERT_EQ(message.getString(0), kCancelled) << "round " << round;
    }
}

} // namespace
