// Queries against the engine: open and close, parameters by position, name and
// index, fields by position and name, rows, getOne, reset and dates.
#include <gtest/gtest.h>

#include <string>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

class Query : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create table t (id number, name varchar2(20), born date)");
    }

    void insert(int id, const char* name)
    {
        ODbQuery query(*connection_);
        query.open("insert into t (id, name) values (:id, :name)");
        query.paramByName("id").initParam(supLongInt, 0, 1);
        query.paramByName("id").setLongInt(id);
        query.paramByName("name").initParam(supCString, 20, 1);
        query.paramByName("name").setCString(name);
        query.exec(1);
        EXPECT_EQ(1u, query.getRowProc());
    }

    void insertMany(int n)
    {
        for (int i = 0; i < n; ++i)
            insert(i, ("n" + std::to_string(i)).c_str());
    }

    Utils::RefCountPtr<ODbConnect> connection_;
};

TEST_F(Query, OpenCloseRules)
{
    ODbQuery query(*connection_);
    EXPECT_FALSE(query.isOpen());
    DbTest::expectPrecondition([&] { query.close(); }, "ODbQuery instance must be open");
    query.open("select id from t");
    DbTest::expectPrecondition([&] { query.open("select id from t"); }, "ODbQuery instance must be close");
    query << "delete from t"; // closes and opens the new text
    EXPECT_TRUE(query.isOpen());
    EXPECT_FALSE(query.isSelStmt());
    query.close();
    EXPECT_FALSE(query.isOpen());
    EXPECT_EQ(0, query.getParamCount());
}

TEST_F(Query, FailedOpenLeavesTheQueryClosed)
{
    ODbQuery query(*connection_);
    const char* sql = "select id from missing";
    DbTest::expectServerError([&] { query.open(sql); }, "ORA-00942", sql);
    EXPECT_FALSE(query.isOpen());
    query.open("select id from t");
    EXPECT_TRUE(query.isSelStmt());
}

TEST_F(Query, StatementKindIsChecked)
{
    ODbQuery query(*connection_);
    query.open("select id from t");
    DbTest::expectPrecondition([&] { query.exec(1); }, "SQL \"select...\" statement must not be processed");
    query << "delete from t";
    DbTest::expectPrecondition([&] { query.next(); }, "SQL select... statement must be processed");
    DbTest::expectPrecondition([&] { query.getOne(); }, "SQL select... statement must be processed");
    DbTest::expectPrecondition([&] { query.fieldByPos(1); }, "SQL select... statement must be processed");
    DbTest::expectPrecondition([&] { query.exec(0); }, "Iteration count must be at least 1");
}

// A keyword in a leading comment or a literal does not make a query anything else.
TEST_F(Query, KeywordsInCommentsDoNotHideTheQuery)
{
    insertMany(2);
    ODbQuery query(*connection_);
    query.open("-- DELETE rows once read\n/* update */ select name from t where name <> 'drop' order by id");
    EXPECT_TRUE(query.isSelStmt());
    ASSERT_TRUE(query.next());
    EXPECT_STREQ("n0", query.fieldByPos(1).getCString());
    ASSERT_TRUE(query.next());
    EXPECT_FALSE(query.next());
    EXPECT_EQ(2L, queryLong(*connection_, "select count(*) from t"));
}

TEST_F(Query, ColumnBuffersHoldOneBatch)
{
    ODbQuery query(*connection_);
    query.open("select id, name, born from t");
    ASSERT_EQ(3, query.getColumnCount());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(static_cast<unsigned int>(ODbOraGlobal::Ptr->getFetchSize()),
                  query.fieldByPos(i).getDynamicVariable()->getArraySize());
    }
    EXPECT_STREQ("ID", query.getColumnName(1));
    EXPECT_STREQ("BORN", query.getColumnName(3));
    DbTest::expectPrecondition([&] { query.getColumnName(4); },
                               "Query result set column position does not match its name");
    // Before the first next, fields read element 0, which is still NULL.
    EXPECT_TRUE(query.fieldByPos(1).isNull());
}

TEST_F(Query, FieldsByPositionAndFoldedName)
{
    insert(7, "seven");
    ODbQuery query(*connection_);
    query.open("select id, name from t");
    ASSERT_TRUE(query.next());
    EXPECT_EQ(7, query.fieldByName("ID").getLongInt());
    EXPECT_STREQ("seven", query.fieldByName("NAME").getCString());
    EXPECT_EQ("seven", query.fieldByPos(2).getString());
    // Unquoted names are folded to upper case; other spellings are no column.
    for (const char* name : {"name", "Name", "NAMES", ""})
        DbTest::expectPrecondition([&] { query.fieldByName(name); }, "Query result set has no such column");
    for (int position : {0, -1, 3})
        DbTest::expectPrecondition([&] { query.fieldByPos(position); }, "Query result set has no such column");
    EXPECT_FALSE(query.next());
}

TEST_F(Query, ParametersByPositionAndName)
{
    insertMany(5);
    ODbQuery query(*connection_);
    query.open("select name from t where id = :1 or name = :other order by id");
    ASSERT_EQ(2, query.getParamCount());
    ODbBindVariable* first = static_cast<ODbBindVariable*>(query.getParam(1).getDynamicVariable());
    ODbBindVariable* second = static_cast<ODbBindVariable*>(query.getParam(2).getDynamicVariable());
    EXPECT_EQ(1, first->getBindPos());
    EXPECT_EQ(nullptr, first->getBindName());
    EXPECT_EQ(-1, second->getBindPos());
    EXPECT_STREQ("other", second->getBindName());
    query.paramByPos(1).initParam(supLongInt, 0, 1);
    query.paramByPos(1).setLongInt(1);
    ODbParam& other = query.paramByName("OTHER", "NAME"); // typed like NAME, any case
    EXPECT_EQ(extString, other.getDynamicVariable()->getFtype());
    EXPECT_EQ(21u, other.getDynamicVariable()->getElemSize());
    other.setCString("n3");
    ASSERT_TRUE(query.next());
    EXPECT_EQ("n1", query.fieldByPos(1).getString());
    ASSERT_TRUE(query.next());
    EXPECT_EQ("n3", query.fieldByPos(1).getString());
    EXPECT_FALSE(query.next());
}

TEST_F(Query, ParameterLookupsThatFindNothingAreRefused)
{
    ODbQuery query(*connection_);
    query.open("select name from t where id = :1");
    DbTest::expectPrecondition([&] { query.paramByName("missing"); }, "");
    DbTest::expectPrecondition([&] { query.paramByPos(2); }, "");
    DbTest::expectPrecondition([&] { query.getParam(0); }, "Query has no such parameter");
    DbTest::expectPrecondition([&] { query.getParam(2); }, "Query has no such parameter");
    DbTest::expectPrecondition([&] { query.paramByPos(1, "NOPE"); }, "Query result set has no such column");
    DbTest::expectPrecondition([&] { query.next(); }, "Query parameter must be typed before execution");
}

// A placeholder used twice gives two variables of that name, both bound by it.
TEST_F(Query, OneNameTwice)
{
    ODbQuery query(*connection_);
    query.open("insert into t (id, name) values (:a, :a)");
    ASSERT_EQ(2, query.getParamCount());
    EXPECT_STREQ("a", static_cast<ODbBindVariable*>(query.getParam(2).getDynamicVariable())->getBindName());
    ODbParam& first = query.paramByName("a");
    EXPECT_EQ(query.getParam(1).getDynamicVariable(), first.getDynamicVariable());
    for (int i = 1; i <= 2; ++i) {
        query.getParam(i).initParam(supCString, 10, 1);
        query.getParam(i).setCString("42");
    }
    query.exec(1);
    EXPECT_EQ("42", queryText(*connection_, "select name from t where id = 42"));
}

TEST_F(Query, ArrayInsertWithIterationCount)
{
    ODbQuery query(*connection_);
    query.open("insert into t (id, name) values (:1, :2)");
    query.getParam(1).initParam(supLongInt, 0, 4);
    query.getParam(2).initParam(supCString, 20, 4);
    for (unsigned int i = 0; i < 4; ++i) {
        query.getParam(1).setLongInt(100 + i, i);
        query.getParam(2).setCString(("row" + std::to_string(i)).c_str(), i);
    }
    query.exec(4);
    EXPECT_EQ(4u, query.getRowProc());
    EXPECT_EQ(4, queryLong(*connection_, "select count(*) from t"));
    EXPECT_EQ("row3", queryText(*connection_, "select name from t where id = 103"));
}

TEST_F(Query, GetOne)
{
    ODbQuery query(*connection_);
    query.open("select name from t order by id");
    EXPECT_TRUE(query.getOne()); // no rows at all
    insert(1, "only");
    query.reset();
    EXPECT_TRUE(query.getOne());
    EXPECT_EQ("only", query.fieldByPos(1).getString());
    insert(2, "second");
    query.reset();
    EXPECT_FALSE(query.getOne());
}

TEST_F(Query, RowCopiesOutliveTheCursorPosition)
{
    insertMany(3);
    ODbQuery query(*connection_);
    query.open("select id, name from t order by id");
    ASSERT_TRUE(query.next());
    ASSERT_TRUE(query.next());
    ODbRow<ODbData> row = query.getRow();
    ASSERT_EQ(2, row.getCount());
    EXPECT_EQ(1u, row.getVariable(1)->getArraySize());
    ASSERT_TRUE(query.next());
    EXPECT_EQ(1, row.getField(1).getLongInt());
    EXPECT_EQ("n1", row.getField(2).getString());
    ODbRow<ODbData> copy = row;
    EXPECT_EQ("n1", copy.getField(2).getString());
    DbTest::expectPrecondition([&] { row.getField(3); }, "Query result set has no such column");
}

TEST_F(Query, ResetOnTheSameConnectionStartsOver)
{
    insertMany(3);
    ODbQuery query(*connection_);
    query.open("select id from t order by id");
    ASSERT_TRUE(query.next());
    ASSERT_TRUE(query.next());
    query.reset();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(0, query.fieldByPos(1).getLongInt());
    EXPECT_EQ(3u, query.getRowProc());
}

// A query moved to another connection prepares itself there at reset.
TEST_F(Query, ResetAfterTheConnectionMoved)
{
    insertMany(2);
    connection_->commit();
    Utils::RefCountPtr<ODbConnect> other = connect();
    ODbQuery query(*connection_);
    query.open("select name from t where id = :1");
    query.paramByPos(1).initParam(supLongInt, 0, 1);
    query.paramByPos(1).setLongInt(1);
    ASSERT_TRUE(query.next());
    query.setOraConnect(*other);
    query.reset();
    connection_->logoff(); // the query no longer needs the first connection
    ASSERT_TRUE(query.next());
    EXPECT_EQ("n1", query.fieldByPos(1).getString());
}

TEST_F(Query, DescriptionSharedByTwoQueries)
{
    insertMany(2);
    const ODbQueryDescrObj description(*connection_, "select name from t order by id", false);
    EXPECT_TRUE(description.isSelectStatement());
    ODbQuery a(*connection_);
    ODbQuery b(*connection_);
    a.open(description);
    b.open(description);
    ASSERT_TRUE(a.next());
    ASSERT_TRUE(b.next());
    ASSERT_TRUE(b.next());
    EXPECT_EQ("n0", a.fieldByPos(1).getString());
    EXPECT_EQ("n1", b.fieldByPos(1).getString());
    EXPECT_EQ(&description, &a.getDescrObj());
}

// Colons inside literals are text, so a time mask is not taken for a placeholder.
TEST_F(Query, ColonsInLiteralsAreNotPlaceholders)
{
    ODbQuery query(*connection_);
    query.open("insert into t (id, name) values (:id, 'at 10:30:00') -- :note");
    ASSERT_EQ(1, query.getParamCount());
    query.paramByName("id").initParam(supLongInt, 0, 1);
    query.paramByName("id").setLongInt(5);
    query.exec(1);
    EXPECT_EQ("at 10:30:00", queryText(*connection_, "select name from t where id = 5"));
}

TEST_F(Query, DatesBothWays)
{
    ODbQuery insertQuery(*connection_);
    insertQuery.open("insert into t (id, born) values (1, :born)");
    ODbParam& born = insertQuery.paramByName("born");
    born.initParam(supDate, 0, 1);
    ODbDynamicVariable value(extDate, 7, 1); // the view writes into this element
    ODbDate date(value, 0);
    char text[] = "19/10/2002 14:05:09";
    date.fromCstring(text);
    born.setDate(date);
    insertQuery.exec(1);

    ODbQuery select(*connection_);
    select.open("select born from t where id = 1");
    ASSERT_TRUE(select.next());
    ODbDate& read = select.fieldByName("BORN").getDate();
    EXPECT_EQ(2002, read.getYear());
    EXPECT_EQ(10, read.getMonth());
    EXPECT_EQ(19, read.getDay());
    EXPECT_EQ(14, read.getHour());
    EXPECT_EQ(5, read.getMin());
    EXPECT_EQ(9, read.getSec());
    EXPECT_STREQ("19/10/2002 14:05:09", read.toCstring());
}

TEST_F(Query, CancelEndsTheRowsUntilReset)
{
    insertMany(3);
    ODbQuery query(*connection_);
    query.open("select id from t order by id");
    ASSERT_TRUE(query.next());
    EXPECT_EQ(3u, query.getRowProc());
    query.cancel();
    EXPECT_FALSE(query.next());
    query.reset();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(0, query.fieldByPos(1).getLongInt());
    query << "delete from t";
    DbTest::expectPrecondition([&] { query.cancel(); }, "SQL select... statement must be processed");
    query.close();
    DbTest::expectPrecondition([&] { query.getDescrObj(); }, "ODbQuery instance must be open");
    DbTest::expectPrecondition([&] { query.reset(); }, "ODbQuery instance must be open");
}

TEST_F(Query, ExecErrorsCarryTheStatement)
{
    execSql(*connection_, "create table u (id number primary key)");
    ODbQuery query(*connection_);
    const char* sql = "insert into u values (1)";
    query.open(sql);
    query.exec(1);
    DbTest::expectServerError([&] { query.exec(1); }, "ORA-00001", sql);
    EXPECT_TRUE(query.isOpen()); // the query stays usable
}

} // namespace
