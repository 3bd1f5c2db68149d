// Stored procedures, functions and packages through the call interface: DDL
// and the dictionary, calls with scalar and PL/SQL table binds, package
// state, exceptions and their frames, breaks, describes, and a second
// process finding what the first created.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

class StoredProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError(); }

    // Runs `sql`, expecting `status`; the error text (empty on success).
    std::string attempt(const std::string& sql, sword status = OCI_ERROR) {
        const sword got = session.execute(sql);
        EXPECT_EQ(got, status) << sql << "\n" << session.lastError();
        return got == OCI_SUCCESS ? std::string() : session.lastError();
    }
    // Runs query `sql` fetching its first row; the error text.
    std::string attemptQuery(const std::string& sql) {
        OCIStmt* stmt = session.prepare(sql);
        EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
        return session.lastError();
    }
    void bindText(OCIStmt* stmt, const char* name, char* buffer, sb4 size, sb2* indicator = nullptr) {
        OCIBind* bind = nullptr;
        ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(name), -1, buffer, size,
                                SQLT_STR, indicator, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
    }
    void bindNumber(OCIStmt* stmt, const char* name, double* value, sb2* indicator = nullptr) {
        OCIBind* bind = nullptr;
        ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(name), -1, value,
                                sizeof *value, SQLT_FLT, indicator, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
    }
    sword run(OCIStmt* stmt) {
        return OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
    }

    TempDataDirectory dir;
    OciTestSession session;
};

TEST_F(StoredProgramTest, ObjectsAreCreatedReplacedAndDroppedWithTheirDictionaryRows) {
    session.run("create procedure p is begin null; end;");
    session.run("create function f return number is begin return 1; end f;");
    session.run("create package k is procedure run; end k;");
    session.run("create package body k is procedure run is begin null; end; end k;");
    EXPECT_EQ(session.column("select object_name || ' ' || object_type || ' ' || status from user_objects "
                             "order by object_name, object_type"),
              (std::vector<std::string>{"F FUNCTION VALID", "K PACKAGE VALID", "K PACKAGE BODY VALID",
                                        "P PROCEDURE VALID"}));
    EXPECT_EQ(session.value("select count(*) from user_objects where created is null and object_name = 'P'"), "0");
    EXPECT_EQ(session.column("select text from user_source where name = 'F' order by line"),
              (std::vector<std::string>{"function f return number is begin return 1; end f;"}));

    EXPECT_NE(attempt("create procedure p is begin null; end;").find("ORA-00955"), std::string::npos);
    EXPECT_NE(attempt("create function p return number is begin return 1; end;").find("ORA-00955"), std::string::npos);
    session.run("create table tab (x number)");
    EXPECT_NE(attempt("create procedure tab is begin null; end;").find("ORA-00955"), std::string::npos);
    session.run("create or replace procedure p(a number) is begin null; end;");

    session.run("drop package k");
    session.run("drop function f");
    EXPECT_EQ(session.column("select object_name || ' ' || object_type from user_objects where object_type <> 'TABLE'"),
              (std::vector<std::string>{"P PROCEDURE"}));
    EXPECT_EQ(attempt("drop procedure nosuch"), "ORA-04043: object NOSUCH does not exist");
}

TEST_F(StoredProgramTest, AnInvalidBodyIsStoredWithItsErrorsAndItsCallFails) {
    EXPECT_EQ(attempt("create procedure broken is\nbegin\n  x := 1;\nend;", OCI_SUCCESS_WITH_INFO),
              "ORA-24344: success with compilation error");
    EXPECT_EQ(session.value("select status from user_objects where object_name = 'BROKEN'"), "INVALID");
    EXPECT_EQ(session.value("select line || ',' || position || ' ' || text from user_errors where name = 'BROKEN'"),
              "3,3 PLS-00201: identifier 'X' must be declared");
    EXPECT_EQ(attempt("begin\n  broken;\nend;"), "ORA-06550: line 2, column 3:\nPLS-00905: object SCOTT.BROKEN is invalid");
    session.run("create or replace procedure broken is begin null; end;");
    EXPECT_EQ(session.value("select count(*) from user_errors"), "0");
    session.run("begin broken; end;");
}

TEST_F(StoredProgramTest, InOutScalarsOfEveryTypeComeBackConverted) {
    session.run(
        "create procedure bump(n in out number, s in out varchar2, d in out date, r in out raw, c in out char, "
        "flag out varchar2) is\n"
        "  b boolean := n > 1;\n"
        "begin\n"
        "  n := n * 2; s := upper(s) || '!'; d := d + 1; r := r || 'FF'; c := lower(c);\n"
        "  flag := case when b then 'yes' else 'no' end;\n"
        "end;");
    OCIStmt* stmt = session.prepare("begin bump(:n, :s, :d, :r, :c, :flag); end;");
    double n = 21;
    char s[10] = "ab", d[40] = "", r[10] = "0A", c[10] = "XY", flag[5] = "";
    bindNumber(stmt, "n", &n);
    bindText(stmt, "s", s, sizeof s);
    ub1 date[7] = {120, 124, 2, 28, 1, 1, 1};  // 2024-02-28 00:00:00
    OCIBind* bind = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>("d"), -1, date, sizeof date,
                            SQLT_DAT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    bindText(stmt, "r", r, sizeof r);
    bindText(stmt, "c", c, sizeof c);
    bindText(stmt, "flag", flag, sizeof flag);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(n, 42);
    EXPECT_STREQ(s, "AB!");
    EXPECT_EQ(date[3], 29);
    EXPECT_STREQ(r, "0AFF");
    EXPECT_STREQ(c, "xy");
    EXPECT_STREQ(flag, "yes");
    (void)d;
}

// An IN table of 5 elements in, an OUT table of 3 out: through the count
// with a fixed array, and through the client's callbacks.
TEST_F(StoredProgramTest, TablesGoInWholeAndComeBackWithTheirCount) {
    session.run("create package tabs is type numbers is table of number index by binary_integer; "
                "type names is table of varchar2(10) index by binary_integer; "
                "procedure firsts(i in numbers, o out names); end;");
    session.run("create package body tabs is procedure firsts(i in numbers, o out names) is\n"
                "  k pls_integer := i.first;\n"
                "begin\n"
                "  while k is not null and o.count < 3 loop\n"
                "    select 'n' || i(k) into o(o.count + 1) from dual where i(k) = i(k); k := i.next(k);\n"
                "  end loop;\n"
                "end; end;");
    OCIStmt* stmt = session.prepare("begin tabs.firsts(:i, :o); end;");
    double in[5] = {10, 20, 30, 40, 50};
    ub4 inCount = 5;
    char out[4][11] = {};
    ub4 outCount = 0;
    OCIBind* bind = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":i"), -1, in, sizeof in[0],
                            SQLT_FLT, nullptr, nullptr, nullptr, 5, &inCount, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":o"), -1, out,
                            sizeof out[0], SQLT_STR, nullptr, nullptr, nullptr, 4, &outCount, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(outCount, 3u);
    EXPECT_STREQ(out[0], "n10");
    EXPECT_STREQ(out[2], "n30");
    EXPECT_EQ(inCount, 5u) << "an IN table keeps its elements";

    ub4 room = 2;  // too small an array: nothing is written
    char small[2][11] = {"keep", "keep"};
    ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":o"), -1, small,
                            sizeof small[0], SQLT_STR, nullptr, nullptr, nullptr, 2, &room, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(run(stmt), OCI_ERROR);
    EXPECT_EQ(session.lastError(),
              "ORA-06513: PL/SQL: index for PL/SQL table out of range for host language array");
    EXPECT_STREQ(small[0], "keep");
}

struct Collected {
    char values[8][11] = {};
    ub4 lengths[8] = {};
    sb2 indicators[8] = {};
    ub2 codes[8] = {};
    ub4 count = 0;
};

sb4 collectElement(void* context, OCIBind*, ub4, ub4 index, void** buffer, ub4** length, ub1* piece, void** indicator,
                   ub2** returnCode) {
    auto& collected = *static_cast<Collected*>(context);
    if (index >= 8) return OCI_ERROR;
    *buffer = collected.values[index];
    *length = &collected.lengths[index];
    *indicator = &collected.indicators[index];
    *returnCode = &collected.codes[index];
    *piece = OCI_ONE_PIECE;
    collected.count = index + 1;
    return OCI_CONTINUE;
}

TEST_F(StoredProgramTest, AnOutTableGoesThroughTheClientsCallbacks) {
    session.run("create package tabs is type names is table of varchar2(10) index by pls_integer; "
                "procedure fill(o out names); end;");
    session.run("create package body tabs is procedure fill(o out names) is begin "
                "o(1) := 'a'; o(2) := null; o(5) := 'e'; end; end;");
    OCIStmt* stmt = session.prepare("begin tabs.fill(:o); end;");
    Collected collected;
    ub4 count = 0;
    OCIBind* bind = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":o"), -1, nullptr, 11,
                            SQLT_STR, nullptr, nullptr, nullptr, 100, &count, OCI_DATA_AT_EXEC),
              OCI_SUCCESS);
    ASSERT_EQ(OCIBindDynamic(bind, session.err(), nullptr, nullptr, &collected, collectElement), OCI_SUCCESS);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(collected.count, 3u);
    EXPECT_STREQ(collected.values[0], "a");
    EXPECT_EQ(collected.indicators[1], -1);
    EXPECT_STREQ(collected.values[2], "e");
}

TEST_F(StoredProgramTest, FunctionsAreCalledFromSqlAndFromBlocks) {
    session.run("create function twice(x number, plus number default 0) return number is begin return x * 2 + plus; end;");
    EXPECT_EQ(session.value("select twice(21) from dual"), "42");
    EXPECT_EQ(session.value("select twice(1, 5) from dual"), "7");
    OCIStmt* stmt = session.prepare("begin :r := twice(plus => 1, x => :x); end;");
    double r = 0, x = 4;
    bindNumber(stmt, "r", &r);
    bindNumber(stmt, "x", &x);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(r, 9);
    EXPECT_NE(attempt("declare r number; begin r := twice(1, 2, 3); end;").find("PLS-00306"), std::string::npos);
    session.run("create function nothing_back return number is begin null; end;");
    EXPECT_EQ(attemptQuery("select nothing_back() from dual").substr(0, 10), "ORA-06503:");
}

TEST_F(StoredProgramTest, APackageKeepsItsStateForTheSessionAndOverloadsByArguments) {
    session.run("create package counter is total number := 100; procedure add(n number); procedure add(a varchar2, "
                "b varchar2); function get return number; end;");
    session.run("create package body counter is calls pls_integer := 0;\n"
                "procedure add(n number) is begin total := total + n; calls := calls + 1; end;\n"
                "procedure add(a varchar2, b varchar2) is begin add(length(a || b)); end;\n"
                "function get return number is begin return total * 1000 + calls; end;\n"
                "end;");
    session.run("begin counter.add(5); counter.add('ab', 'cde'); end;");
    session.run("begin counter.add(1); end;");
    EXPECT_EQ(session.value("select 1 from dual where 1 = 1"), "1");
    OCIStmt* stmt = session.prepare("begin :v := counter.get; :t := counter.total; end;");
    double v = 0, t = 0;
    bindNumber(stmt, "v", &v);
    bindNumber(stmt, "t", &t);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(v, 111003);
    EXPECT_DOUBLE_EQ(t, 111);

    OciTestSession other;
    ASSERT_EQ(other.logon("scott", "tiger"), OCI_SUCCESS);
    EXPECT_EQ(other.value("select 'x' from dual"), "x");
    other.run("begin counter.add(1); end;");
    OCIStmt* fresh = other.prepare("begin :t := counter.total; end;");
    OCIBind* bind = nullptr;
    OCIBindByName(fresh, &bind, other.err(), reinterpret_cast<const OraText*>("t"), -1, &t, sizeof t, SQLT_FLT,
                  nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIStmtExecute(other.svc(), fresh, other.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_DOUBLE_EQ(t, 101) << "each session has its own package state";
}

// An index may call a function that reshapes the very table the place goes
// through (here a gap that changes how its elements are kept, and a DELETE):
// the place is still reached safely, with the table as the function left it.
TEST_F(StoredProgramTest, AnIndexThatChangesItsOwnTableIsSafe) {
    session.run("create package shaper is type nums is table of number index by binary_integer;\n"
                "type holder is record (n nums); type holders is table of holder index by binary_integer;\n"
                "a holders; function gap return number; function drop_first return number; end;");
    session.run("create package body shaper is\n"
                "function gap return number is begin a(5000) := a(1); return 2; end;\n"
                "function drop_first return number is begin a.delete(1); return 3; end;\n"
                "end;");
    OCIStmt* stmt = session.prepare(
        "begin for i in 1 .. 300 loop shaper.a(i).n(1) := i; end loop;\n"
        "shaper.a(1).n(shaper.gap) := 7;\n"
        ":v := shaper.a(1).n(1) * 1000 + shaper.a(1).n(2) * 100 + shaper.a.count;\n"
        "shaper.a(1).n(shaper.drop_first) := 9;\n"
        ":w := shaper.a(1).n(3) * 10 + shaper.a(1).n.count; end;");
    double v = 0, w = 0;
    bindNumber(stmt, "v", &v);
    bindNumber(stmt, "w", &w);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(v, 1000 + 700 + 301);
    EXPECT_DOUBLE_EQ(w, 91);
}

TEST_F(StoredProgramTest, ExceptionsAreHandledReraisedAndEscapeWithTheirFrames) {
    session.run("create table log (msg varchar2(200))");
    session.run("create procedure inner(mode varchar2) is\n"
                "  oops exception;\n"
                "  n number; m varchar2(100);\n"
                "begin\n"
                "  if mode = 'zero' then n := 1 / 0; end if;\n"
                "  if mode = 'user' then raise oops; end if;\n"
                "  if mode = 'app' then raise_application_error(-20042, 'custom ' || mode); end if;\n"
                "  select 1 into n from dual where 1 = 0;\n"
                "exception\n"
                "  when zero_divide then m := 'zero ' || sqlcode; insert into log values (m); raise;\n"
                "  when oops then m := sqlerrm || ' ' || sqlcode; insert into log values (m);\n"
                "end;");
    session.run("create procedure outer(mode varchar2) is begin\n  inner(mode);\nend;");
    EXPECT_EQ(attempt("begin outer('zero'); end;"),
              "ORA-01476: divisor is equal to zero\nORA-06512: at \"SCOTT.INNER\", line 10\n"
              "ORA-06512: at \"SCOTT.OUTER\", line 2\nORA-06512: at line 1");
    EXPECT_EQ(attempt("begin outer('none'); end;", OCI_NO_DATA),
              "ORA-01403: no data found\nORA-06512: at \"SCOTT.INNER\", line 8\n"
              "ORA-06512: at \"SCOTT.OUTER\", line 2\nORA-06512: at line 1");
    EXPECT_EQ(attempt("begin outer('app'); end;").substr(0, 28), "ORA-20042: custom app\nORA-06");
    session.run("begin outer('user'); end;");
    EXPECT_EQ(session.column("select msg from log"), (std::vector<std::string>{"User-Defined Exception 1"}))
        << "the failed calls' own inserts are undone with them";
    session.run("declare m varchar2(100); begin outer('app'); exception when others then m := sqlerrm; "
                "insert into log values (m); end;");
    EXPECT_EQ(session.value("select count(*) from log where msg = 'ORA-20042: custom app'"), "1");
}

TEST_F(StoredProgramTest, AFailedCallKeepsTheEarlierWorkOfTheTransaction) {
    session.run("create table t (id number primary key)");
    session.run("create procedure put(a number, b number) is begin insert into t values (a); insert into t values (b); end;");
    session.run("insert into t values (1)");
    EXPECT_EQ(attempt("begin put(2, 1); end;").substr(0, 10), "ORA-00001:");
    session.run("begin put(2, 3); end;");
    session.run("rollback");
    EXPECT_EQ(session.value("select count(*) from t"), "0");
    session.run("insert into t values (1)");
    EXPECT_EQ(attempt("begin put(2, 1); end;").substr(0, 10), "ORA-00001:");
    session.run("commit");
    EXPECT_EQ(session.column("select id from t"), (std::vector<std::string>{"1"}));
}

// However a failing call ends, its own changes go and the transaction's
// earlier rows stay: also where its one change is the last thing it does and
// SQLite's undoing of the failed statement stands in for a savepoint.
TEST_F(StoredProgramTest, AFailedCallUndoesExactlyItsOwnChanges) {
    session.run("create table t (id number primary key)");
    session.run("create procedure put(a number) is begin insert into t values (a); end;");
    session.run("create procedure put_abs(a number) is begin insert into t values (abs(a)); end;");
    session.run("create procedure bump is begin update t set id = id + 1; end;");
    session.run("create procedure put_back(a number, b out varchar2) is begin b := 'too long'; "
                "insert into t values (a); end;");
    session.run("create package tabs is type nums is table of number index by binary_integer; "
                "procedure fill(o out nums); end;");
    session.run("create package body tabs is procedure fill(o out nums) is begin o(1) := 1; o(2) := 2; end; end;");
    for (const char* id : {"5", "1", "2"}) session.run(std::string("insert into t values (") + id + ")");
    struct Case {
        const char* block;
        const char* error;
    };
    const Case cases[] = {
        {"begin put(1); end;", "ORA-00001"},                         // the failing change is the call's only one
        {"begin put_abs(-1); end;", "ORA-00001"},                    // ... with a function in it
        {"begin bump; end;", "ORA-00001"},                           // the row of 5 became 6 before the failure
        {"begin put(7); :b := 'too long'; end;", "ORA-06502"},       // the block fails after the change
        {"begin put_back(7, :b); end;", "ORA-06502"},                // the OUT value does not fit
        {"begin tabs.fill(:o); put(7); end;", "ORA-06513"},          // the table does not fit the array
    };
    for (const Case& c : cases) {
        OCIStmt* stmt = session.prepare(c.block);
        char text[5] = "";
        double numbers[1] = {};
        ub4 count = 0;
        OCIBind* bind = nullptr;
        OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":b"), -1, text, sizeof text,
                      SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
        OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":o"), -1, numbers,
                      sizeof numbers[0], SQLT_FLT, nullptr, nullptr, nullptr, 1, &count, OCI_DEFAULT);
        EXPECT_EQ(run(stmt), OCI_ERROR) << c.block;
        EXPECT_EQ(session.lastError().substr(0, 9), c.error) << c.block;
        EXPECT_EQ(session.column("select id from t order by id"), (std::vector<std::string>{"1", "2", "5"}))
            << c.block;
    }
    session.run("rollback");
}

TEST_F(StoredProgramTest, ABreakStopsARunningLoopAndDeepRecursionFails) {
    session.run("create procedure spin is n number := 0; begin loop n := n + 1; end loop; end;");
    std::thread breaker([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        OCIBreak(session.svc(), session.err());
    });
    const std::string error = attempt("begin spin; end;");
    breaker.join();
    EXPECT_EQ(error, "ORA-01013: user requested cancel of current operation");
    EXPECT_EQ(session.value("select 1 from dual"), "1");

    session.run("create function depth(n number) return number is begin return depth(n + 1); end;");
    EXPECT_EQ(attemptQuery("select depth(1) from dual").substr(0, 35), "ORA-06500: PL/SQL: storage error\nOR");
}

TEST_F(StoredProgramTest, LoopsAndQueriesRunOverRowsAndRanges) {
    session.run("create table t (id number, name varchar2(10))");
    session.run("insert into t values (1, 'one')");
    session.run("insert into t values (2, 'two')");
    session.run("create function summary return varchar2 is\n"
                "  text varchar2(100);\n"
                "  total number := 0;\n"
                "begin\n"
                "  for r in (select id, name from t order by id) loop text := text || r.name || ','; end loop;\n"
                "  for i in reverse 1 .. 3 loop total := total + i; exit when i = 2; end loop;\n"
                "  update t set name = 'x' where id > 0;\n"
                "  return text || total || ' ' || sql%rowcount;\n"
                "end;");
    OCIStmt* stmt = session.prepare("begin :s := summary; end;");
    char s[40] = "";
    bindText(stmt, "s", s, sizeof s);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_STREQ(s, "one,two,5 2");
}

// Describe attributes of one argument, by position in the list `list`.
struct Argument {
    std::string name;
    ub2 type;
    ub4 mode;
    ub1 hasDefault;
};

Argument describeArgument(OCIError* err, OCIParam* list, ub4 position) {
    void* parameter = nullptr;
    EXPECT_EQ(OCIParamGet(list, OCI_DTYPE_PARAM, err, &parameter, position), OCI_SUCCESS);
    Argument argument{};
    OraText* name = nullptr;
    ub4 length = 0;
    OCIAttrGet(parameter, OCI_DTYPE_PARAM, &name, &length, OCI_ATTR_NAME, err);
    argument.name.assign(reinterpret_cast<char*>(name), length);
    OCIAttrGet(parameter, OCI_DTYPE_PARAM, &argument.type, nullptr, OCI_ATTR_DATA_TYPE, err);
    OCIAttrGet(parameter, OCI_DTYPE_PARAM, &argument.mode, nullptr, OCI_ATTR_IOMODE, err);
    OCIAttrGet(parameter, OCI_DTYPE_PARAM, &argument.hasDefault, nullptr, OCI_ATTR_HAS_DEFAULT, err);
    return argument;
}

OCIParam* listOf(OCIError* err, void* parameter, ub4 attribute, ub2* count) {
    OCIParam* list = nullptr;
    OCIAttrGet(parameter, OCI_DTYPE_PARAM, &list, nullptr, attribute, err);
    if (list != nullptr) OCIAttrGet(list, OCI_DTYPE_PARAM, count, nullptr, OCI_ATTR_NUM_PARAMS, err);
    return list;
}

TEST_F(StoredProgramTest, DescribesGiveArgumentsSubprogramsAndNesting) {
    session.run("create function f(a number, b in out varchar2 := 'x') return date is begin return sysdate; end;");
    session.run("create procedure none is begin null; end;");
    session.run("create package pk is type rec is record (id number, tag varchar2(5)); "
                "type recs is table of rec index by binary_integer; procedure set_values(p_id number, p_tab recs); "
                "procedure set_values_all; function set_values(x varchar2) return number; end;");
    OCIDescribe* describe = nullptr;
    OCIHandleAlloc(session.env(), reinterpret_cast<void**>(&describe), OCI_HTYPE_DESCRIBE, 0, nullptr);
    auto root = [&](const char* name, ub1 type) -> void* {
        EXPECT_EQ(OCIDescribeAny(session.svc(), session.err(), const_cast<char*>(name),
                                 static_cast<ub4>(std::strlen(name)), OCI_OTYPE_NAME, 0, type, describe),
                  OCI_SUCCESS)
            << name << " " << session.lastError();
        void* parameter = nullptr;
        OCIAttrGet(describe, OCI_HTYPE_DESCRIBE, &parameter, nullptr, OCI_ATTR_PARAM, session.err());
        return parameter;
    };
    ub2 count = 0;
    OCIParam* arguments = listOf(session.err(), root("f", OCI_PTYPE_FUNC), OCI_ATTR_LIST_ARGUMENTS, &count);
    ASSERT_EQ(count, 3);
    const Argument result = describeArgument(session.err(), arguments, 0);
    EXPECT_EQ(result.name, "");
    EXPECT_EQ(result.type, 12);
    const Argument b = describeArgument(session.err(), arguments, 2);
    EXPECT_EQ(b.name, "B");
    EXPECT_EQ(b.mode, static_cast<ub4>(OCI_TYPEPARAM_INOUT));
    EXPECT_EQ(b.hasDefault, 1);

    listOf(session.err(), root("none", OCI_PTYPE_PROC), OCI_ATTR_LIST_ARGUMENTS, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(OCIDescribeAny(session.svc(), session.err(), const_cast<char*>("none"), 4, OCI_OTYPE_NAME, 0,
                             OCI_PTYPE_FUNC, describe),
              OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-04043: object none does not exist");

    OCIParam* subprograms = listOf(session.err(), root("PK", OCI_PTYPE_PKG), OCI_ATTR_LIST_SUBPROGRAMS, &count);
    ASSERT_EQ(count, 3);
    std::vector<std::string> names;
    for (ub4 i = 0; i < count; ++i) {
        void* subprogram = nullptr;
        OCIParamGet(subprograms, OCI_DTYPE_PARAM, session.err(), &subprogram, i);
        OraText* name = nullptr;
        ub4 length = 0;
        OCIAttrGet(subprogram, OCI_DTYPE_PARAM, &name, &length, OCI_ATTR_NAME, session.err());
        names.emplace_back(reinterpret_cast<char*>(name), length);
        if (i != 0) continue;
        ub2 argumentCount = 0;
        OCIParam* list = listOf(session.err(), subprogram, OCI_ATTR_LIST_ARGUMENTS, &argumentCount);
        ASSERT_EQ(argumentCount, 2);
        EXPECT_EQ(describeArgument(session.err(), list, 2).type, 251);
        void* table = nullptr;
        OCIParamGet(list, OCI_DTYPE_PARAM, session.err(), &table, 2);
        ub2 elements = 0;
        OCIParam* element = listOf(session.err(), table, OCI_ATTR_LIST_ARGUMENTS, &elements);
        ASSERT_EQ(elements, 1);
        EXPECT_EQ(describeArgument(session.err(), element, 1).type, 250);
        void* record = nullptr;
        OCIParamGet(element, OCI_DTYPE_PARAM, session.err(), &record, 1);
        ub2 fields = 0;
        OCIParam* fieldList = listOf(session.err(), record, OCI_ATTR_LIST_ARGUMENTS, &fields);
        ASSERT_EQ(fields, 2);
        EXPECT_EQ(describeArgument(session.err(), fieldList, 2).name, "TAG");
        ub2 level = 0;
        void* field = nullptr;
        OCIParamGet(fieldList, OCI_DTYPE_PARAM, session.err(), &field, 2);
        OCIAttrGet(field, OCI_DTYPE_PARAM, &level, nullptr, OCI_ATTR_LEVEL, session.err());
        EXPECT_EQ(level, 2);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"SET_VALUES", "SET_VALUES_ALL", "SET_VALUES"}));
    OCIHandleFree(describe, OCI_HTYPE_DESCRIBE);
}

TEST_F(StoredProgramTest, AProgramReplacedByAnotherSessionRunsInItsNewForm) {
    session.run("create function version return number is begin return 1; end;");
    OCIStmt* stmt = session.prepare("begin :v := version; end;");
    double v = 0;
    bindNumber(stmt, "v", &v);
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(v, 1);
    OciTestSession other;
    ASSERT_EQ(other.logon("scott", "tiger"), OCI_SUCCESS);
    other.run("create or replace function version return number is begin return 2; end;");
    ASSERT_EQ(run(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(v, 2);
    EXPECT_EQ(session.value("select version() from dual"), "2");
}

TEST_F(StoredProgramTest, AnotherProcessCallsWhatThisOneCreated) {
    session.run("create table calls (who varchar2(10))");
    session.run("create procedure note(who varchar2) is begin insert into calls values (who); commit; end;");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OciTestSession other;
        const bool ok = other.logon("scott", "tiger") == OCI_SUCCESS &&
                        other.execute("begin note('child'); end;") == OCI_SUCCESS;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(session.column("select who from calls"), (std::vector<std::string>{"child"}));
}

}  // namespace
