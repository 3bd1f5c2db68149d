// Anonymous blocks through the call interface: values come back through the
// binds (converted as a define converts), the block's SQL runs in the
// session's transaction, failures leave the client's buffers alone, and what
// the engine does not run is refused as the compiler refuses it.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

// One text bind with its indicator, length and return code.
struct TextBind {
    explicit TextBind(const std::string& initial, sb4 size = 21) : buffer(static_cast<std::size_t>(size), '\0') {
        std::strcpy(buffer.data(), initial.c_str());
    }
    std::string text() const { return buffer.data(); }

    std::vector<char> buffer;
    sb2 indicator = 0;
    ub2 length = 0;
    ub2 returnCode = 9999;
};

// One number bind (a double, as the library binds numbers) with its indicator.
struct NumberBind {
    explicit NumberBind(double initial) : value(initial) {}
    double value;
    sb2 indicator = 0;
    ub2 returnCode = 9999;
};

class PlsqlBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table t (id number, name varchar2(20))");
        session.run("insert into t values (1, 'one')");
        session.run("insert into t values (2, 'two')");
        session.run("insert into t values (3, 'three')");
        session.run("commit");
    }

    void bind(OCIStmt* stmt, const char* name, void* value, sb4 size, ub2 type, sb2* indicator = nullptr,
              ub2* length = nullptr, ub2* returnCode = nullptr) {
        OCIBind* handle = nullptr;
        ASSERT_EQ(OCIBindByName(stmt, &handle, session.err(), reinterpret_cast<const OraText*>(name), -1, value,
                                size, type, indicator, length, returnCode, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << session.lastError();
    }
    void bind(OCIStmt* stmt, const char* name, TextBind& b) {
        bind(stmt, name, b.buffer.data(), static_cast<sb4>(b.buffer.size()), SQLT_STR, &b.indicator, &b.length,
             &b.returnCode);
    }
    void bind(OCIStmt* stmt, const char* name, NumberBind& b) {
        bind(stmt, name, &b.value, sizeof b.value, SQLT_FLT, &b.indicator, nullptr, &b.returnCode);
    }
    sword execute(OCIStmt* stmt, ub4 iterations = 1) {
        return OCIStmtExecute(session.svc(), stmt, session.err(), iterations, 0, nullptr, nullptr, OCI_DEFAULT);
    }
    std::string count(const std::string& where) { return session.value("select count(*) from t where " + where); }

    TempDataDirectory dir;
    OciTestSession session;
};

TEST_F(PlsqlBlockTest, AssignmentsReturnValuesThroughTheBinds) {
    OCIStmt* stmt = session.prepare("BEGIN\n  :n := :n * 2;   -- doubled\n  :s := upper(:s);\n  null;\nend;\n");
    NumberBind n(21);
    TextBind s("abc");
    bind(stmt, "n", n);
    bind(stmt, ":S", s);
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(n.value, 42);
    EXPECT_EQ(n.indicator, 0);
    EXPECT_EQ(n.returnCode, 0);
    EXPECT_EQ(s.text(), "ABC");
    EXPECT_EQ(s.length, 3);
    EXPECT_EQ(s.indicator, 0);
    EXPECT_EQ(s.returnCode, 0);

    // Executed again, the block starts from what the buffers hold now.
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(n.value, 84);
}

TEST_F(PlsqlBlockTest, LaterStatementsSeeEarlierAssignmentsAndTheTable) {
    OCIStmt* stmt = session.prepare(
        "begin :a := :b + 1; :c := :a * 10 || 'x'; select count(*) into :b from t where id <= :a; "
        "dbms_lock.sleep(0); end;");
    NumberBind a(0), b(2);
    TextBind c("");
    bind(stmt, "a", a);
    bind(stmt, "b", b);
    bind(stmt, "c", c);
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(a.value, 3);
    EXPECT_EQ(c.text(), "30x");
    EXPECT_DOUBLE_EQ(b.value, 3);
}

TEST_F(PlsqlBlockTest, SelectIntoNeedsExactlyOneRow) {
    struct Case {
        double key;
        sword status;
        std::string error;   // empty when the block succeeds
        std::string name;    // what :name holds afterwards
        double id;           // what :id holds afterwards
    };
    const std::vector<Case> cases{
        {2, OCI_SUCCESS, "", "two", 2},
        // An escaping NO_DATA_FOUND ends the execute with "no data", as the vendor's does.
        {99, OCI_NO_DATA, "ORA-01403: no data found\nORA-06512: at line 1", "before", -1},
        {0, OCI_ERROR, "ORA-01422: exact fetch returns more than requested number of rows\nORA-06512: at line 1",
         "before", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        OCIStmt* stmt = session.prepare(
            "begin select name, id into :name, :id from t where id = :key or :key = 0 order by id; end;");
        TextBind name("before");
        NumberBind id(-1), key(c.key);
        bind(stmt, "name", name);
        bind(stmt, "id", id);
        bind(stmt, "key", key);
        EXPECT_EQ(execute(stmt), c.status);
        EXPECT_EQ(c.error.empty() ? std::string() : session.lastError(), c.error);
        EXPECT_EQ(name.text(), c.name);
        EXPECT_DOUBLE_EQ(id.value, c.id);
    }
}

TEST_F(PlsqlBlockTest, ChangesJoinTheSessionTransactionAndRollBack) {
    OCIStmt* stmt = session.prepare(
        "begin insert into t (id, name) values (:id, 'new'); update t set name = 'changed' where id = 1; "
        "delete from t where id = 2; end;");
    NumberBind id(4);
    bind(stmt, "id", id);
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(count("id = 4 or name = 'changed'"), "2");
    EXPECT_EQ(count("id = 2"), "0");
    session.run("rollback");
    EXPECT_EQ(count("id = 4 or name = 'changed'"), "0");
    EXPECT_EQ(count("id = 2"), "1");
}

TEST_F(PlsqlBlockTest, FailedBlockUndoesOnlyItsOwnChanges) {
    session.run("insert into t values (10, 'kept')");
    OCIStmt* stmt = session.prepare(
        "begin :n := 5; insert into t values (11, 'undone'); select name into :s from t where id = 99; end;");
    NumberBind n(1);
    TextBind s("old");
    bind(stmt, "n", n);
    bind(stmt, "s", s);
    EXPECT_EQ(execute(stmt), OCI_NO_DATA);
    EXPECT_DOUBLE_EQ(n.value, 1);
    EXPECT_EQ(s.text(), "old");
    EXPECT_EQ(count("id = 10"), "1");
    EXPECT_EQ(count("id = 11"), "0");
    session.run("rollback");
    EXPECT_EQ(count("id = 10"), "0");
}

TEST_F(PlsqlBlockTest, NullComesBackAsIndicatorMinusOne) {
    OCIStmt* stmt = session.prepare("begin :n := null; :s := ''; end;");
    NumberBind n(7);
    TextBind s("x");
    bind(stmt, "n", n);
    bind(stmt, "s", s);
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(n.indicator, -1);
    EXPECT_EQ(n.returnCode, 1405);
    EXPECT_EQ(s.indicator, -1);
    EXPECT_EQ(s.length, 0);

    // Without an indicator a NULL has nowhere to go.
    OCIStmt* bare = session.prepare("begin :n := null; end;");
    double value = 3;
    bind(bare, "n", &value, sizeof value, SQLT_FLT);
    EXPECT_EQ(execute(bare), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01405: fetched column value is NULL");
    EXPECT_DOUBLE_EQ(value, 3);
}

TEST_F(PlsqlBlockTest, ValueTooLongForItsBindFailsAndChangesNoBuffer) {
    OCIStmt* stmt = session.prepare("begin :n := 7; :s := 'abcdef'; end;");
    NumberBind n(1);
    TextBind s("ab", 4);  // room for three characters
    bind(stmt, "n", n);
    bind(stmt, "s", s);
    EXPECT_EQ(execute(stmt), OCI_ERROR);
    EXPECT_EQ(session.lastError(),
              "ORA-06502: PL/SQL: numeric or value error: character string buffer too small\nORA-06512: at line 1");
    EXPECT_DOUBLE_EQ(n.value, 1);
    EXPECT_EQ(s.text(), "ab");

    OCIStmt* fits = session.prepare("begin :s := 'abc'; end;");
    bind(fits, "s", s);
    ASSERT_EQ(execute(fits), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(s.text(), "abc");
}

TEST_F(PlsqlBlockTest, ValuesConvertToTheBindsType) {
    struct Case {
        const char* expression;
        ub2 type;
        std::string expected;  // the buffer as text, or the error
    };
    const std::vector<Case> cases{
        {"40 + 2", SQLT_STR, "42"},
        {"5 / 2", SQLT_STR, "2.5"},
        {"'17'", SQLT_FLT, "17"},
        {"' 3.25'", SQLT_FLT, "3.25"},
        {"'x1'", SQLT_FLT,
         "ORA-06502: PL/SQL: numeric or value error: character to number conversion error\nORA-06512: at line 1"},
        {"3.6", SQLT_INT, "4"},
        {"'-12'", SQLT_INT, "-12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        OCIStmt* stmt = session.prepare(std::string("begin :v := ") + c.expression + "; end;");
        char text[21] = "unchanged";
        double number = 0;
        sb4 integer = 0;
        sb2 indicator = 0;
        void* value = c.type == SQLT_STR ? static_cast<void*>(text)
                      : c.type == SQLT_FLT ? static_cast<void*>(&number)
                                           : static_cast<void*>(&integer);
        const sb4 size = c.type == SQLT_STR ? sizeof text : c.type == SQLT_FLT ? sizeof number : sizeof integer;
        bind(stmt, "v", value, size, c.type, &indicator);
        if (execute(stmt) != OCI_SUCCESS) {
            EXPECT_EQ(session.lastError(), c.expected);
            continue;
        }
        const std::string got = c.type == SQLT_STR   ? std::string(text)
                                : c.type == SQLT_FLT ? std::to_string(number)
                                                     : std::to_string(integer);
        EXPECT_EQ(got, c.type == SQLT_FLT ? std::to_string(std::stod(c.expected)) : c.expected);
    }
}

template <typename T>
std::string bytesOf(T value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// The returned element of an output buffer: text, a number, or hex bytes.
std::string rendered(ub2 type, const std::vector<ub1>& buffer, ub2 length) {
    if (type == SQLT_STR) return reinterpret_cast<const char*>(buffer.data());
    if (type == SQLT_FLT) {
        double number = 0;
        std::memcpy(&number, buffer.data(), sizeof number);
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", number);
        return text;
    }
    if (type == SQLT_INT) {
        long long number = 0;
        std::memcpy(&number, buffer.data(), sizeof number);
        return std::to_string(number);
    }
    std::string hex;
    for (ub2 i = 0; i < length; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", buffer[i]);
        hex += digits;
    }
    return hex;
}

TEST_F(PlsqlBlockTest, HostValuesPassThroughABlockAsSqliteWouldHoldThem) {
    struct Case {
        ub2 inType;
        std::string in;        // the input element's bytes
        ub2 outType;
        sb4 outSize;
        std::string expected;  // rendered(), "NULL", or the error's first line
        bool null = false;     // the input's indicator says NULL
    };
    const std::string date{'\x78', '\x7c', '\x03', '\x05', '\x07', '\x08', '\x09'};
    const std::string raw{'\x00', '\xff', '\x10'};
    const std::vector<Case> cases{
        {SQLT_FLT, bytesOf(0.0), SQLT_STR, 40, "0"},
        {SQLT_FLT, bytesOf(-0.0), SQLT_STR, 40, "0"},
        {SQLT_FLT, bytesOf(-1.5), SQLT_STR, 40, "-1.5"},
        {SQLT_FLT, bytesOf(0.1), SQLT_STR, 40, "0.1"},
        {SQLT_FLT, bytesOf(1e-7), SQLT_STR, 40, "1e-07"},
        {SQLT_FLT, bytesOf(1e125), SQLT_STR, 40, "1e+125"},
        {SQLT_FLT, bytesOf(123456789012345678.0), SQLT_STR, 40, "1.23456789012346e+17"},
        {SQLT_FLT, bytesOf(123456789012345678.0), SQLT_INT, 8, "123456789012345680"},
        {SQLT_FLT, bytesOf(2.5), SQLT_INT, 8, "3"},
        {SQLT_FLT, bytesOf(1e300), SQLT_FLT, 8, "1.0000000000000001e+300"},
        {SQLT_FLT, bytesOf(1.0), SQLT_STR, 40, "NULL", true},
        {SQLT_INT, bytesOf(static_cast<std::int64_t>(9223372036854775807LL)), SQLT_STR, 40, "9.22337203685478e+18"},
        {SQLT_INT, bytesOf(static_cast<std::int64_t>(9223372036854775807LL)), SQLT_INT, 8, "ORA-01455: converting column overflows integer datatype"},
        {SQLT_INT, bytesOf(static_cast<sb4>(-42)), SQLT_FLT, 8, "-42"},
        {SQLT_UIN, bytesOf(static_cast<std::uint64_t>(18446744073709551615ULL)), SQLT_STR, 40, "1.84467440737096e+19"},
        {SQLT_STR, std::string("abc", 4), SQLT_STR, 3, "ORA-06502: PL/SQL: numeric or value error: character string buffer too small"},
        {SQLT_STR, std::string(" 12.5 ", 7), SQLT_FLT, 8, "12.5"},
        {SQLT_STR, std::string("x", 2), SQLT_FLT, 8, "ORA-06502: PL/SQL: numeric or value error: character to number conversion error"},
        {SQLT_STR, std::string("", 1), SQLT_STR, 40, "NULL"},
        {SQLT_CHR, "0AFF", SQLT_BIN, 20, "30414646"},
        {SQLT_CHR, "abc", SQLT_DAT, 7, "ORA-01861: literal does not match format string"},
        {SQLT_DAT, date, SQLT_STR, 40, "2024-03-05 06:07:08"},
        {SQLT_DAT, date, SQLT_DAT, 7, "787C0305070809"},
        {SQLT_DAT, date, SQLT_FLT, 8, "ORA-06502: PL/SQL: numeric or value error: character to number conversion error"},
        {SQLT_BIN, raw, SQLT_STR, 40, "00FF10"},
        {SQLT_BIN, raw, SQLT_BIN, 20, "00FF10"},
        {SQLT_BIN, raw, SQLT_FLT, 8, "ORA-00932: inconsistent datatypes: expected NUMBER got BINARY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases.data()));
        OCIStmt* stmt = session.prepare("begin :o := :i; end;");
        std::string in = c.in;
        sb2 inIndicator = c.null ? -1 : 0;
        std::vector<ub1> out(static_cast<std::size_t>(c.outSize), 0);
        sb2 outIndicator = 0;
        ub2 outLength = 0;
        bind(stmt, "i", in.data(), static_cast<sb4>(in.size()), c.inType, &inIndicator);
        bind(stmt, "o", out.data(), c.outSize, c.outType, &outIndicator, &outLength);
        if (execute(stmt) != OCI_SUCCESS) {
            EXPECT_EQ(session.lastError().substr(0, session.lastError().find('\n')), c.expected);
            continue;
        }
        EXPECT_EQ(outIndicator == -1 ? "NULL" : rendered(c.outType, out, outLength), c.expected);
    }
}

// A table's elements are found in any order of reaching them: ascending,
// descending, after a DELETE, added in the middle or before the first, past a
// gap or from a negative index, and a copy changes apart from the original.
TEST_F(PlsqlBlockTest, TableElementsAreFoundHoweverTheyAreReached) {
    struct Case {
        const char* what;
        const char* body;  // fills a, leaves what it reads in s
        const char* expected;
    };
    const Case cases[] = {
        {"reached every way, deleted in the middle, added before the first, copied",
         "for i in 1 .. 5 loop a(i) := i * 10; end loop;\n"
         "s := a(1) || a(2) || a(3) || '/' || a(5) || a(4);\n"
         "a.delete(3);\n"
         "s := s || '/' || a.count || a.next(2) || a.prior(4) || case when a.exists(3) then 'y' else 'n' end;\n"
         "a(3) := 33; s := s || '/' || a(2) || a(3) || a(4);\n"
         "a(0) := 0; s := s || '/' || a.first || a(0) || a(1);\n"
         "b := a; b(4) := 44; s := s || '/' || a(4) || b(4);\n"
         "a.delete; s := s || '/' || a.count || b.count;",
         "102030/5040/442n/203340/0010/4044/06"},
        {"the last deleted, one absent deleted, then grown past the last",
         "for i in 1 .. 5 loop a(i) := i; end loop; a.delete(5); a.delete(10);\n"
         "s := a.count || ',' || a.last || ',' || a.next(4) || ',';\n"
         "a(5) := 50; a(6) := 60; s := s || a.count || ',' || a(5) || ',' || a.last || ',' || a.prior(6);",
         "4,4,,6,50,6,5"},
        {"a gap after the last",
         "for i in 1 .. 3 loop a(i) := i; end loop; a(5) := 5;\n"
         "s := a.count || ',' || a.next(3) || ',' || a.prior(5) || ',' ||\n"
         "     case when a.exists(4) then 'y' else 'n' end || ',' || a(2) || ',' || a.last;",
         "4,5,3,n,2,5"},
        {"indexes from a negative one, then one before the first",
         "for i in -2 .. 1 loop a(i) := i * 10; end loop;\n"
         "s := a.first || ',' || a(-1) || ',' || a.next(-2) || ',' || a.prior(-2) || ',' || a(0) || ',';\n"
         "a(-3) := -30; s := s || a.first || ',' || a.next(-3) || ',' || a.count;",
         "-2,-10,-1,,0,-3,-2,5"},
        {"neighbours asked for outside the indexes",
         "for i in 1 .. 3 loop a(i) := i; end loop;\n"
         "s := a.next(0) || ',' || a.next(-100) || ',' || a.prior(100) || ',' || a.next(3) || ',' || a.prior(1) ||\n"
         "     ',' || case when a.exists(0) or a.exists(4) then 'y' else 'n' end;",
         "1,1,3,,,n"},
        {"a copy of consecutive elements changed apart",
         "for i in 1 .. 3 loop a(i) := i; end loop; b := a; b(2) := 22; b(4) := 4; b.delete(1);\n"
         "s := a(2) || ',' || a.count || ',' || b(2) || ',' || b.count || ',' || b.first;",
         "2,3,22,3,2"},
        {"emptied from the last and filled again elsewhere",
         "for i in 1 .. 3 loop a(i) := i; end loop; a.delete(3); a.delete(2); a.delete(1);\n"
         "a(7) := 7; a(8) := 8; s := a.count || ',' || a.first || ',' || a.last || ',';\n"
         "a.delete; a(2) := 2; s := s || a.first || a.count;",
         "2,7,8,21"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OCIStmt* stmt = session.prepare(
            std::string("declare type nums is table of number index by binary_integer; a nums; b nums; s varchar2(200);\n"
                        "begin\n") +
            c.body + "\n  :s := s;\nend;");
        TextBind s("", 60);
        bind(stmt, "s", s);
        ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
        EXPECT_EQ(s.text(), c.expected);
    }
}

// Nesting a program could not be compiled or run within a thread's stack is
// refused when it is compiled; real programs stay far below the bound.
TEST_F(PlsqlBlockTest, NestingBeyondTheBoundIsRefusedNotOverflowed) {
    auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    };
    auto chain = [&](const char* op, int terms) { return "1" + repeat(std::string(op) + "1", terms - 1); };
    struct Case {
        std::string what, block;
        bool refused;
    };
    const Case cases[] = {
        {"blocks 100 deep", repeat("begin ", 100) + ":x := 1; " + repeat("end; ", 100), false},
        {"blocks 3000 deep", repeat("begin ", 3000) + ":x := 1; " + repeat("end; ", 3000), true},
        {"parentheses 100 deep", "begin :x := " + repeat("(", 100) + "1" + repeat(")", 100) + "; end;", false},
        {"parentheses 3000 deep", "begin :x := " + repeat("(", 3000) + "1" + repeat(")", 3000) + "; end;", true},
        {"signs 3000 deep", "begin :x := " + repeat("- ", 3000) + "1; end;", true},
        {"NOT 3000 deep", "begin if " + repeat("not ", 3000) + "true then :x := 1; end if; end;", true},
        {"a sum of 500 terms", "begin :x := " + chain("+", 500) + "; end;", false},
        {"a sum of 100000 terms", "begin :x := " + chain("+", 100000) + "; end;", true},
        {"a product of 100000 factors", "begin :x := " + chain("*", 100000) + "; end;", true},
        {"IFs 3000 deep", repeat("begin if 1 = 1 then ", 3000) + ":x := 1;" + repeat(" end if; end;", 3000), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OCIStmt* stmt = session.prepare(c.block);
        NumberBind x(0);
        bind(stmt, "x", x);
        if (c.refused) {
            EXPECT_EQ(execute(stmt), OCI_ERROR);
            EXPECT_NE(session.lastError().find("PLS-00123: program too large"), std::string::npos)
                << session.lastError().substr(0, 300);
        } else {
            ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError().substr(0, 300);
            EXPECT_DOUBLE_EQ(x.value, c.what.find("sum") != std::string::npos ? 500 : 1);
        }
    }
}

TEST_F(PlsqlBlockTest, DatesComeBackAsADefineDeliversThem) {
    const std::string date = "to_date('2024-03-05 06:07:08', 'YYYY-MM-DD HH24:MI:SS')";
    OCIStmt* stmt = session.prepare("begin :d := " + date + "; :s := " + date + "; end;");
    ub1 bytes[7] = {};
    TextBind s("");
    bind(stmt, "d", bytes, sizeof bytes, SQLT_DAT);
    bind(stmt, "s", s);
    ASSERT_EQ(execute(stmt), OCI_SUCCESS) << session.lastError();
    const ub1 expected[7] = {120, 124, 3, 5, 7, 8, 9};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);
    EXPECT_EQ(s.text(), session.value("select " + date + " from dual"));

    // The date read back in goes out the same.
    OCIStmt* again = session.prepare("begin :d := :d + 1; end;");
    bind(again, "d", bytes, sizeof bytes, SQLT_DAT);
    ASSERT_EQ(execute(again), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(bytes[3], 6);
}

TEST_F(PlsqlBlockTest, EachIterationRunsWithItsOwnElements) {
    OCIStmt* stmt = session.prepare("begin :n := :n + 100; insert into t (id, name) values (:n, :s); end;");
    double numbers[3] = {1, 2, 3};
    char names[3][8] = {"a", "b", "c"};
    bind(stmt, "n", numbers, sizeof numbers[0], SQLT_FLT);
    bind(stmt, "s", names, sizeof names[0], SQLT_STR);
    ASSERT_EQ(execute(stmt, 3), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(numbers[0], 101);
    EXPECT_DOUBLE_EQ(numbers[2], 103);
    EXPECT_EQ(session.column("select name from t where id > 100 order by id"),
              (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(execute(stmt, 0), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24333: zero iteration count");
}

TEST_F(PlsqlBlockTest, DataAtExecValuesArriveInPiecesForEachIteration) {
    session.run("create table docs (id number, body long)");
    OCIStmt* stmt = session.prepare(
        "begin insert into docs values (:n, :body); :n := length(:body) + :n * 1000; end;");
    double numbers[2] = {1, 2};
    bind(stmt, "n", numbers, sizeof numbers[0], SQLT_FLT);
    OCIBind* body = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &body, session.err(), reinterpret_cast<const OraText*>("body"), -1, nullptr,
                            3000000, SQLT_LNG, nullptr, nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC),
              OCI_SUCCESS);
    const std::string pieces[2][2] = {{"first ", "row"}, {"second ", "row, longer"}};
    std::vector<ub4> asked;  // iteration * 10 + piece of every request
    sword status = execute(stmt, 2);
    while (status == OCI_NEED_DATA) {
        void* handle = nullptr;
        ub4 type = 0, iteration = 9, index = 9;
        ub1 direction = 0, piece = 0;
        ASSERT_EQ(OCIStmtGetPieceInfo(stmt, session.err(), &handle, &type, &direction, &iteration, &index, &piece),
                  OCI_SUCCESS);
        ASSERT_EQ(handle, body);
        ASSERT_LT(iteration, 2u);
        asked.push_back(iteration * 10 + piece);
        const std::string& text = pieces[iteration][piece == OCI_FIRST_PIECE ? 0 : 1];
        ub4 length = static_cast<ub4>(text.size());
        OCIStmtSetPieceInfo(body, OCI_HTYPE_BIND, session.err(), text.data(), &length,
                            piece == OCI_FIRST_PIECE ? OCI_NEXT_PIECE : OCI_LAST_PIECE, nullptr, nullptr);
        status = execute(stmt, 2);
    }
    ASSERT_EQ(status, OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(asked, (std::vector<ub4>{OCI_FIRST_PIECE, OCI_NEXT_PIECE, 10 + OCI_FIRST_PIECE, 10 + OCI_NEXT_PIECE}));
    EXPECT_DOUBLE_EQ(numbers[0], 1009);
    EXPECT_DOUBLE_EQ(numbers[1], 2018);
    EXPECT_EQ(session.column("select body from docs order by id"),
              (std::vector<std::string>{"first row", "second row, longer"}));

    // A value cannot go back out in pieces: the block fails once its in value is given.
    OCIStmt* out = session.prepare("begin :body := 'x'; end;");
    OCIBind* outBody = nullptr;
    ASSERT_EQ(OCIBindByName(out, &outBody, session.err(), reinterpret_cast<const OraText*>("body"), -1, nullptr,
                            3000000, SQLT_LNG, nullptr, nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC),
              OCI_SUCCESS);
    ASSERT_EQ(execute(out), OCI_NEED_DATA);
    ub4 length = 3;
    OCIStmtSetPieceInfo(outBody, OCI_HTYPE_BIND, session.err(), "old", &length, OCI_ONE_PIECE, nullptr, nullptr);
    EXPECT_EQ(execute(out), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-03115: unsupported network datatype or representation");
}

TEST_F(PlsqlBlockTest, PlaceholdersMatchByNameOrByPosition) {
    // By name, the two occurrences are one variable.
    OCIStmt* byName = session.prepare("begin :x := :x + 1; :X := :x * 10; end;");
    NumberBind x(1);
    bind(byName, "x", x);
    ASSERT_EQ(execute(byName), OCI_SUCCESS) << session.lastError();
    EXPECT_DOUBLE_EQ(x.value, 20);

    // By position, each occurrence is bound on its own.
    OCIStmt* byPosition = session.prepare("begin :a := :b || '!'; end;");
    char target[10] = "";
    char source[10] = "hi";
    OCIBind* handle = nullptr;
    ASSERT_EQ(OCIBindByPos(byPosition, &handle, session.err(), 1, target, sizeof target, SQLT_STR, nullptr, nullptr,
                           nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    handle = nullptr;
    ASSERT_EQ(OCIBindByPos(byPosition, &handle, session.err(), 2, source, sizeof source, SQLT_STR, nullptr, nullptr,
                           nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(execute(byPosition), OCI_SUCCESS) << session.lastError();
    EXPECT_STREQ(target, "hi!");
    EXPECT_STREQ(source, "hi");

    OCIStmt* unbound = session.prepare("begin :a := :b; end;");
    bind(unbound, "a", x);
    EXPECT_EQ(execute(unbound), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01008: not all variables bound");
}

TEST_F(PlsqlBlockTest, WhatTheEngineDoesNotRunIsACompilationError) {
    struct Case {
        const char* block;
        const char* error;
    };
    const std::vector<Case> cases{
        {"begin\n  goto done; end;", "line 2, column 3:\nPLS-00999: implementation restriction (may be "
                                     "temporary) GOTO is not supported in the engine's PL/SQL"},
        {"declare cursor c is select 1 from dual; begin null; end;", "line 1, column 9:\nPLS-00999"},
        {"begin :a := nosuch; end;", "line 1, column 13:\nPLS-00201: identifier 'NOSUCH' must be declared"},
        {"begin :a := 1, 2; end;", "line 1, column 14:\nPLS-00103: Encountered the symbol \",\""},
        {"begin exit; end;", "line 1, column 7:\nPLS-00376: illegal EXIT statement"},
        {"declare c constant number := 1; begin c := 2; end;", "line 1, column 39:\nPLS-00363"},
        {"begin my_proc(:a); end;", "line 1, column 7:\nPLS-00201: identifier 'MY_PROC' must be declared"},
        {"begin\n  x := 1;\nend;", "line 2, column 3:\nPLS-00201: identifier 'X' must be declared"},
        {"begin select 1 into x from dual; end;", "line 1, column 21:\nPLS-00201: identifier 'X' must be declared"},
        {"begin select 1 from dual; end;",
         "line 1, column 7:\nPLS-00428: an INTO clause is expected in this SELECT statement"},
        {"begin end;", "line 1, column 7:\nPLS-00103: Encountered the symbol \"end\""},
        {"begin null end;", "line 1, column 12:\nPLS-00103: Encountered the symbol \"end\""},
        {"begin :a := 1", "line 1, column 14:\nPLS-00103: Encountered the symbol \"end-of-file\""},
        {"begin :a = 1; end;", "line 1, column 10:\nPLS-00103: Encountered the symbol \"=\""},
        {"begin null; end; null;", "line 1, column 18:\nPLS-00103: Encountered the symbol \"null\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        OCIStmt* stmt = session.prepare(c.block);
        NumberBind a(1);
        OCIBind* handle = nullptr;
        OCIBindByName(stmt, &handle, session.err(), reinterpret_cast<const OraText*>("a"), -1, &a.value,
                      sizeof a.value, SQLT_FLT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
        EXPECT_EQ(execute(stmt), OCI_ERROR);
        const std::string error = session.lastError();
        EXPECT_EQ(error.rfind(std::string("ORA-06550: ") + c.error, 0), 0u) << error;
        EXPECT_DOUBLE_EQ(a.value, 1);
    }
}

TEST_F(PlsqlBlockTest, SqlTheBlockCannotCompileIsItsCompilationError) {
    struct Case {
        const char* block;
        const char* error;
    };
    const std::vector<Case> cases{
        {"begin null;\n  insert into missing values (:a); end;",
         "ORA-06550: line 2, column 3:\nPL/SQL: ORA-00942: table or view does not exist\n"
         "ORA-06550: line 2, column 3:\nPL/SQL: SQL Statement ignored"},
        {"begin select id, name into :a from t where id = 1; end;",
         "ORA-06550: line 1, column 7:\nPL/SQL: ORA-00913: too many values"},
        {"begin select id into :a, :a from t where id = 1; end;",
         "ORA-06550: line 1, column 7:\nPL/SQL: ORA-00947: not enough values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        OCIStmt* stmt = session.prepare(c.block);
        NumberBind a(1);
        bind(stmt, "a", a);
        EXPECT_EQ(execute(stmt), OCI_ERROR);
        EXPECT_EQ(session.lastError().rfind(c.error, 0), 0u) << session.lastError();
        EXPECT_DOUBLE_EQ(a.value, 1);
    }
}

TEST_F(PlsqlBlockTest, ErrorsRaisedWhileRunningNameTheirLine) {
    session.run("create table keyed (id number primary key)");
    OCIStmt* stmt = session.prepare("begin\n  insert into keyed values (:a);\n  insert into keyed values (:a);\nend;");
    NumberBind a(1);
    bind(stmt, "a", a);
    EXPECT_EQ(execute(stmt), OCI_ERROR);
    EXPECT_EQ(session.lastError().substr(0, 10), "ORA-00001:");
    EXPECT_NE(session.lastError().find("violated\nORA-06512: at line 3"), std::string::npos) << session.lastError();
    EXPECT_EQ(session.value("select count(*) from keyed"), "0");
}

}  // namespace
