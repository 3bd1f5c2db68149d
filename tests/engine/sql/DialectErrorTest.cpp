// SQLite failures in the server's words: real failing statements on a real
// database, and the fixed texts of the engine's own errors.
#include "DialectTestDatabase.h"

#include <gtest/gtest.h>

using dialect_test::DialectTestDatabase;
using engine::OraCode;
using engine::OraError;

namespace {

struct FailureCase {
    const char* sql;
    int number;
    const char* text;  // the whole message, or a part of it when `exact` is false
    bool exact;
};

class DialectErrorMapping : public ::testing::Test {
protected:
    void SetUp() override {
        db.execute("create table emp (id number primary key, name varchar2(10) not null, "
                   "age number check (age > 0))");
        db.execute("insert into emp values (1, 'Ann', 30)");
    }
    DialectTestDatabase db;
};

TEST_F(DialectErrorMapping, FailingStatementsGetTheServersNumberAndText) {
    const std::vector<FailureCase> cases{
        {"select * from missing", 942, "ORA-00942: table or view does not exist", true},
        {"insert into missing values (1)", 942, "ORA-00942: table or view does not exist", true},
        {"select nosuch from emp", 904, "ORA-00904: \"NOSUCH\": invalid identifier", true},
        {"select e.nosuch from emp e", 904, "ORA-00904: \"E\".\"NOSUCH\": invalid identifier", true},
        {"select \"name\" from emp", 904, "ORA-00904: \"name\": invalid identifier", true},
        {"select nosuchfn(1) from dual", 904, "\"NOSUCHFN\"", false},
        {"insert into emp values (1, 'Bob', 20)", 1, "ORA-00001: unique constraint (EMP.ID) violated", true},
        {"insert into emp (id, age) values (2, 20)", 1400, "ORA-01400: cannot insert NULL into (\"EMP\".\"NAME\")", true},
        {"insert into emp values (3, 'Cy', -1)", 2290, "ORA-02290: check constraint", false},
        {"selec * from emp", 900, "ORA-00900: invalid SQL statement", true},
        {"select from emp", 936, "ORA-00936: missing expression", true},
        {"select * from emp where", 921, "ORA-00921: unexpected end of SQL command", true},
        {"create table emp (x number)", 955, "ORA-00955: name is already used by an existing object", true},
        {"select upper() from dual", 909, "ORA-00909: invalid number of arguments", true},
        {"select nothing.nextval from dual", 2289, "ORA-02289: sequence does not exist", true},
        {"select 1 from dual where 1 = @", 911, "ORA-00911: invalid character", true},
        {"insert into emp (id, nosuch) values (5, 1)", 904, "ORA-00904: \"NOSUCH\": invalid identifier", true},
        {"insert into emp values (5, 'Dee')", 947, "ORA-00947: not enough values", true},
        {"insert into emp values (5, 'Dee', 1, 2)", 913, "ORA-00913: too many values", true},
        {"insert into emp (id, name) values (5, 'Dee', 1)", 913, "ORA-00913: too many values", true},
        {"select id from emp a, emp b", 918, "ORA-00918: column ambiguously defined", true},
        {"drop index no_index", 1418, "ORA-01418: specified index does not exist", true},
        {"rollback to savepoint nowhere", 1086, "ORA-01086: savepoint 'NOWHERE' never established", true},
        {"select id from emp where count(*) > 1", 934, "ORA-00934: group function is not allowed here", true},
        {"select id from emp union select id, name from emp", 1789, "ORA-01789", false},
        {"select id from emp order by 3", 1785, "ORA-01785", false},
        {"drop view emp", 942, "ORA-00942: table or view does not exist", true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(db.errorNumber(c.sql), c.number) << db.lastError();
        if (c.exact) {
            EXPECT_EQ(db.lastError(), c.text);
        } else {
            EXPECT_NE(db.lastError().find(c.text), std::string::npos) << db.lastError();
        }
    }
}

TEST_F(DialectErrorMapping, ViewsCannotBeChanged) {
    db.execute("create view names as select name from emp");
    EXPECT_EQ(db.errorNumber("insert into names values ('x')"), 1732);
    EXPECT_EQ(db.errorNumber("drop table names"), 942);
}

TEST_F(DialectErrorMapping, QuotedNamesInConstraintMessagesAreDecoded) {
    db.execute("create table \"Pets\" (\"tag\" number primary key)");
    db.execute("insert into \"Pets\" values (1)");
    EXPECT_EQ(db.errorNumber("insert into \"Pets\" values (1)"), 1);
    EXPECT_EQ(db.lastError(), "ORA-00001: unique constraint (Pets.tag) violated");
}

TEST_F(DialectErrorMapping, CancelledStatementIsUserRequestedCancel) {
    sqlite3_progress_handler(db.db(), 1, [](void*) { return 1; }, nullptr);
    EXPECT_EQ(db.errorNumber("select count(*) from emp"), 1013);
    EXPECT_EQ(db.lastError(), "ORA-01013: user requested cancel of current operation");
    sqlite3_progress_handler(db.db(), 0, nullptr, nullptr);
}

TEST(DialectErrorBusy, SecondWriterGetsResourceBusy) {
    dialect_test::TempDatabaseFile file;
    DialectTestDatabase writer(file.path());
    DialectTestDatabase other(file.path());
    writer.execute("create table t (x number)");
    ASSERT_EQ(sqlite3_exec(writer.db(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    writer.execute("insert into t values (1)");
    EXPECT_EQ(other.errorNumber("insert into t values (2)"), 54);
    EXPECT_EQ(other.lastError(), "ORA-00054: resource busy and acquire with NOWAIT specified");
    ASSERT_EQ(sqlite3_exec(writer.db(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(other.errorNumber("insert into t values (2)"), 0);
}

TEST(DialectErrorTexts, FixedTextsWithArguments) {
    EXPECT_STREQ(OraError(OraCode::TableOrViewMissing).what(), "ORA-00942: table or view does not exist");
    EXPECT_STREQ(OraError(OraCode::CurrvalNotDefined, {"S"}).what(),
                 "ORA-08002: sequence S.CURRVAL is not yet defined in this session");
    EXPECT_STREQ(OraError(OraCode::NotConnected).what(), "ORA-03114: not connected to ORACLE");
    EXPECT_STREQ(OraError(OraCode::LogonDenied).what(), "ORA-01017: invalid username/password; logon denied");
    EXPECT_STREQ(OraError(OraCode::InvalidSqlStatement).what(), "ORA-00900: invalid SQL statement");
    EXPECT_STREQ(OraError(OraCode::NoDataFound).what(), "ORA-01403: no data found");
    EXPECT_EQ(OraError(OraCode::UserRequestedCancel).number(), 1013);
    EXPECT_STREQ(OraError(OraCode::InvalidIdentifier).what(), "ORA-00904: \"\": invalid identifier");
}

TEST(DialectErrorTexts, SqliteCodesWithoutMessages) {
    const std::vector<std::pair<int, int>> cases{
        {SQLITE_BUSY, 54}, {SQLITE_LOCKED, 54}, {SQLITE_INTERRUPT, 1013}, {SQLITE_NOMEM, 4030},
        {SQLITE_READONLY, 16000}, {SQLITE_MISMATCH, 1722}, {SQLITE_RANGE, 1036}, {SQLITE_CORRUPT, 600},
    };
    for (const auto& [rc, number] : cases) {
        SCOPED_TRACE(rc);
        EXPECT_EQ(OraError::fromSqlite(nullptr, rc).number(), number);
    }
    const OraError internal = OraError::fromSqlite(SQLITE_IOERR, "disk I/O error");
    EXPECT_STREQ(internal.what(), "ORA-00600: internal error code, arguments: [sqlite], [disk I/O error]");
}

TEST(DialectErrorTexts, ServerTextsRaisedInsideSqliteAreKept) {
    const OraError kept = OraError::fromSqlite(SQLITE_ERROR, "ORA-08002: sequence S.CURRVAL is not yet defined in this session");
    EXPECT_EQ(kept.number(), 8002);
    EXPECT_STREQ(kept.what(), "ORA-08002: sequence S.CURRVAL is not yet defined in this session");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "ORA-1: short").number(), 600);
}

}  // namespace
