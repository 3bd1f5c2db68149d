// Transactions with the server's rules: the first change opens one that lasts
// until commit or rollback; DDL commits; a normal logoff commits, an abandoned
// session loses its work; readers never wait, a second writer does; NEXTVAL
// is taken outside the transaction.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>
#include <thread>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

class Transactions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(first.logon("scott", "tiger"), OCI_SUCCESS) << first.lastError();
        first.run("create table t (id number)");
        ASSERT_EQ(second.logon("scott", "tiger"), OCI_SUCCESS) << second.lastError();
    }

    std::string countIn(OciTestSession& session) { return session.value("select count(*) from t"); }

    TempDataDirectory dir;
    OciTestSession first;
    OciTestSession second;
};

TEST_F(Transactions, RollbackUndoesCallAndStatement) {
    first.run("insert into t values (1)");
    ASSERT_EQ(OCITransRollback(first.svc(), first.err(), OCI_DEFAULT), OCI_SUCCESS) << first.lastError();
    EXPECT_EQ(countIn(first), "0");
    first.run("insert into t values (2)");
    first.run("rollback");
    EXPECT_EQ(countIn(first), "0");
}

TEST_F(Transactions, OtherSessionsSeeOnlyCommittedWork) {
    first.run("insert into t values (1)");
    EXPECT_EQ(countIn(first), "1");
    EXPECT_EQ(countIn(second), "0") << "a reader is neither blocked nor shown uncommitted rows";
    ASSERT_EQ(OCITransCommit(first.svc(), first.err(), OCI_DEFAULT), OCI_SUCCESS) << first.lastError();
    EXPECT_EQ(countIn(second), "1");
    first.run("insert into t values (2)");
    first.run("commit work");
    EXPECT_EQ(countIn(second), "2");
}

TEST_F(Transactions, NormalLogoffCommitsOpenWork) {
    first.run("insert into t values (1)");
    first.logoff();
    EXPECT_EQ(countIn(second), "1");
}

TEST_F(Transactions, AbandonedSessionLosesOpenWork) {
    first.run("insert into t values (1)");
    first.abandon();
    EXPECT_EQ(countIn(second), "0");
    // The abandoned session held no lock: the other session can write.
    second.run("insert into t values (2)");
    second.run("commit");
}

TEST_F(Transactions, DdlCommitsOpenWork) {
    first.run("insert into t values (1)");
    first.run("create table u (id number)");
    first.run("rollback");
    EXPECT_EQ(countIn(second), "1");
}

TEST_F(Transactions, CommitOnSuccessMode) {
    OCIStmt* stmt = first.prepare("insert into t values (1)");
    ASSERT_EQ(OCIStmtExecute(first.svc(), stmt, first.err(), 1, 0, nullptr, nullptr, OCI_COMMIT_ON_SUCCESS),
              OCI_SUCCESS);
    EXPECT_EQ(countIn(second), "1");
}

TEST_F(Transactions, SecondWriterWaitsForTheFirstThenSucceeds) {
    first.run("insert into t values (1)");
    std::atomic<bool> started{false};
    sword status = OCI_ERROR;
    std::thread writer([&] {
        started = true;
        status = second.execute("insert into t values (2)");
    });
    while (!started) std::this_thread::yield();
    // Give the writer time to reach the lock; it succeeds either way.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    first.run("commit");
    writer.join();
    ASSERT_EQ(status, OCI_SUCCESS) << second.lastError();
    second.run("commit");
    EXPECT_EQ(countIn(first), "2");
}

TEST(LockWait, SecondWriterGivesUpWithResourceBusy) {
    TempDataDirectory dir;
    OciTestSession first;
    ASSERT_EQ(first.logon("scott", "tiger"), OCI_SUCCESS) << first.lastError();
    first.run("create table t (id number)");
    first.run("insert into t values (1)");
    // A short wait keeps the test quick; the default rides out ordinary commits.
    setenv("VOR_LOCK_WAIT_MS", "100", 1);
    OciTestSession second;
    const sword logon = second.logon("scott", "tiger");
    unsetenv("VOR_LOCK_WAIT_MS");
    ASSERT_EQ(logon, OCI_SUCCESS) << second.lastError();
    EXPECT_EQ(second.execute("insert into t values (2)"), OCI_ERROR);
    EXPECT_EQ(second.lastError(), "ORA-00054: resource busy and acquire with NOWAIT specified");
    EXPECT_EQ(second.value("select count(*) from t"), "0") << "reading still works";
}

// Each mode started by the call and by the SET TRANSACTION statement.
using TransactionStart = std::function<sword(OciTestSession&)>;

TransactionStart byCall(ub4 flags) {
    return [flags](OciTestSession& s) { return OCITransStart(s.svc(), s.err(), 2, flags); };
}

TransactionStart byStatement(const std::string& sql) {
    return [sql](OciTestSession& s) { return s.execute(sql); };
}

TEST_F(Transactions, ReadOnlyTransactionRefusesChanges) {
    for (const TransactionStart& start : {byCall(OCI_TRANS_READONLY), byStatement("set transaction read only")}) {
        ASSERT_EQ(start(first), OCI_SUCCESS) << first.lastError();
        EXPECT_EQ(first.execute("insert into t values (1)"), OCI_ERROR);
        EXPECT_EQ(first.lastError(),
                  "ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction");
        ASSERT_EQ(OCITransCommit(first.svc(), first.err(), OCI_DEFAULT), OCI_SUCCESS);
        first.run("insert into t values (1)");
        first.run("commit");
    }
}

TEST_F(Transactions, SerializableTransactionKeepsItsSnapshot) {
    for (const TransactionStart& start :
         {byCall(OCI_TRANS_SERIALIZABLE), byStatement("set transaction isolation level serializable")}) {
        const std::string before = countIn(first);
        ASSERT_EQ(start(first), OCI_SUCCESS) << first.lastError();
        EXPECT_EQ(countIn(first), before);
        second.run("insert into t values (1)");
        second.run("commit");
        EXPECT_EQ(countIn(first), before) << "the snapshot taken at the first read holds";
        EXPECT_EQ(first.execute("insert into t values (2)"), OCI_ERROR);
        EXPECT_EQ(first.lastError(), "ORA-08177: can't serialize access for this transaction");
        first.run("rollback");
        EXPECT_NE(countIn(first), before);
    }
}

TEST_F(Transactions, TransStartInsideAnOpenTransactionIsRefused) {
    first.run("insert into t values (1)");
    EXPECT_EQ(OCITransStart(first.svc(), first.err(), 2, OCI_TRANS_SERIALIZABLE), OCI_ERROR);
    EXPECT_EQ(first.lastError(), "ORA-01453: SET TRANSACTION must be first statement of transaction");
}

// Executes query `sql` fetching its first row, as the library's cursors do;
// the status.
sword executeAndFetch(OciTestSession& session, const std::string& sql) {
    OCIStmt* stmt = session.prepare(sql);
    char value[64];
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, session.err(), 1, value, sizeof value, SQLT_STR, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    return OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
}

TEST(Sequences, ValuesAreSharedAcrossSessionsAndCurrvalIsPerSession) {
    TempDataDirectory dir;
    OciTestSession a;
    OciTestSession b;
    ASSERT_EQ(a.logon("scott", "tiger"), OCI_SUCCESS) << a.lastError();
    ASSERT_EQ(b.logon("scott", "tiger"), OCI_SUCCESS) << b.lastError();
    a.run("create sequence s start with 10 increment by 5");
    EXPECT_EQ(executeAndFetch(b, "select s.currval from dual"), OCI_ERROR);
    EXPECT_EQ(b.lastError(), "ORA-08002: sequence S.CURRVAL is not yet defined in this session");
    EXPECT_EQ(a.value("select s.nextval from dual"), "10");
    EXPECT_EQ(b.value("select s.nextval from dual"), "15");
    EXPECT_EQ(a.value("select s.nextval from dual"), "20");
    EXPECT_EQ(b.value("select s.currval from dual"), "15");
    EXPECT_EQ(a.value("select s.currval from dual"), "20");
    a.run("drop sequence s");
    EXPECT_EQ(executeAndFetch(b, "select s.nextval from dual"), OCI_ERROR);
    EXPECT_EQ(b.lastError(), "ORA-02289: sequence does not exist");
}

TEST_F(Transactions, ChangeWhileOwnCursorIsOpen) {
    for (int i = 0; i < 5; ++i) first.run("insert into t values (" + std::to_string(i) + ")");
    first.run("commit");
    OCIStmt* cursor = first.prepare("select id from t order by id");
    sb4 id = -1;
    OCIDefine* define = nullptr;
    OCIDefineByPos(cursor, &define, first.err(), 1, &id, sizeof id, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIStmtExecute(first.svc(), cursor, first.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(id, 0);
    first.run("insert into t values (200)");
    ASSERT_EQ(OCIStmtFetch(cursor, first.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << first.lastError();
    EXPECT_EQ(id, 1);
    first.run("commit");
    EXPECT_EQ(countIn(second), "6");
}

TEST_F(Transactions, ChangeAfterAnotherCommitWhileOwnCursorIsOpen) {
    for (int i = 0; i < 5; ++i) first.run("insert into t values (" + std::to_string(i) + ")");
    first.run("commit");
    OCIStmt* cursor = first.prepare("select id from t order by id");
    sb4 ids[2] = {-1, -1};
    OCIDefine* define = nullptr;
    OCIDefineByPos(cursor, &define, first.err(), 1, ids, sizeof(sb4), SQLT_INT, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    ASSERT_EQ(OCIStmtExecute(first.svc(), cursor, first.err(), 2, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    second.run("insert into t values (100)");
    second.run("commit");
    // The cursor's snapshot predates that commit; the change must still go through.
    first.run("insert into t values (200)");
    // The cursor reads on as of its execute: 2, 3, 4 and nothing newer.
    std::vector<sb4> rest;
    sword status;
    while ((status = OCIStmtFetch(cursor, first.err(), 2, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
        rest.insert(rest.end(), ids, ids + 2);
    }
    ASSERT_EQ(status, OCI_NO_DATA) << first.lastError();
    rest.push_back(ids[0]);
    EXPECT_EQ(rest, (std::vector<sb4>{2, 3, 4}));
    first.run("commit");
    EXPECT_EQ(countIn(second), "7");
}

TEST_F(Transactions, CursorReadsOnAcrossARollback) {
    for (int i = 0; i < 4; ++i) first.run("insert into t values (" + std::to_string(i) + ")");
    first.run("commit");
    first.run("insert into t values (99)");
    OCIStmt* cursor = first.prepare("select id from t order by id");
    sb4 id = -1;
    OCIDefine* define = nullptr;
    OCIDefineByPos(cursor, &define, first.err(), 1, &id, sizeof id, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIStmtExecute(first.svc(), cursor, first.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    first.run("rollback");
    std::vector<sb4> rest;
    while (OCIStmtFetch(cursor, first.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT) == OCI_SUCCESS) rest.push_back(id);
    EXPECT_EQ(first.lastError(), "ORA-01403: no data found");
    // As of its execute, the cursor saw the uncommitted 99 too.
    EXPECT_EQ(rest, (std::vector<sb4>{1, 2, 3, 99}));
    EXPECT_EQ(countIn(first), "4");
}

// NEXTVAL from an executed query whose cursor stays open, as the library
// leaves it: nothing is committed or closed afterwards.
std::string nextvalLeftOpen(OciTestSession& session) {
    OCIStmt* cursor = session.prepare("select s.nextval from dual");
    sb4 value = -1;
    OCIDefine* define = nullptr;
    OCIDefineByPos(cursor, &define, session.err(), 1, &value, sizeof value, SQLT_INT, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    const sword status = OCIStmtExecute(session.svc(), cursor, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
    return status == OCI_SUCCESS ? std::to_string(value) : session.lastError();
}

// A NEXTVAL is no part of the session's transaction: the other session's
// NEXTVAL does not wait for it, and each session keeps its own CURRVAL.
TEST_F(Transactions, NextvalOfTwoSessionsInterleavesWithoutCommits) {
    first.run("create sequence s start with 10 increment by 5");
    const std::vector<std::pair<OciTestSession*, std::string>> turns{
        {&first, "10"}, {&second, "15"}, {&first, "20"}, {&second, "25"}};
    for (const auto& [session, expected] : turns) EXPECT_EQ(nextvalLeftOpen(*session), expected);
    EXPECT_EQ(first.value("select s.currval from dual"), "20");
    EXPECT_EQ(second.value("select s.currval from dual"), "25");
}

TEST_F(Transactions, RollbackGivesNoNextvalBack) {
    first.run("create sequence s");
    EXPECT_EQ(nextvalLeftOpen(first), "1");
    first.run("rollback");
    EXPECT_EQ(nextvalLeftOpen(first), "2");
    ASSERT_EQ(OCITransRollback(first.svc(), first.err(), OCI_DEFAULT), OCI_SUCCESS) << first.lastError();
    EXPECT_EQ(second.value("select s.nextval from dual"), "3");
    EXPECT_EQ(first.value("select s.currval from dual"), "2");
}

// A NEXTVAL taken after the transaction changed data runs in that transaction
// (the session holds the write lock); the rollback still undoes only the data,
// by a rollback statement or the call, and no number is handed out twice.
TEST_F(Transactions, RollbackAfterChangesKeepsTheNumbersTaken) {
    first.run("create sequence s");
    const std::vector<std::function<void()>> rollbacks{
        [this] { first.run("rollback"); },
        [this] {
            ASSERT_EQ(OCITransRollback(first.svc(), first.err(), OCI_DEFAULT), OCI_SUCCESS) << first.lastError();
        }};
    long taken = 0;
    for (const auto& rollback : rollbacks) {
        first.run("insert into t values (s.nextval)");
        first.run("insert into t values (s.nextval)");
        taken += 2;
        rollback();
        EXPECT_EQ(countIn(first), "0");
        EXPECT_EQ(second.value("select s.nextval from dual"), std::to_string(++taken));
    }
    first.run("insert into t values (s.nextval)");
    first.run("commit");
    first.run("insert into t values (7)");
    first.run("rollback");
    EXPECT_EQ(countIn(second), "1");
    EXPECT_EQ(second.value("select id from t"), std::to_string(taken + 1));
    EXPECT_EQ(first.value("select s.nextval from dual"), std::to_string(taken + 2));
}

// A failed statement or block undoes its own changes (for a block, the
// sequence's advance among them); the numbers they took stay taken once the
// transaction commits.
TEST_F(Transactions, CommitKeepsTheNumberOfAFailedStatement) {
    first.run("create sequence s");
    first.run("create table u (id number primary key)");
    first.run("insert into u values (5)");
    EXPECT_NE(first.execute("insert into u values (s.nextval + 4)"), OCI_SUCCESS); // ORA-00001 for 5
    EXPECT_NE(first.execute("begin insert into t values (0); insert into u values (s.nextval + 3); end;"),
              OCI_SUCCESS);
    EXPECT_EQ(first.value("select s.currval from dual"), "2");
    first.run("insert into t values (1)");
    first.run("commit");
    EXPECT_EQ(countIn(second), "1");
    EXPECT_EQ(second.value("select s.nextval from dual"), "3");
}

TEST_F(Transactions, SerializableRollbackKeepsTheNumbersTaken) {
    first.run("create sequence s");
    ASSERT_EQ(OCITransStart(first.svc(), first.err(), 60, OCI_TRANS_SERIALIZABLE), OCI_SUCCESS) << first.lastError();
    first.run("insert into t values (s.nextval)");
    first.run("rollback");
    EXPECT_EQ(countIn(first), "0");
    EXPECT_EQ(second.value("select s.nextval from dual"), "2");
}

}  // namespace
