// Threads: separate sessions run in parallel, one session shared by two
// threads is serialised, and OCIBreak cancels a running call from another
// thread with ORA-01013.
#include "OciTestSession.h"
#include "ScopedEnv.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

const char* const kCancelled = "ORA-01013: user requested cancel of current operation";
constexpr int kRowsPerThread = 100;

class Concurrency : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(main.logon("scott", "tiger"), OCI_SUCCESS) << main.lastError();
        main.run("create table t (who number, n number)");
    }

    TempDataDirectory dir;
    OciTestSession main;
};

// Inserts kRowsPerThread rows for `who` through `session`, committing each,
// with statement and error handles of its own.
void insertRows(OCIEnv* env, OCISvcCtx* svc, int who, std::atomic<int>& failures) {
    void* err = nullptr;
    void* stmt = nullptr;
    OCIHandleAlloc(env, &err, OCI_HTYPE_ERROR, 0, nullptr);
    OCIHandleAlloc(env, &stmt, OCI_HTYPE_STMT, 0, nullptr);
    auto* error = static_cast<OCIError*>(err);
    auto* statement = static_cast<OCIStmt*>(stmt);
    const std::string sql = "insert into t values (" + std::to_string(who) + ", :n)";
    OCIStmtPrepare(statement, error, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                   OCI_NTV_SYNTAX, OCI_DEFAULT);
    sb4 n = 0;
    OCIBind* bind = nullptr;
    OCIBindByPos(statement, &bind, error, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                 OCI_DEFAULT);
    for (n = 0; n < kRowsPerThread; ++n) {
        if (OCIStmtExecute(svc, statement, error, 1, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS ||
            OCITransCommit(svc, error, OCI_DEFAULT) != OCI_SUCCESS) {
            ADD_FAILURE() << engine_test::errorText(error);
            ++failures;
            break;
        }
    }
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    OCIHandleFree(err, OCI_HTYPE_ERROR);
}

TEST_F(Concurrency, TwoSessionsOnTwoThreads) {
    OciTestSession other;
    ASSERT_EQ(other.logon("scott", "tiger"), OCI_SUCCESS) << other.lastError();
    std::atomic<int> failures{0};
    std::thread a([&] { insertRows(main.env(), main.svc(), 1, failures); });
    std::thread b([&] { insertRows(other.env(), other.svc(), 2, failures); });
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(main.column("select count(*) from t group by who order by who"),
              (std::vector<std::string>{"100", "100"}));
}

TEST_F(Concurrency, OneSessionSharedByTwoThreadsIsSerialised) {
    std::atomic<int> failures{0};
    std::thread a([&] { insertRows(main.env(), main.svc(), 1, failures); });
    std::thread b([&] { insertRows(main.env(), main.svc(), 2, failures); });
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(main.value("select count(*) from t"), "200");
}

// Runs `sql` on `session` in a thread while the main thread breaks it; the
// status and error text of the cancelled call. A break reaches only a call in
// progress, so it is repeated until the call has ended.
std::pair<sword, std::string> runAndBreak(OciTestSession& session, const std::string& sql, void* breakHandle) {
    std::atomic<bool> ended{false};
    sword status = OCI_SUCCESS;
    std::string error;
    OCIStmt* stmt = session.prepare(sql);
    std::thread worker([&] {
        status = OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
        error = session.lastError();
        ended = true;
    });
    void* err = nullptr;
    OCIHandleAlloc(session.env(), &err, OCI_HTYPE_ERROR, 0, nullptr);
    while (!ended) {
        EXPECT_EQ(OCIBreak(breakHandle, static_cast<OCIError*>(err)), OCI_SUCCESS);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    OCIHandleFree(err, OCI_HTYPE_ERROR);
    worker.join();
    return {status, error};
}

TEST_F(Concurrency, BreakCancelsASleepingStatement) {
    const auto [status, error] = runAndBreak(main, "begin dbms_session.sleep(60); end;", main.svc());
    EXPECT_EQ(status, OCI_ERROR);
    EXPECT_EQ(error, kCancelled);
    EXPECT_EQ(main.value("select 1 from dual"), "1") << "the session works after a cancel";
}

TEST_F(Concurrency, SleepTakesItsDurationFromABind) {
    OCIStmt* stmt = main.prepare("begin dbms_session.sleep(:seconds); end;");
    double seconds = 0.01;
    OCIBind* bind = nullptr;
    OCIBindByName(stmt, &bind, main.err(), reinterpret_cast<const OraText*>(":seconds"), -1, &seconds,
                  sizeof seconds, SQLT_FLT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    EXPECT_EQ(OCIStmtExecute(main.svc(), stmt, main.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << main.lastError();
    char text[8] = "abc";
    OCIBindByName(stmt, &bind, main.err(), reinterpret_cast<const OraText*>(":seconds"), -1, text, sizeof text,
                  SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    EXPECT_EQ(OCIStmtExecute(main.svc(), stmt, main.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(main.lastError(),
              "ORA-06502: PL/SQL: numeric or value error: character to number conversion error\nORA-06512: at line 1");
}

TEST_F(Concurrency, BreakOnTheServerCancelsItsSessions) {
    const auto [status, error] = runAndBreak(main, "begin dbms_lock.sleep(60); end;", main.server());
    EXPECT_EQ(status, OCI_ERROR);
    EXPECT_EQ(error, kCancelled);
}

TEST_F(Concurrency, BreakCancelsALongQuery) {
    const std::string sql =
        "select count(*) from (with recursive c(x) as (select 1 union all select x + 1 from c where x < 1000000000) "
        "select x from c)";
    const auto [status, error] = runAndBreak(main, sql, main.svc());
    EXPECT_EQ(status, OCI_ERROR);
    EXPECT_EQ(error, kCancelled);
}

TEST_F(Concurrency, BreakCancelsAWriterWaitingForALock) {
    OciTestSession other;
    ASSERT_EQ(other.logon("scott", "tiger"), OCI_SUCCESS) << other.lastError();
    main.run("insert into t values (0, 0)");
    const auto [status, error] = runAndBreak(other, "insert into t values (1, 1)", other.svc());
    EXPECT_EQ(status, OCI_ERROR);
    EXPECT_EQ(error, kCancelled);
}

// NEXTVAL advances its sequence on a connection of its own, which waits while
// another session holds the write lock; a break ends that wait as well (with
// the session's lock wait set to ten minutes, a wait the break missed would
// outlast the test's time limit).
TEST_F(Concurrency, BreakCancelsANextvalWaitingForALock) {
    main.run("create sequence s");
    OciTestSession other;
    {
        const ScopedEnv lockWait("VOR_LOCK_WAIT_MS", "600000");
        ASSERT_EQ(other.logon("scott", "tiger"), OCI_SUCCESS) << other.lastError();
    }
    main.run("insert into t values (0, 0)");
    const auto [status, error] = runAndBreak(other, "select s.nextval from dual", other.svc());
    EXPECT_EQ(status, OCI_ERROR);
    EXPECT_EQ(error, kCancelled);
    main.run("commit");
    EXPECT_EQ(other.value("select s.nextval from dual"), "1") << "the cancelled NEXTVAL took no number";
}

TEST_F(Concurrency, BreakWhileIdleIsHarmless) {
    void* err = nullptr;
    OCIHandleAlloc(main.env(), &err, OCI_HTYPE_ERROR, 0, nullptr);
    ASSERT_EQ(OCIBreak(main.svc(), static_cast<OCIError*>(err)), OCI_SUCCESS);
    ASSERT_EQ(OCIBreak(main.server(), static_cast<OCIError*>(err)), OCI_SUCCESS);
    OCIHandleFree(err, OCI_HTYPE_ERROR);
    EXPECT_EQ(main.execute("select 1 from dual"), OCI_SUCCESS) << main.lastError();
    EXPECT_EQ(main.value("select 1 from dual"), "1");
}

}  // namespace
