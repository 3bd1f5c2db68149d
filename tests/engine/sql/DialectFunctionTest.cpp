// The dialect's functions and special words, run on a real database: DUAL,
// SYSDATE, NVL, SUBSTR, MINUS, TO_CHAR/TO_DATE/TO_NUMBER and LONG text.
#include "DialectTestDatabase.h"

#include <gtest/gtest.h>

#include <cctype>

using dialect_test::DialectTestDatabase;
using dialect_test::kNull;

namespace {

// True for text in the stored date form "YYYY-MM-DD HH24:MI:SS".
bool isStoredDate(const std::string& text) {
    const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return false;
    }
    return true;
}

struct ValueCase {
    const char* expression;
    std::string expected;
};

// Evaluates each expression as "select <expression> from dual".
void expectValues(DialectTestDatabase& db, const std::vector<ValueCase>& cases) {
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(db.scalar(std::string("select ") + c.expression + " from dual"), c.expected);
    }
}

TEST(DialectFunctions, DualHasOneRowWithDummyX) {
    DialectTestDatabase db;
    EXPECT_EQ(db.query("select * from dual"), (std::vector<dialect_test::Row>{{"X"}}));
    EXPECT_EQ(db.scalar("select dummy from Dual"), "X");
    EXPECT_EQ(db.scalar("select 1 from sys.dual"), "1");
    EXPECT_EQ(db.errorNumber("delete from dual"), 1732);
    db.execute("create view today as select sysdate d from dual");
    EXPECT_EQ(db.query("select d from today").size(), 1u);
    EXPECT_EQ(db.scalar("select count(*) from dual"), "1");
}

TEST(DialectFunctions, SysdateIsTheStoredDateTextAndWorksAsDefault) {
    DialectTestDatabase db;
    EXPECT_TRUE(isStoredDate(db.scalar("select sysdate from dual")));
    db.execute("create table t (x number, d date default sysdate)");
    db.execute("insert into t (x) values (1)");
    EXPECT_TRUE(isStoredDate(db.scalar("select d from t")));
    EXPECT_EQ(db.scalar("select count(*) from t where d <= sysdate"), "1");
}

TEST(DialectFunctions, TextFunctions) {
    DialectTestDatabase db;
    expectValues(db, {
        {"nvl(null, 'a')", "a"},
        {"nvl('b', 'a')", "b"},
        {"NVL(NULL, 5) + 1", "6"},
        {"substr('abcdef', 0, 2)", "ab"},
        {"substr('abcdef', 1, 2)", "ab"},
        {"substr('abcdef', 3)", "cdef"},
        {"substr('abcdef', -2)", "ef"},
        {"substr('abcdef', -3, 2)", "de"},
        {"substr('abcdef', 2, 0)", kNull},
        {"substr('abcdef', 10)", kNull},
        {"substr('abcdef', 5, 100)", "ef"},
        {"substr(null, 1)", kNull},
        {"substr('äöü', 2, 1)", "ö"},
        {"length('abc')", "3"},
        {"upper('aBc') || lower('DeF')", "ABCdef"},
        {"decode(2, 1, 'one', 2, 'two', 'many')", "two"},
        {"decode(3, 1, 'one', 2, 'two', 'many')", "many"},
        {"decode(3, 1, 'one')", kNull},
        {"decode(null, 1, 'one', null, 'none')", "none"},
        {"decode('b', 'a', 1, 'b', 2)", "2"},
        {"decode(2.0, 2, 'same')", "same"},
        {"concat('ab', null)", "ab"},
        {"concat(null, null)", kNull},
        {"nvl2(null, 'set', 'unset')", "unset"},
        {"nvl2(0, 'set', 'unset')", "set"},
        {"lpad('7', 3, '0')", "007"},
        {"lpad('abc', 7, 'xy')", "xyxyabc"},
        {"lpad('abcdef', 3)", "abc"},
        {"rpad('ab', 4)", "ab  "},
        {"rpad('ä', 3, 'ö')", "äöö"},
        {"lpad('a', 0)", kNull},
    });
    EXPECT_EQ(db.errorNumber("select decode(1, 2) from dual"), 909);
}

TEST(DialectConcatenation, NullCountsAsEmptyAndBindsLikePlus) {
    DialectTestDatabase db;
    expectValues(db, {
        {"'a' || null", "a"},
        {"null || 'b' || null", "b"},
        {"null || null", kNull},
        {"'' || ''", kNull},
        {"2 * 3 || 'x'", "6x"},
        {"'x' || 2 * 3", "x6"},
        {"-1 || 'x'", "-1x"},
        {"1.5 || '|'", "1.5|"},
        {"upper('a' || 'b') || ('c' || lower('D'))", "ABcd"},
        {"case when 1 = 1 then 'y' end || 'z'", "yz"},
        {"concat('ab', null)", "ab"},
    });
}

TEST(DialectConcatenation, ChainsInQueriesWithAliasesConditionsAndBinds) {
    DialectTestDatabase db;
    db.execute("create table people (name varchar2(10), code varchar2(5))");
    db.execute("insert into people values ('Ann', null)");
    db.execute("insert into people values ('Bob', 'B1')");
    EXPECT_EQ(db.query("select name || ' (' || code || ')' label from people order by name || code"),
              (std::vector<dialect_test::Row>{{"Ann ()"}, {"Bob (B1)"}}));
    EXPECT_EQ(db.scalar("select p.name from people p where p.name || p.code = 'BobB1'"), "Bob");
    EXPECT_EQ(db.scalar("select count(*) from people where name || :suffix = 'Ann!'", {{"suffix", "!"}}), "1");
    db.execute("update people set code = code || 'x' where name = 'Ann'");
    EXPECT_EQ(db.scalar("select code from people where name = 'Ann'"), "x");
    const auto translated = engine::translateSql("select name || code as both_ from people");
    DialectTestDatabase::Statement statement(db.db(), translated.sql);
    const auto column = db.catalog().describeResultColumn(statement.stmt, 0, translated);
    EXPECT_EQ(column.name, "BOTH_");
    EXPECT_EQ(column.type, engine::InternalType::Varchar2);
}

TEST(DialectLiterals, EmptyTextIsNull) {
    DialectTestDatabase db;
    db.execute("create table t (id number, v varchar2(5))");
    db.execute("insert into t values (1, '')");
    EXPECT_EQ(db.scalar("select count(*) from t where v is null"), "1");
    EXPECT_EQ(db.scalar("select count(*) from t where v = ''"), "0");
    expectValues(db, {{"nvl('', 'a')", "a"}, {"'x' || ''", "x"}, {"'it''s'", "it's"}});
}

TEST(DialectArithmetic, DivisionIsExactAsOnTheServer) {
    DialectTestDatabase db;
    db.execute("create table t (a number, b number)");
    db.execute("insert into t values (7, 2)");
    expectValues(db, {
        {"10 / 4", "2.5"},
        {"7 / 2 * 2", "7.0"},
        {"2 * 7 / 4", "3.5"},
        {"1 + 3 / 2", "2.5"},
        {"-3 / 2", "-1.5"},
        {"(1 + 2) / 2", "1.5"},
        {"'x' || 3 / 2", "x1.5"},
    });
    EXPECT_EQ(db.scalar("select a / b from t"), "3.5");
    EXPECT_EQ(db.scalar("select count(*) / 2 from t"), "0.5");
}

TEST(DialectArithmetic, DatesPlusAndMinusDays) {
    DialectTestDatabase db;
    const std::string jan31 = "to_date('2024-01-31', 'YYYY-MM-DD')";
    const std::string noon = "to_date('2024-01-01 12:00:00', 'YYYY-MM-DD HH24:MI:SS')";
    expectValues(db, {
        {(jan31 + " + 1").c_str(), "2024-02-01 00:00:00"},
        {(jan31 + " + 30").c_str(), "2024-03-01 00:00:00"},
        {"to_date('2024-03-01', 'YYYY-MM-DD') - 1", "2024-02-29 00:00:00"},
        {"to_date('2000-01-01', 'YYYY-MM-DD') - 36524", "1900-01-01 00:00:00"},
        {(noon + " + 0.5").c_str(), "2024-01-02 00:00:00"},
        {(noon + " + 1/24").c_str(), "2024-01-01 13:00:00"},
        {("1 + " + jan31).c_str(), "2024-02-01 00:00:00"},
        {("to_date('2024-03-01', 'YYYY-MM-DD') - " + jan31).c_str(), "30"},
        {(noon + " - to_date('2024-01-01', 'YYYY-MM-DD')").c_str(), "0.5"},
        {("to_char(" + jan31 + " + 1, 'DD.MM.YYYY')").c_str(), "01.02.2024"},
        {"'5' + 1", "6"},
        {"2 + 3 - 1", "4"},
        {"9223372036854775807 + 1", "9.22337203685478e+18"},
        {"null - 1", kNull},
    });
    const std::vector<std::pair<std::string, int>> failures{
        {"select " + jan31 + " + " + jan31 + " from dual", 975},
        {"select 1 - " + jan31 + " from dual", 932},
        {"select 'abc' + 1 from dual", 1722},
    };
    for (const auto& [sql, number] : failures) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(db.errorNumber(sql), number) << db.lastError();
    }
}

TEST(DialectArithmetic, DateColumnsInConditionsAndUpdates) {
    DialectTestDatabase db;
    db.execute("create table tasks (id number, due date)");
    db.execute("insert into tasks values (1, to_date('2024-05-10', 'YYYY-MM-DD'))");
    db.execute("insert into tasks values (2, sysdate + 3)");
    db.execute("update tasks set due = due + 7 where id = 1");
    EXPECT_EQ(db.scalar("select due from tasks where id = 1"), "2024-05-17 00:00:00");
    EXPECT_EQ(db.scalar("select id from tasks where due > sysdate + 1"), "2");
    EXPECT_EQ(db.scalar("select count(*) from tasks where due - 7 < to_date('2024-05-11', 'YYYY-MM-DD')"), "1");
    EXPECT_EQ(db.scalar("select id + 1 from tasks where id = 1"), "2");
}

TEST(DialectFunctions, MinusIsSetDifference) {
    DialectTestDatabase db;
    EXPECT_TRUE(db.query("select 1 from dual minus select 1 from dual").empty());
    EXPECT_EQ(db.scalar("select 1 from dual minus select 2 from dual"), "1");
}

TEST(DialectFunctions, DateConversionsWithFormatModels) {
    DialectTestDatabase db;
    const std::string date = "to_date('2024-03-05 14:07:09', 'YYYY-MM-DD HH24:MI:SS')";
    expectValues(db, {
        {"to_date('2024-03-05 14:07:09', 'YYYY-MM-DD HH24:MI:SS')", "2024-03-05 14:07:09"},
        {"to_date('05.03.2024', 'DD.MM.YYYY')", "2024-03-05 00:00:00"},
        {"to_date('05-mar-24')", "2024-03-05 00:00:00"},
        {"to_date('05-MAR-99')", "1999-03-05 00:00:00"},
        {"to_date('1999-12-31')", "1999-12-31 00:00:00"},
        {"to_date('20240305 0207 pm', 'YYYYMMDD HH12MI AM')", "2024-03-05 14:07:00"},
        {"to_date('March 5, 2024', 'Month DD, YYYY')", "2024-03-05 00:00:00"},
        {"to_date(null, 'YYYY')", kNull},
    });
    expectValues(db, {
        {("to_char(" + date + ", 'DD.MM.YYYY HH24:MI:SS')").c_str(), "05.03.2024 14:07:09"},
        {("to_char(" + date + ", 'DD-MON-YYYY')").c_str(), "05-MAR-2024"},
        {("to_char(" + date + ", 'Mon dd yy')").c_str(), "Mar 05 24"},
        {("to_char(" + date + ", 'DAY DY Day')").c_str(), "TUESDAY TUE Tuesday"},
        {("to_char(" + date + ", 'HH12:MI AM')").c_str(), "02:07 PM"},
        {("to_char(" + date + ", 'YYYY\"Q\"MM')").c_str(), "2024Q03"},
        {"to_char(42)", "42"},
        {"to_char(2.5)", "2.5"},
        {"to_char('text')", "text"},
        {"to_number('12.5') * 2", "25.0"},
        {"to_number('7')", "7"},
    });
}

TEST(DialectFunctions, StoredDatesReadFieldByField) {
    DialectTestDatabase db;
    expectValues(db, {
        {"to_char('2024-1-5', 'YYYY-MM-DD HH24:MI:SS')", "2024-01-05 00:00:00"},
        {"to_char('2024-01-05   7:08:09', 'HH24:MI:SS')", "07:08:09"},
        {"to_char('2024-01-0507:08:09', 'HH24:MI:SS')", "07:08:09"},
        {"to_char('-001-01-01 00:00:00', 'YYYY-MM-DD')", "-001-01-01"},
        {"to_char('0012-11-30 23:59:59', 'DD.MM.YYYY')", "30.11.0012"},
        {"to_char('2024-02-29', 'DD.MM.YYYY HH24')", "29.02.2024 00"},
        {"to_char('0005-01-01 00:07:09', 'FMYY HH12:MI:SS RR\"h\"')", "05 12:07:09 05h"},
        {"to_char('-005-01-01 13:07:09', 'YYYY HH12')", "-005 01"},
    });
    for (const char* bad : {"2024-01-05 ", "2024-02-30", "2024/01/05", "+2024-01-05", "2024-01-05 07:08",
                            "2023-02-29", "2024-13-01 00:00:00", "2024-01-05 07:08:0x"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(db.scalar(std::string("select to_char('") + bad + "', 'YYYY') from dual"), engine::OraError);
    }
}

TEST(DialectFunctions, FormatModelsFollowEachRow) {
    DialectTestDatabase db;
    db.query("create table models (n number, model varchar2(20), d date)");
    db.query("insert into models values (1, 'DD.MM.YYYY', to_date('2024-03-05', 'YYYY-MM-DD'))");
    db.query("insert into models values (2, 'YYYY', to_date('1999-12-31', 'YYYY-MM-DD'))");
    db.query("insert into models values (3, 'YYYY', to_date('2001-01-01', 'YYYY-MM-DD'))");
    EXPECT_EQ(db.query("select to_char(d, model), to_char(d, 'Mon') from models order by n"),
              (std::vector<dialect_test::Row>{{"05.03.2024", "Mar"}, {"1999", "Dec"}, {"2001", "Jan"}}));
    EXPECT_EQ(db.query("select to_char(to_date(to_char(d, model), model), 'YYYY') from models order by n"),
              (std::vector<dialect_test::Row>{{"2024"}, {"1999"}, {"2001"}}));
}

TEST(DialectFunctions, DateTruncationAndMonths) {
    DialectTestDatabase db;
    const std::string date = "to_date('2024-01-31 14:25:36', 'YYYY-MM-DD HH24:MI:SS')";
    expectValues(db, {
        {("trunc(" + date + ")").c_str(), "2024-01-31 00:00:00"},
        {("trunc(" + date + ", 'mm')").c_str(), "2024-01-01 00:00:00"},
        {("trunc(" + date + ", 'YYYY')").c_str(), "2024-01-01 00:00:00"},
        {("trunc(" + date + ", 'HH24')").c_str(), "2024-01-31 14:00:00"},
        {("trunc(" + date + ", 'MI')").c_str(), "2024-01-31 14:25:00"},
        {("add_months(" + date + ", 1)").c_str(), "2024-02-29 14:25:36"},
        {("add_months(" + date + ", -2)").c_str(), "2023-11-30 14:25:36"},
        {"add_months(to_date('2024-02-29', 'YYYY-MM-DD'), 12)", "2025-02-28 00:00:00"},
        {"add_months(to_date('2023-02-28', 'YYYY-MM-DD'), 1)", "2023-03-31 00:00:00"},
        {"add_months(to_date('2024-01-15', 'YYYY-MM-DD'), 13)", "2025-02-15 00:00:00"},
        {"last_day(to_date('2023-02-10', 'YYYY-MM-DD'))", "2023-02-28 00:00:00"},
        {"trunc(2.7)", "2"},
        {"trunc(-2.7)", "-2"},
        {"trunc(3.14159, 2)", "3.14"},
        {"trunc(null)", kNull},
    });
    EXPECT_EQ(db.errorNumber("select trunc(sysdate, 'QQ') from dual"), 1821);
    EXPECT_EQ(db.errorNumber("select add_months('soon', 1) from dual"), 1722);
}

TEST(DialectFunctions, ConversionErrorsAreTheServers) {
    DialectTestDatabase db;
    const std::vector<std::pair<const char*, int>> cases{
        {"select to_date('2024-13-01', 'YYYY-MM-DD') from dual", 1843},
        {"select to_date('2024-02-30', 'YYYY-MM-DD') from dual", 1847},
        {"select to_date('2023-02-29', 'YYYY-MM-DD') from dual", 1847},
        {"select to_date('x', 'YYYY') from dual", 1861},
        {"select to_date('2024-01-01 junk', 'YYYY-MM-DD') from dual", 1830},
        {"select to_char(sysdate, 'QQQ') from dual", 1821},
        {"select to_number('abc') from dual", 1722},
        {"select to_char('abc', 'YYYY') from dual", 1722},
    };
    for (const auto& [sql, number] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(db.errorNumber(sql), number) << db.lastError();
    }
    EXPECT_EQ(db.scalar("select to_date('2024-02-29', 'YYYY-MM-DD') from dual"), "2024-02-29 00:00:00");
}

class DialectRownum : public ::testing::Test {
protected:
    void SetUp() override {
        db.execute("create table nums (n number)");
        for (int i = 5; i >= 1; --i) db.execute("insert into nums values (" + std::to_string(i) + ")");
    }
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> values;
        for (const auto& row : db.query(sql)) values.push_back(row[0]);
        return values;
    }
    DialectTestDatabase db;
};

TEST_F(DialectRownum, ConditionsOfTheOuterQueryLimitTheRows) {
    using Values = std::vector<std::string>;
    EXPECT_EQ(column("select n from (select n from nums order by n) where rownum <= 3"), (Values{"1", "2", "3"}));
    EXPECT_EQ(column("select n from (select n from nums order by n) where rownum < 3;"), (Values{"1", "2"}));
    EXPECT_EQ(column("select n from nums where n > 2 and ROWNUM = 1 order by n"), (Values{"3"}));
    EXPECT_TRUE(column("select n from nums where rownum = 2").empty());
    EXPECT_EQ(column("select count(*) from nums where rownum <= 100").size(), 1u);
}

TEST_F(DialectRownum, SelectListNumbersRowsAndOtherUsesAreRefused) {
    EXPECT_EQ(db.query("select rownum, n from nums where n <= 2").size(), 2u);
    EXPECT_EQ(db.scalar("select max(r) from (select rownum r from nums)"), "5");
    EXPECT_EQ(db.errorNumber("select n from nums where n = 1 or rownum < 3"), 904);
    EXPECT_EQ(db.lastError(), "ORA-00904: \"ROWNUM\": invalid identifier");
}

TEST(DialectClauses, ForUpdateAndAFinalSemicolonAreAccepted) {
    DialectTestDatabase db;
    db.execute("create table t (x number);");
    db.execute("insert into t values (1);");
    EXPECT_EQ(db.scalar("select x from t where x = 1 for update"), "1");
    EXPECT_EQ(db.scalar("select x from t for update of x nowait;"), "1");
    EXPECT_EQ(db.scalar("select x from t /* trailing */ ; -- done"), "1");
}

TEST(DialectFunctions, LongColumnsKeepTextAsWritten) {
    DialectTestDatabase db;
    db.execute("create table notes (id number, body long)");
    db.execute("insert into notes values (1, '007')");
    db.execute("insert into notes values (2, :b)", {{"b", "1e3"}});
    EXPECT_EQ(db.scalar("select body from notes where id = 1"), "007");
    EXPECT_EQ(db.scalar("select body from notes where id = 2"), "1e3");
}

}  // namespace
