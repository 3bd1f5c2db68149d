// Bad input through the call interface: every mistake gives an error status
// and an ORA- text, never a crash.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table t (id number primary key, name varchar2(10) not null)");
        session.run("insert into t values (1, 'one')");
    }

    // The error prefix ("ORA-NNNNN") of the last error.
    std::string code() { return session.lastError().substr(0, 9); }

    TempDataDirectory dir;
    OciTestSession session;
};

TEST_F(BadInput, StatementsTheServerRefuses) {
    struct Case {
        const char* sql;
        const char* code;
    };
    const std::vector<Case> cases{
        {"selec 1 from dual", "ORA-00900"},
        {"select * from missing", "ORA-00942"},
        {"select nosuch from t", "ORA-00904"},
        {"insert into t values (1, 'dup')", "ORA-00001"},
        {"insert into t (id) values (2)", "ORA-01400"},
        {"create table t (x number)", "ORA-00955"},
        {"", "ORA-00900"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(session.execute(c.sql), OCI_ERROR) << c.sql;
        EXPECT_EQ(code(), c.code) << c.sql << ": " << session.lastError();
    }
}

TEST_F(BadInput, BindsTheStatementDoesNotHave) {
    OCIStmt* stmt = session.prepare("select name from t where id = :id");
    sb4 id = 1;
    OCIBind* bind = nullptr;
    EXPECT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":other"), -1, &id,
                            sizeof id, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01036: illegal variable name/number");
    EXPECT_EQ(OCIBindByPos(stmt, &bind, session.err(), 2, &id, sizeof id, SQLT_INT, nullptr, nullptr, nullptr, 0,
                           nullptr, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(code(), "ORA-01036");
    EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01008: not all variables bound");
    EXPECT_EQ(OCIBindByPos(stmt, &bind, session.err(), 1, &id, sizeof id, 200, nullptr, nullptr, nullptr, 0,
                           nullptr, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-03115: unsupported network datatype or representation");
}

TEST_F(BadInput, FetchOutOfOrder) {
    OCIStmt* stmt = session.prepare("select name from t");
    EXPECT_EQ(OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24338: statement handle not executed");

    OCIStmt* insert = session.prepare("insert into t values (5, 'five')");
    EXPECT_EQ(OCIStmtExecute(session.svc(), insert, session.err(), 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24333: zero iteration count");
    ASSERT_EQ(OCIStmtExecute(session.svc(), insert, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(OCIStmtFetch(insert, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01002: fetch out of sequence");

    char name[11];
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, session.err(), 3, name, sizeof name, SQLT_STR, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01007: variable not in select list");

    void* piece = nullptr;
    ub4 type = 0, iteration = 0, index = 0;
    ub1 direction = 0, code = 0;
    EXPECT_EQ(OCIStmtGetPieceInfo(stmt, session.err(), &piece, &type, &direction, &iteration, &index, &code),
              OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01002: fetch out of sequence");
}

TEST_F(BadInput, NullFreedAndWrongTypeHandles) {
    OCIError* err = session.err();
    EXPECT_EQ(OCIStmtExecute(session.svc(), nullptr, err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_INVALID_HANDLE);
    EXPECT_EQ(session.lastError(), "ORA-21560: argument stmtp is null, invalid, or out of range");
    // An error handle where a statement belongs.
    EXPECT_EQ(OCIStmtFetch(reinterpret_cast<OCIStmt*>(err), err, 1, OCI_FETCH_NEXT, OCI_DEFAULT),
              OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIStmtExecute(reinterpret_cast<OCISvcCtx*>(err), session.prepare("select 1 from dual"), err, 0, 0,
                             nullptr, nullptr, OCI_DEFAULT),
              OCI_INVALID_HANDLE);
    EXPECT_EQ(session.lastError(), "ORA-21560: argument svchp is null, invalid, or out of range");

    void* stmt = nullptr;
    ASSERT_EQ(OCIHandleAlloc(session.env(), &stmt, OCI_HTYPE_STMT, 0, nullptr), OCI_SUCCESS);
    ASSERT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_SUCCESS);
    EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIStmtPrepare(static_cast<OCIStmt*>(stmt), err, reinterpret_cast<const OraText*>("select 1"), 8,
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_INVALID_HANDLE);

    // No usable error handle: the status alone tells.
    EXPECT_EQ(OCIStmtFetch(static_cast<OCIStmt*>(stmt), nullptr, 1, OCI_FETCH_NEXT, OCI_DEFAULT),
              OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIHandleAlloc(nullptr, &stmt, OCI_HTYPE_STMT, 0, nullptr), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIHandleAlloc(session.env(), &stmt, 77, 0, nullptr), OCI_ERROR);
    OraText buffer[100];
    sb4 number = 0;
    ASSERT_EQ(OCIErrorGet(session.env(), 1, nullptr, &number, buffer, sizeof buffer, OCI_HTYPE_ENV), OCI_SUCCESS);
    EXPECT_EQ(number, 21560);
}

TEST_F(BadInput, AttributesAndArgumentsOutOfRange) {
    OCIStmt* stmt = session.prepare("select name from t");
    ub4 value = 0;
    EXPECT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, &value, nullptr, 9999, session.err()), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24315: illegal attribute type");
    EXPECT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, nullptr, nullptr, OCI_ATTR_STMT_TYPE, session.err()), OCI_ERROR);
    EXPECT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, &value, nullptr, OCI_ATTR_PARAM_COUNT, session.err()), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24338: statement handle not executed");
    void* parameter = nullptr;
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
              OCI_SUCCESS);
    EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, session.err(), &parameter, 2), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24334: no descriptor for this position");
    EXPECT_EQ(OCIErrorGet(session.err(), 2, nullptr, nullptr, nullptr, 0, OCI_HTYPE_ERROR), OCI_NO_DATA);
}

TEST_F(BadInput, ErrorTextEndsWithANewlineAndIsCutToTheBuffer) {
    EXPECT_EQ(session.execute("select * from missing"), OCI_ERROR);
    OraText buffer[12];
    sb4 number = 0;
    ASSERT_EQ(OCIErrorGet(session.err(), 1, nullptr, &number, buffer, sizeof buffer, OCI_HTYPE_ERROR), OCI_SUCCESS);
    EXPECT_EQ(number, 942);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), "ORA-00942: ");
    OraText full[100];
    OCIErrorGet(session.err(), 1, nullptr, &number, full, sizeof full, OCI_HTYPE_ERROR);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(full)), "ORA-00942: table or view does not exist\n");
}

}  // namespace
