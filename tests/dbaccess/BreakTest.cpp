// Breaking a session's running call from another thread: the call fails with
// the server's cancel error, the session stays usable, and a break that finds
// no call in progress changes nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

class Break : public DatabaseTest {};

TEST_F(Break, SessionNotLoggedOnIsRefused)
{
    const Utils::RefCountPtr<ODbConnect> never = ODbClassfactory::createODbConnect();
    DbTest::expectPrecondition([&] { never->breakRunningCall(); }, "Not connected to Oracle");
    const Utils::RefCountPtr<ODbConnect> ended = connect();
    ended->logoff();
    DbTest::expectPrecondition([&] { ended->breakRunningCall(); }, "Not connected to Oracle");
}

#ifdef VORDB73
// The release-7 interface has no call that interrupts another thread's call:
// asking for it is refused, and the session goes on.
TEST_F(Break, RunningCallCannotBeBroken)
{
    const Utils::RefCountPtr<ODbConnect> connection = connect();
    DbTest::expectPrecondition([&] { connection->breakRunningCall(); },
                               "A running call cannot be interrupted over this call interface");
    EXPECT_EQ(1, queryLong(*connection, "select 1 from dual"));
}
#else
const char* const SleepMinute = "begin dbms_session.sleep(60); end;";
const char* const Cancelled = "ORA-01013: user requested cancel of current operation";

// How a statement run on its own thread ended.
struct Outcome {
    bool failed = false;
    std::string message;  // the exception's text when it failed
    int code = 0;
    std::string stmText;  // the statement text the exception carries
};

// Runs `sql` (not a query) on `connection` in a thread of its own.
class BackgroundCall {
public:
    BackgroundCall(ODbConnect& connection, const char* sql)
        : outcome_(std::async(std::launch::async, [&connection, sql] { return run(connection, sql); }))
    {
    }

    // Waits up to `bound` for the end; true once it has ended.
    bool endsWithin(std::chrono::milliseconds bound) const
    {
        return outcome_.wait_for(bound) == std::future_status::ready;
    }
    // Waits for the end (the statement bounds it) and gives its outcome.
    Outcome outcome() { return outcome_.get(); }

private:
    static Outcome run(ODbConnect& connection, const char* sql)
    {
        Outcome outcome;
        try {
            ODbQuery query(connection);
            query.open(sql);
            query.exec(1);
        } catch (const ODbException& failure) {
            outcome.failed = true;
            outcome.message = failure.getErrMsg();
            outcome.code = failure.getErrCode();
            outcome.stmText = failure.getStmText() != nullptr ? failure.getStmText() : "";
        }
        return outcome;
    }

    std::future<Outcome> outcome_;
};

// Time between two breaks while a call has not ended: a break reaches only a
// call in progress, and the thread may not have begun it yet.
constexpr std::chrono::milliseconds BreakInterval{20};
// Hang guard only: the sleeping statement would end by itself after a minute.
constexpr int MaxBreaks = 1500;

// Breaks every connection until all their calls have ended; false when the
// guard ran out first.
bool breakUntilEnded(std::vector<ODbConnect*> connections, std::vector<BackgroundCall*> calls)
{
    for (int attempt = 0; attempt < MaxBreaks; ++attempt) {
        for (ODbConnect* connection : connections)
            connection->breakRunningCall();
        bool allEnded = true;
        for (BackgroundCall* call : calls)
            allEnded = call->endsWithin(BreakInterval) && allEnded;
        if (allEnded)
            return true;
    }
    return false;
}

void expectCancelled(Outcome outcome)
{
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(Cancelled, outcome.message.substr(0, std::string(Cancelled).size()));
    EXPECT_EQ(-1, outcome.code); // a server error: its number is in the text
    EXPECT_EQ(SleepMinute, outcome.stmText);
}

TEST_F(Break, BreakEndsTheRunningCallAndTheSessionGoesOn)
{
    const Utils::RefCountPtr<ODbConnect> connection = connect();
    BackgroundCall sleeper(*connection, SleepMinute);
    ASSERT_TRUE(breakUntilEnded({connection.get()}, {&sleeper}));
    expectCancelled(sleeper.outcome());
    EXPECT_TRUE(connection->isConnected());
    EXPECT_EQ(7, queryLong(*connection, "select 7 from dual"));
}

// The statement before the break keeps its work: only the broken call fails.
TEST_F(Break, WorkBeforeTheBrokenCallStaysInTheTransaction)
{
    const Utils::RefCountPtr<ODbConnect> connection = connect();
    execSql(*connection, "create table t (n number)");
    execSql(*connection, "insert into t values (1)");
    BackgroundCall sleeper(*connection, SleepMinute);
    ASSERT_TRUE(breakUntilEnded({connection.get()}, {&sleeper}));
    expectCancelled(sleeper.outcome());
    connection->commit();
    const Utils::RefCountPtr<ODbConnect> other = connect();
    EXPECT_EQ(1, queryLong(*other, "select count(*) from t"));
}

TEST_F(Break, BreakOnAnIdleSessionChangesNothing)
{
    const Utils::RefCountPtr<ODbConnect> connection = connect();
    for (int i = 0; i < 3; ++i)
        connection->breakRunningCall();
    EXPECT_EQ(1, queryLong(*connection, "select 1 from dual"));
    // Also between the calls of an open query: its rows keep coming.
    ODbQuery query(*connection);
    query.open("select 1 from dual union all select 2 from dual");
    ASSERT_TRUE(query.next());
    connection->breakRunningCall();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(2, query.fieldByPos(1).getLongInt());
    EXPECT_FALSE(query.next());
}

// Breaking one session leaves the call running on another alone.
TEST_F(Break, BreakReachesOnlyItsOwnSession)
{
    const Utils::RefCountPtr<ODbConnect> working = connect();
    const Utils::RefCountPtr<ODbConnect> idle = connect();
    BackgroundCall sleeper(*working, "begin dbms_session.sleep(0.3); end;");
    do
        idle->breakRunningCall();
    while (!sleeper.endsWithin(BreakInterval));
    const Outcome outcome = sleeper.outcome();
    EXPECT_FALSE(outcome.failed) << outcome.message;
}

// Several sessions broken at once, round after round, each by the same thread.
TEST_F(Break, ManyRoundsOnSeveralSessionsAtOnce)
{
    constexpr int Sessions = 4;
    constexpr int Rounds = 15;
    std::vector<Utils::RefCountPtr<ODbConnect>> sessions;
    std::vector<ODbConnect*> targets;
    for (int i = 0; i < Sessions; ++i) {
        sessions.push_back(connect());
        targets.push_back(sessions.back().get());
    }
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::unique_ptr<BackgroundCall>> sleepers;
        std::vector<BackgroundCall*> calls;
        for (ODbConnect* session : targets) {
            sleepers.push_back(std::make_unique<BackgroundCall>(*session, SleepMinute));
            calls.push_back(sleepers.back().get());
        }
        ASSERT_TRUE(breakUntilEnded(targets, calls));
        for (auto& sleeper : sleepers)
            expectCancelled(sleeper->outcome());
        for (ODbConnect* session : targets)
            ASSERT_EQ(round, queryLong(*session, ("select " + std::to_string(round) + " from dual").c_str()));
    }
}

#endif

} // namespace
