// The catalog's describes on a real database: declared types as the server
// reports them, nullability, views, result-column inference, object kinds and
// the schema listing, which never shows the engine's own tables.
#include "DialectTestDatabase.h"

#include <gtest/gtest.h>

using dialect_test::DialectTestDatabase;
using engine::ColumnDescription;
using engine::InternalType;
using engine::ObjectKind;

namespace {

struct ColumnCase {
    const char* declaration;  // column definition in the client's DDL
    InternalType type;
    unsigned size;
    int precision;
    int scale;
    bool nullable;
};

void expectColumn(const ColumnDescription& column, const ColumnCase& c) {
    EXPECT_EQ(column.type, c.type);
    EXPECT_EQ(column.size, c.size);
    EXPECT_EQ(column.precision, c.precision);
    EXPECT_EQ(column.scale, c.scale);
    EXPECT_EQ(column.nullable, c.nullable);
}

TEST(CatalogDescribe, DeclaredTypesAsTheServerReportsThem) {
    const std::vector<ColumnCase> cases{
        {"c_varchar varchar2(20)", InternalType::Varchar2, 20, 0, 0, true},
        {"c_money NUMBER(10,2)", InternalType::Number, 22, 10, 2, true},
        {"c_number number", InternalType::Number, 22, 0, -127, true},
        {"c_int number(5)", InternalType::Number, 22, 5, 0, true},
        {"c_integer integer", InternalType::Number, 22, 38, 0, true},
        {"c_date date", InternalType::Date, 7, 0, 0, true},
        {"c_raw raw(16)", InternalType::Raw, 16, 0, 0, true},
        {"c_char char(3)", InternalType::Char, 3, 0, 0, true},
        {"c_char1 char", InternalType::Char, 1, 0, 0, true},
        {"c_long long", InternalType::Long, 0, 0, 0, true},
        {"c_clob clob", InternalType::Clob, 4000, 0, 0, true},
        {"c_blob blob", InternalType::Blob, 4000, 0, 0, true},
        {"c_required varchar2(5) not null", InternalType::Varchar2, 5, 0, 0, false},
        {"c_key number(9) primary key", InternalType::Number, 22, 9, 0, false},
    };
    std::string ddl = "create table typed (";
    for (const ColumnCase& c : cases) ddl += std::string(c.declaration) + (&c == &cases.back() ? ")" : ", ");
    DialectTestDatabase db;
    db.execute(ddl);
    const std::vector<ColumnDescription> columns = db.catalog().describeObject("TYPED");
    ASSERT_EQ(columns.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].declaration);
        const std::string declaration = cases[i].declaration;
        EXPECT_EQ(columns[i].name, engine::identifierName(declaration.substr(0, declaration.find(' '))));
        expectColumn(columns[i], cases[i]);
    }
}

TEST(CatalogDescribe, LongRawAndQuotedColumnNames) {
    DialectTestDatabase db;
    db.execute("create table pics (\"Id\" number, \"data\" long raw)");
    const auto columns = db.catalog().describeObject("pics");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, "Id");
    EXPECT_EQ(columns[1].name, "data");
    EXPECT_EQ(columns[1].type, InternalType::LongRaw);
}

TEST(CatalogDescribe, NamesAreTakenAsWrittenInSql) {
    DialectTestDatabase db;
    db.execute("create table emp (id number)");
    EXPECT_EQ(db.catalog().describeObject("EMP").size(), 1u);
    EXPECT_EQ(db.catalog().describeObject("emp").size(), 1u);
    EXPECT_EQ(db.catalog().describeObject("\"EMP\"").size(), 1u);
    EXPECT_EQ(db.catalog().describeObject("SCOTT.EMP").size(), 1u);
    try {
        db.catalog().describeObject("\"emp\"");
        FAIL() << "a quoted lower-case name must not find EMP";
    } catch (const engine::OraError& error) {
        EXPECT_EQ(error.number(), 4043);
        EXPECT_STREQ(error.what(), "ORA-04043: object \"emp\" does not exist");
    }
}

TEST(CatalogDescribe, ViewsSequencesAndMissingObjects) {
    DialectTestDatabase db;
    db.execute("create table emp (id number(4) not null, name varchar2(10))");
    db.execute("create view staff as select id, name as who from emp");
    db.execute("create sequence emp_seq");
    const auto columns = db.catalog().describeObject("staff");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, "ID");
    EXPECT_EQ(columns[0].precision, 4);
    EXPECT_FALSE(columns[0].nullable);
    EXPECT_EQ(columns[1].name, "WHO");
    EXPECT_EQ(columns[1].size, 10u);
    EXPECT_EQ(db.catalog().objectKind("emp"), ObjectKind::Table);
    EXPECT_EQ(db.catalog().objectKind("STAFF"), ObjectKind::View);
    EXPECT_EQ(db.catalog().objectKind("emp_seq"), ObjectKind::Sequence);
    EXPECT_EQ(db.catalog().objectKind("nothing"), std::nullopt);
    EXPECT_EQ(db.catalog().objectKind("\"^$DUAL\""), std::nullopt);
    EXPECT_EQ(db.catalog().objectKind("not a name"), std::nullopt);
    EXPECT_THROW(db.catalog().describeObject("emp_seq"), engine::OraError);
}

TEST(CatalogDescribe, SchemaListingHasUserObjectsOnlyInNameOrder) {
    DialectTestDatabase db;
    db.execute("create table b_table (x number)");
    db.execute("create view a_view as select x from b_table");
    db.execute("create sequence c_seq");
    db.execute("create table \"lower\" (x number)");
    db.execute("create index b_index on b_table (x)");
    const auto objects = db.catalog().listObjects();
    std::vector<std::pair<std::string, ObjectKind>> listed;
    for (const auto& object : objects) listed.emplace_back(object.name, object.kind);
    const std::vector<std::pair<std::string, ObjectKind>> expected{
        {"A_VIEW", ObjectKind::View}, {"B_TABLE", ObjectKind::Table},
        {"C_SEQ", ObjectKind::Sequence}, {"lower", ObjectKind::Table}};
    EXPECT_EQ(listed, expected);
}

TEST(CatalogDictionary, UserViewsListTheUsersObjectsWithTheServersKinds) {
    DialectTestDatabase db;
    db.execute("create table b_table (x number primary key)");
    db.execute("create view a_view as select x from b_table");
    db.execute("create sequence c_seq increment by 5");
    db.execute("create table \"lower\" (x number)");
    db.execute("create index b_index on b_table (x)");
    const std::vector<dialect_test::Row> objects{{"A_VIEW", "VIEW"},   {"B_INDEX", "INDEX"},
                                                 {"B_TABLE", "TABLE"}, {"C_SEQ", "SEQUENCE"},
                                                 {"lower", "TABLE"}};
    EXPECT_EQ(db.query("select OBJECT_NAME, OBJECT_TYPE from USER_OBJECTS order by 1"), objects);
    EXPECT_EQ(db.query("select table_name from user_tables order by table_name"),
              (std::vector<dialect_test::Row>{{"B_TABLE"}, {"lower"}}));
    EXPECT_EQ(db.scalar("select view_name from sys.user_views"), "A_VIEW");
    EXPECT_EQ(db.query("select sequence_name, increment_by from user_sequences"),
              (std::vector<dialect_test::Row>{{"C_SEQ", "5"}}));
}

TEST(CatalogDictionary, OtherSessionsSeeNewObjects) {
    dialect_test::TempDatabaseFile file;
    DialectTestDatabase first(file.path());
    DialectTestDatabase second(file.path());
    first.execute("create table later (x number)");
    EXPECT_EQ(second.scalar("select object_name from user_objects"), "LATER");
}

struct ResultCase {
    const char* item;
    const char* name;
    InternalType type;
    unsigned size;
};

TEST(CatalogDescribe, ResultColumnsOfQueries) {
    DialectTestDatabase db;
    db.execute("create table emp (id number(6) primary key, name varchar2(30), hired date)");
    db.execute("create sequence s");
    const std::vector<ResultCase> cases{
        {"id", "ID", InternalType::Number, 22},
        {"e.name as \"Who\"", "Who", InternalType::Varchar2, 30},
        {"count(*)", "COUNT(*)", InternalType::Number, 22},
        {"id + 1", "ID+1", InternalType::Number, 22},
        {"'abc'", "'abc'", InternalType::Char, 3},
        {"'it''s' q", "Q", InternalType::Char, 4},
        {"name || 'x'", "NAME||'x'", InternalType::Varchar2, 4000},
        {"upper(name)", "UPPER(NAME)", InternalType::Varchar2, 4000},
        {"nvl(name, 'x') n", "N", InternalType::Varchar2, 4000},
        {"sysdate", "SYSDATE", InternalType::Date, 7},
        {"to_date('2024-01-01', 'YYYY-MM-DD') d", "D", InternalType::Date, 7},
        {"s.nextval", "NEXTVAL", InternalType::Number, 22},
        {"substr(name, 1, 2)", "SUBSTR(NAME,1,2)", InternalType::Varchar2, 4000},
        {"-5", "-5", InternalType::Number, 22},
        {"sysdate - 1", "SYSDATE-1", InternalType::Date, 7},
        {"trunc(sysdate) t", "T", InternalType::Date, 7},
        {"trunc(id / 2)", "TRUNC(ID/2)", InternalType::Number, 22},
        {"add_months(sysdate, 1)", "ADD_MONTHS(SYSDATE,1)", InternalType::Date, 7},
        {"sysdate - to_date('2024-01-01', 'YYYY-MM-DD') days", "DAYS", InternalType::Number, 22},
        {"id - 1 || name", "ID-1||NAME", InternalType::Varchar2, 4000},
        // A date column plus or minus days is a date; the days between two dates a number.
        {"hired + 1", "HIRED+1", InternalType::Date, 7},
        {"e.hired - 0.5 h", "H", InternalType::Date, 7},
        {"1 + e . hired", "1+E.HIRED", InternalType::Date, 7},
        {"hired - hired", "HIRED-HIRED", InternalType::Number, 22},
        {"sysdate - hired", "SYSDATE-HIRED", InternalType::Number, 22},
        {"hired + id", "HIRED+ID", InternalType::Date, 7},
        {"id + id", "ID+ID", InternalType::Number, 22},
        {"hired || 'x'", "HIRED||'x'", InternalType::Varchar2, 4000},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.item);
        const auto translated = engine::translateSql(std::string("select ") + c.item + " from emp e");
        ASSERT_FALSE(translated.error);
        DialectTestDatabase::Statement statement(db.db(), translated.sql);
        const ColumnDescription column = db.catalog().describeResultColumn(statement.stmt, 0, translated);
        EXPECT_EQ(column.name, c.name);
        EXPECT_EQ(column.type, c.type);
        EXPECT_EQ(column.size, c.size);
    }
}

TEST(CatalogDescribe, StarQueriesAndValuesAlreadyFetched) {
    DialectTestDatabase db;
    db.execute("create table emp (id number(6) not null, \"name\" varchar2(30))");
    db.execute("insert into emp values (1, 'a')");
    const auto star = engine::translateSql("select e.*, id * 2 from emp e");
    DialectTestDatabase::Statement statement(db.db(), star.sql);
    EXPECT_EQ(db.catalog().describeResultColumn(statement.stmt, 0, star).name, "ID");
    EXPECT_FALSE(db.catalog().describeResultColumn(statement.stmt, 0, star).nullable);
    EXPECT_EQ(db.catalog().describeResultColumn(statement.stmt, 1, star).name, "name");
    EXPECT_EQ(db.catalog().describeResultColumn(statement.stmt, 2, star).type, InternalType::Number);

    const auto coalesced = engine::translateSql("select max(id) from emp");
    DialectTestDatabase::Statement fetched(db.db(), coalesced.sql);
    ASSERT_EQ(sqlite3_step(fetched.stmt), SQLITE_ROW);
    EXPECT_EQ(db.catalog().describeResultColumn(fetched.stmt, 0, coalesced).type, InternalType::Number);
}

// SQLite names a view's repeated columns "A:1", ...; the server repeats the
// plain names. A name of the user's own with a colon stays as written.
TEST(CatalogDescribe, RepeatedColumnNamesStayPlain) {
    DialectTestDatabase db;
    db.execute("create table t (a number, b varchar2(5))");
    db.execute("create table u (a number, b varchar2(5))");
    db.execute("create view w as select t.a, u.a, t.b, u.b from t, u");
    db.execute("create table q (a number, \"X:1\" number, \"A:x\" number)");
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases{
        {"select * from \"W\"", {"A", "A", "B", "B"}},
        {"select w.* from w", {"A", "A", "B", "B"}},
        {"select * from q", {"A", "X:1", "A:x"}},
    };
    for (const auto& [sql, names] : cases) {
        SCOPED_TRACE(sql);
        const auto translated = engine::translateSql(sql);
        ASSERT_FALSE(translated.error);
        DialectTestDatabase::Statement statement(db.db(), translated.sql);
        std::vector<std::string> described;
        for (int i = 0; i < sqlite3_column_count(statement.stmt); ++i)
            described.push_back(db.catalog().describeResultColumn(statement.stmt, i, translated).name);
        EXPECT_EQ(described, names);
    }
}

TEST(CatalogUsers, AccountsAreStoredExactlyAndOnce) {
    DialectTestDatabase db;
    EXPECT_FALSE(db.catalog().hasUsers());
    const std::string salt("\x00\x01\xff", 3);
    db.catalog().addUser({"SCOTT", salt, std::string("hash\0bytes", 10)});
    EXPECT_TRUE(db.catalog().hasUsers());
    const auto found = db.catalog().findUser("SCOTT");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->salt, salt);
    EXPECT_EQ(found->hash, std::string("hash\0bytes", 10));
    EXPECT_FALSE(db.catalog().findUser("scott"));
    EXPECT_THROW(db.catalog().addUser({"SCOTT", "s", "h"}), engine::OraError);
    EXPECT_TRUE(db.catalog().listObjects().empty());
}

TEST(CatalogInstall, SecondSessionOnTheSameFileFindsOneDualRow) {
    dialect_test::TempDatabaseFile file;
    DialectTestDatabase first(file.path());
    DialectTestDatabase second(file.path());
    EXPECT_EQ(second.scalar("select count(*) from dual"), "1");
    first.catalog().addUser({"OWNER", "s", "h"});
    EXPECT_TRUE(second.catalog().findUser("OWNER"));
}

}  // namespace
