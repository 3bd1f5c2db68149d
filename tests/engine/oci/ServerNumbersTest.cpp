// Numbers as the server treats them: a zero divisor is ORA-01476 in SQL and in
// blocks (SQLite would divide to NULL), and no infinity or NaN is ever bound,
// computed into a fetched value, or stored (ORA-01426).
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

class ServerNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table t (id number, n number(10,2), f float, word varchar2(10))");
        session.run("insert into t values (1, 4, 2.5, 'one')");
    }

    // The error text of `sql`, executed and (a query) fetched; empty on success.
    std::string failure(const std::string& sql) {
        OCIStmt* stmt = nullptr;
        if (session.execute(sql, &stmt) != OCI_SUCCESS) return session.lastError();
        ub2 type = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, session.err());
        if (type != OCI_STMT_SELECT) return {};
        char buffer[64];
        OCIDefine* define = nullptr;
        sb2 indicator = 0;
        OCIDefineByPos(stmt, &define, session.err(), 1, buffer, sizeof buffer, SQLT_STR, &indicator, nullptr,
                       nullptr, OCI_DEFAULT);
        sword status;
        while ((status = OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
        }
        return status == OCI_NO_DATA ? std::string() : session.lastError();
    }

    // Inserts `value` bound as a double into column N; the status.
    sword insertDouble(double value) {
        OCIStmt* stmt = session.prepare("insert into t (id, n) values (2, :v)");
        OCIBind* bind = nullptr;
        OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":v"), -1, &value, sizeof value,
                      SQLT_FLT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
        return OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
    }

    TempDataDirectory dir;
    OciTestSession session;
};

TEST_F(ServerNumbers, ZeroDivisorIsRefusedInSqlAndBlocks) {
    const std::vector<std::string> statements{
        "select 1/0 from dual",
        "select 1 / (2 - 2) from dual",
        "select id / 0.0 from t",
        "select 10 / -0 from dual",
        "select 8 / abs(0) from dual",
        "select 8 / '0' from dual",
        "select 1 + 2 / (case when id = 1 then 0 end) from t",
        "select word || 6 / 0 from t",
        "update t set n = n / 0",
        "insert into t (id) select 1 / (id - 1) from t",
        "begin insert into t (id) values (5 / 0); end;",
        "begin update t set id = id / (id - 1); end;",
    };
    for (const std::string& sql : statements) {
        EXPECT_EQ(failure(sql).substr(0, 35), "ORA-01476: divisor is equal to zero") << sql;
    }
    EXPECT_EQ(session.value("select count(*) from t"), "1");
}

TEST_F(ServerNumbers, DivisionKeepsThePrecedenceOfItsOperands) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"select 7 / 2 from dual", "3.5"},
        {"select 12 / 2 * 3 from dual", "18"},
        {"select 12 / -2 / 3 from dual", "-2"},
        {"select 1 + 6 / 3 - 1 from dual", "2"},
        {"select 2 || 9 / 3 from dual", "23"},
        {"select 1 / (case when 1 = 1 then 4 end) from dual", "0.25"},
        {"select 8 / abs(-2) + 1 from dual", "5"},
        {"select n / t.f from t", "1.6"},
        {"select 1 / null from dual", "<null>"},
        {"select 1 / (select count(*) from t) from dual", "1"},
    };
    for (const auto& [sql, expected] : cases) EXPECT_EQ(session.value(sql), expected) << sql;
}

TEST_F(ServerNumbers, InfinityAndNanAreNeverBound) {
    for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(insertDouble(value), OCI_ERROR) << value;
        EXPECT_EQ(session.lastError(), "ORA-01426: numeric overflow") << value;
    }
    EXPECT_EQ(insertDouble(1e300), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(session.value("select count(*) from t"), "2");
}

TEST_F(ServerNumbers, ComputedInfinityIsNeitherFetchedNorStored) {
    const std::vector<std::string> statements{
        "select 1e308 * 10 from dual",
        "select -1e308 - 1e308 from dual",
        "select 1e308 + 1e308 from dual",
        "insert into t (id, n) select 1e308 * 10, 1 from dual",
        "insert into t (id, f) values (1, 1e308 * 10)",
        "update t set f = -f * 1e308 * 1e308",
        "begin update t set id = 1e308 * 1e308; end;",
    };
    for (const std::string& sql : statements) EXPECT_EQ(failure(sql).substr(0, 27), "ORA-01426: numeric overflow") << sql;
    EXPECT_EQ(session.value("select id || ' ' || f from t"), "1 2.5");
}

TEST_F(ServerNumbers, TheClientsOwnChecksKeepTheirError) {
    session.run("create table c (n number(5) check (n < 100) not null, w varchar2(3) check (w <> 'bad'))");
    session.run("alter table c add (m number check (m > 0))");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"insert into c (n, w) values (500, 'ok')", "ORA-02290"},
        {"insert into c (n, w) values (1, 'bad')", "ORA-02290"},
        {"insert into c (n, w) values (1, 'long')", "ORA-01401"},
        {"insert into c (n, w) values (1e308 * 10, 'ok')", "ORA-02290"},  // the client's check comes first
        {"insert into c (n, w, m) values (1, 'ok', -1)", "ORA-02290"},
        {"insert into c (n, w, m) values (1, 'ok', 1e308 * 10)", "ORA-01426"},
    };
    for (const auto& [sql, code] : cases) EXPECT_EQ(failure(sql).substr(0, 9), code) << sql;
    EXPECT_EQ(failure("insert into c (n, w, m) values (1, 'ok', 2)"), "");
}

}  // namespace
