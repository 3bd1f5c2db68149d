// Describes: the placeholder scan, statements, tables, views and schemas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

using Names = std::vector<std::string>;

struct ScanCase {
    const char* sql;
    Names expected;
};

TEST(PlaceholderScan, FindsPlaceholdersOutsideLiteralsAndComments)
{
    const ScanCase cases[] = {
        {"select * from t where a = :a and b = :b or a = :a", {"a", "b", "a"}},
        {"begin x := :y; end;", {"y"}},
        {"insert into t values (:1, :2)", {"1", "2"}},
        {"select :Mixed_Case9 from dual", {"Mixed_Case9"}},
        {"select to_char(d, 'HH24:MI:SS') from t where id = :id", {"id"}},
        {"select \"odd:name\" from t where x = :x", {"x"}},
        {"select 1 from t -- :gone\n where x = :kept", {"kept"}},
        {"select 1 /* :gone\n :also */ from t where x = :kept", {"kept"}},
        {"select 'it''s :not' from t where x = :x", {"x"}},
        {"select 'unterminated :x", {}},
        {"select 1 from t /* unterminated :x", {}},
        {"select a - :b from t", {"b"}},
        {"select a / :b from t", {"b"}},
        {": :: :=", {}},
        {"", {}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(c.expected, ODbDescribeSql::scanPlaceholders(c.sql));
    }
    EXPECT_EQ(Names(), ODbDescribeSql::scanPlaceholders(nullptr));
}

class Describe : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create table t (a varchar2(30) not null, b number(5,2), c date, d raw(16))");
    }

    Utils::RefCountPtr<ODbConnect> connection_;
};

TEST_F(Describe, StatementKinds)
{
    const struct {
        const char* sql;
        SQLKind kind;
    } cases[] = {
        {"select a from t", SqlSelect},
        {"update t set b = 1", SqlUpdate},
        {"delete from t", SqlDelete},
        {"insert into t (a) values (:a)", SqlInsert},
        {"create table u (x number)", SqlCreate},
        {"drop table t", SqlDrop},
        {"alter table t add (e number)", SqlAlter},
        {"begin dbms_session.sleep(0); end;", SqlBegin},
        {"declare x number; begin x := :y; end;", SqlDeclare},
        // Words in comments, literals and quoted names, or inside longer
        // names, are not the statement's keyword.
        {"-- DELETE the old rows first\nselect a from t", SqlSelect},
        {"/* drop, then */ insert into t (a) values ('update')", SqlInsert},
        {"update t set a = 'x' where a = 'select'", SqlUpdate},
        {"delete from t where a = (select max(a) from t)", SqlDelete},
        {"Select a dropped_at from t", SqlSelect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        Utils::RefCountPtr<ODbDescribeSql> d = ODbClassfactory::createODbDescribeSql(*connection_, c.sql);
        EXPECT_EQ(c.kind, d->getSqlKind());
        if (c.kind != SqlSelect) {
            EXPECT_TRUE(d->getDescription().empty());
            EXPECT_TRUE(d->getNumcols().empty());
        }
    }
}

// The release-7 build classifies by the text alone: a text without any of the
// nine keywords is taken for a block. The release-8 build asks the server,
// which knows other statements and reports no kind of the nine for them.
TEST_F(Describe, StatementWithoutAKeyword)
{
#ifdef VORDB73
    const SQLKind expected = SqlDeclare;
#else
    const SQLKind expected = SqlUnknown;
#endif
    for (const char* sql : {"commit", "rollback", "lock table t in exclusive mode"}) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(expected, ODbClassfactory::createODbDescribeSql(*connection_, sql)->getSqlKind());
    }
}

TEST_F(Describe, NonQueryGetsItsPlaceholders)
{
    Utils::RefCountPtr<ODbDescribeSql> d =
        ODbClassfactory::createODbDescribeSql(*connection_, "update t set a = :a, b = :b where a = :a");
    EXPECT_EQ(SqlUpdate, d->getSqlKind());
    EXPECT_EQ(Names({"a", "b", "a"}), d->getParamList());
}

TEST_F(Describe, SelectListColumns)
{
    Utils::RefCountPtr<ODbDescribeSql> d = ODbClassfactory::createODbDescribeSql(*connection_, "select a, b, c, d from t");
    const std::map<int, ODbColumnDesc>& columns = d->getDescription();
    ASSERT_EQ(4u, columns.size());
    const struct {
        const char* name;
        short type;
        int size;
        short precision;
        short scale;
        bool nullable;
    } expected[] = {
        {"A", intVarchar2, 30, 0, 0, false},
        {"B", intNumber, 22, 5, 2, true},
        {"C", intDate, 7, 0, 0, true},
        {"D", intRaw, 16, 0, 0, true},
    };
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        const ODbColumnDesc& column = columns.at(i);
        const auto& e = expected[i - 1];
        EXPECT_STREQ(e.name, column.name);
        EXPECT_STREQ(e.name, column.uniqueName);
        EXPECT_EQ(std::strlen(e.name), column.nameLength);
        EXPECT_EQ(e.type, column.dataType);
        if (e.type != intNumber) {
            EXPECT_EQ(e.size, column.dataSize);
        }
        EXPECT_EQ(e.precision, column.precision);
        EXPECT_EQ(e.scale, column.scale);
        EXPECT_EQ(e.nullable, column.nullable != 0);
        EXPECT_EQ(i, column.position);
        EXPECT_EQ(i, d->getNumcols().at(e.name));
    }
}

// Repeated names get "_" and one counter shared by the whole select list.
TEST_F(Describe, RepeatedColumnNamesBecomeUnique)
{
    Utils::RefCountPtr<ODbDescribeSql> d =
        ODbClassfactory::createODbDescribeSql(*connection_, "select a, a, b, b, a from t");
    const Names unique = {"A", "A_1", "B", "B_2", "A_3"};
    ASSERT_EQ(5u, d->getDescription().size());
    for (int i = 1; i <= 5; ++i) {
        EXPECT_STREQ(unique[i - 1].c_str(), d->getDescription().at(i).uniqueName);
        EXPECT_EQ(i, d->getNumcols().at(unique[i - 1]));
    }
    EXPECT_STREQ("A", d->getDescription().at(2).name);
    EXPECT_EQ(1, d->getNumcols().at("A"));
}

TEST_F(Describe, FailuresNameTheStatement)
{
    const char* sql = "select a from missing";
    DbTest::expectServerError([&] { ODbClassfactory::createODbDescribeSql(*connection_, sql); }, "ORA-00942", sql);
    DbTest::expectPrecondition([&] { ODbClassfactory::createODbDescribeSql(*connection_, ""); },
                               "SQL statement must be valid");
}

TEST_F(Describe, TableByItsExactName)
{
    execSql(*connection_, "create table \"MixedCase\" (\"low\" number, HIGH varchar2(4))");
    Utils::RefCountPtr<ODbDescribeTable> table = ODbClassfactory::createODbDescribeTable(*connection_, "MixedCase");
    ASSERT_EQ(2u, table->getDescription().size());
    EXPECT_STREQ("low", table->getDescription().at(1).name);
    EXPECT_STREQ("HIGH", table->getDescription().at(2).name);
    EXPECT_EQ(intVarchar2, table->getDescription().at(2).dataType);
    EXPECT_EQ(4, table->getDescription().at(2).dataSize);
    EXPECT_EQ(2, table->getNumcols().at("HIGH"));

    Utils::RefCountPtr<ODbDescribeTable> plain = ODbClassfactory::createODbDescribeTable(*connection_, "T");
    EXPECT_EQ(4u, plain->getDescription().size());
    EXPECT_EQ(5, plain->getDescription().at(2).precision);
    EXPECT_EQ(2, plain->getDescription().at(2).scale);
    // The release-7 build describes the query on the table, so the columns
    // carry their positions and a failure names that query.
#ifdef VORDB73
    EXPECT_EQ(2, table->getDescription().at(2).position);
#else
    EXPECT_EQ(0, table->getDescription().at(2).position);
#endif
    // An unquoted table is stored upper case; the quoted name is no other spelling.
    for (const char* name : {"t", "MIXEDCASE", "missing"}) {
        SCOPED_TRACE(name);
#ifdef VORDB73
        const std::string query = std::string("select * from \"") + name + "\"";
        const char* stmText = query.c_str();
#else
        const char* stmText = nullptr;
#endif
        DbTest::expectServerError([&] { ODbClassfactory::createODbDescribeTable(*connection_, name); }, "ORA-",
                                  stmText);
    }
}

TEST_F(Describe, ViewColumnsAsAQueryDescribesThem)
{
    execSql(*connection_, "create table u (a number, e number)");
    execSql(*connection_, "create view v as select t.a, t.b, u.e from t, u");
    Utils::RefCountPtr<ODbDescribeView> view = ODbClassfactory::createODbDescribeView(*connection_, "V");
    EXPECT_STREQ("select * from \"V\"", view->getQueryText());
    ASSERT_EQ(3u, view->getDescription().size());
    const Names names = {"A", "B", "E"};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_STREQ(names[i - 1].c_str(), view->getDescription().at(i).name);
        EXPECT_EQ(i, view->getDescription().at(i).position);
    }
    DbTest::expectServerError([&] { ODbClassfactory::createODbDescribeView(*connection_, "v"); }, "ORA-00942",
                              "select * from \"v\"");
}

// A view whose select list repeats a name gets the suffixes a query gets.
TEST_F(Describe, ViewWithRepeatedColumnNames)
{
    execSql(*connection_, "create table u (a number, b number)");
    execSql(*connection_, "create view w as select t.a, u.a, t.b, u.b from t, u");
    Utils::RefCountPtr<ODbDescribeView> view = ODbClassfactory::createODbDescribeView(*connection_, "W");
    const Names unique = {"A", "A_1", "B", "B_2"};
    ASSERT_EQ(4u, view->getDescription().size());
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(unique[i - 1].substr(0, 1).c_str(), view->getDescription().at(i).name);
        EXPECT_STREQ(unique[i - 1].c_str(), view->getDescription().at(i).uniqueName);
        EXPECT_EQ(i, view->getDescription().at(i).position);
        EXPECT_EQ(i, view->getNumcols().at(unique[i - 1]));
    }
}

TEST_F(Describe, SchemaListsEveryObjectOnce)
{
    execSql(*connection_, "create table u (x number)");
    execSql(*connection_, "create view v as select a from t");
    execSql(*connection_, "create sequence s start with 1 increment by 1");
    Utils::RefCountPtr<ODbDescribeSchema> schema = ODbClassfactory::createODbDescribeSchema(*connection_, "SCOTT");
    EXPECT_EQ(Names({"S", "T", "U", "V"}), schema->getObjectList(ObjAll));
    EXPECT_EQ(Names({"T", "U"}), schema->getObjectList(ObjTable));
    EXPECT_EQ(Names({"V"}), schema->getObjectList(ObjView));
    EXPECT_EQ(Names({"S"}), schema->getObjectList(ObjSequence));
    EXPECT_EQ(Names(), schema->getObjectList(ObjProcedure));
    const std::map<std::string, ObjectType> objects = schema->getObjectMap();
    EXPECT_EQ(ObjView, objects.at("V"));
    EXPECT_EQ(4u, objects.size());
}

// The release-7 build lists the logged-on user's objects whatever schema is
// named; the release-8 build describes the schema named.
TEST_F(Describe, SchemaOfAnotherName)
{
    execSql(*connection_, "create view v as select a from t");
#ifdef VORDB73
    for (const char* name : {"NOBODY", "x"}) {
        SCOPED_TRACE(name);
        Utils::RefCountPtr<ODbDescribeSchema> schema = ODbClassfactory::createODbDescribeSchema(*connection_, name);
        EXPECT_EQ(Names({"T", "V"}), schema->getObjectList(ObjAll));
        EXPECT_EQ(Names({"V"}), schema->getObjectList(ObjView));
    }
#else
    DbTest::expectServerError([&] { ODbClassfactory::createODbDescribeSchema(*connection_, "NOBODY"); },
                              "ORA-04043", nullptr);
#endif
}

TEST_F(Describe, SchemaNeedsAName)
{
    for (const char* name : {static_cast<const char*>(nullptr), ""})
        DbTest::expectPrecondition([&] { ODbClassfactory::createODbDescribeSchema(*connection_, name); },
                                   "Parameter can not be null");
}

} // namespace
