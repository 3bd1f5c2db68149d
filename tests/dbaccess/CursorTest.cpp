// Cursors against the engine: open and close rules, batch navigation across
// fetches, binds by position and name, and array execution.
#include <gtest/gtest.h>

#include <string>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

constexpr unsigned int FetchSize = 20;

class Cursor : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create table t (id number, name varchar2(20))");
    }

    // Rows 0..n-1 with id = row number.
    void fillRows(int n)
    {
        ODbDynamicVariable ids(extInt, 4, static_cast<unsigned int>(n));
        for (int i = 0; i < n; ++i)
            ODbArrayData(ids).setLongInt(i, static_cast<unsigned int>(i));
        Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
        cursor->open("insert into t (id) values (:1)");
        cursor->bind(1, ids, static_cast<unsigned int>(n));
        cursor->exec(static_cast<unsigned int>(n));
        EXPECT_EQ(static_cast<unsigned int>(n), cursor->getRowProc());
    }

    // A select cursor over the ids in order, defined into ids_.
    Utils::RefCountPtr<ODbSelectCursor> openIds()
    {
        Utils::RefCountPtr<ODbSelectCursor> cursor = ODbClassfactory::createODbSelectCursor(*connection_);
        cursor->open("select id from t order by id", FetchSize);
        cursor->define(1, ids_);
        return cursor;
    }

    long currentId(ODbSelectCursor& cursor)
    {
        return ODbArrayData(ids_).getLongInt(static_cast<unsigned int>(cursor.getCurAind()));
    }

    Utils::RefCountPtr<ODbConnect> connection_;
    ODbDynamicVariable ids_{extInt, 4, FetchSize};
};

TEST_F(Cursor, OpenAndCloseRules)
{
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    DbTest::expectPrecondition([&] { cursor->open(""); }, "SQL statement must be valid");
    DbTest::expectPrecondition([&] { cursor->open(nullptr); }, "SQL statement must be valid");
    DbTest::expectPrecondition([&] { cursor->close(); }, "\"ODbCursor\" object instance close");
    cursor->open("delete from t");
    EXPECT_TRUE(cursor->isOpen());
    DbTest::expectPrecondition([&] { cursor->open("delete from t"); }, "\"ODbCursor\" object instance is already open");
    cursor->close();
    EXPECT_FALSE(cursor->isOpen());
    cursor->open("delete from t"); // can be opened again
    cursor->exec(1);
    Utils::RefCountPtr<ODbSelectCursor> select = ODbClassfactory::createODbSelectCursor(*connection_);
    DbTest::expectPrecondition([&] { select->open("select id from t", 0); }, "Fetch size must be at least 1");
    DbTest::expectPrecondition([&] { select->close(); }, "\"ODbCursor\" object instance close");
}

TEST_F(Cursor, ExecuteFailureNamesTheStatementAndKeepsTheCursorOpen)
{
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    const char* sql = "delete from missing";
    DbTest::expectServerError(
        [&] {
            cursor->open(sql);
            cursor->exec(1);
        },
        "ORA-00942", sql);
    EXPECT_TRUE(cursor->isOpen());
    cursor->close();
}

// 45 rows in batches of 20: rows 0..19, 20..39, 40..44, then the end.
TEST_F(Cursor, WalksFortyFiveRowsAcrossBatches)
{
    fillRows(45);
    Utils::RefCountPtr<ODbSelectCursor> cursor = openIds();
    ASSERT_TRUE(cursor->first());
    EXPECT_EQ(0, cursor->getCurAind());
    EXPECT_EQ(20u, cursor->getRowProc());
    for (long row = 0; row < 45; ++row) {
        SCOPED_TRACE(row);
        if (row > 0) {
            ASSERT_TRUE(cursor->next());
        }
        EXPECT_EQ(static_cast<int>(row % FetchSize), cursor->getCurAind());
        EXPECT_EQ(row, currentId(*cursor));
        EXPECT_EQ(row < 20 ? 20u : row < 40 ? 40u : 45u, cursor->getRowProc());
    }
    EXPECT_FALSE(cursor->next());
    EXPECT_EQ(-1, cursor->getCurAind());
    EXPECT_TRUE(cursor->eof());
    // Without a current row, next starts over.
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(0, cursor->getCurAind());
    EXPECT_EQ(0, currentId(*cursor));
}

// Exactly two full batches: the call after row 39 fetches an empty batch.
TEST_F(Cursor, FortyRowsEndWithAnEmptyBatch)
{
    fillRows(40);
    Utils::RefCountPtr<ODbSelectCursor> cursor = openIds();
    long seen = 0;
    while (cursor->next()) {
        EXPECT_EQ(seen, currentId(*cursor));
        ++seen;
    }
    EXPECT_EQ(40, seen);
    EXPECT_EQ(-1, cursor->getCurAind());
    EXPECT_EQ(40u, cursor->getRowProc());
}

TEST_F(Cursor, NoRows)
{
    Utils::RefCountPtr<ODbSelectCursor> cursor = openIds();
    EXPECT_FALSE(cursor->first());
    EXPECT_EQ(-1, cursor->getCurAind());
    EXPECT_FALSE(cursor->next());
}

TEST_F(Cursor, CancelEndsTheFetchUntilReset)
{
    fillRows(30);
    Utils::RefCountPtr<ODbSelectCursor> cursor = openIds();
    ASSERT_TRUE(cursor->next());
    ASSERT_TRUE(cursor->next());
    cursor->cancel();
    EXPECT_FALSE(cursor->next());
    EXPECT_FALSE(cursor->next());
    cursor->reset();
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(0, currentId(*cursor));
}

TEST_F(Cursor, ResetStartsOver)
{
    fillRows(25);
    Utils::RefCountPtr<ODbSelectCursor> cursor = openIds();
    for (int i = 0; i < 22; ++i) {
        ASSERT_TRUE(cursor->next());
    }
    EXPECT_EQ(21, currentId(*cursor));
    cursor->reset();
    EXPECT_EQ(-1, cursor->getCurAind());
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(0, currentId(*cursor));
}

// Binds by position and by name, over arrays with an iteration count.
TEST_F(Cursor, ArrayInsertByPositionAndName)
{
    ODbDynamicVariable ids(extInt, 4, 3);
    ODbDynamicVariable names(extString, 21, 3);
    const char* texts[] = {"one", "two", "three"};
    for (unsigned int i = 0; i < 3; ++i) {
        ODbArrayData(ids).setLongInt(10 + i, i);
        ODbArrayData(names).setCString(texts[i], i);
    }
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    cursor->open("insert into t (id, name) values (:1, :name)");
    cursor->bind(1, ids, 3);
    cursor->bind("NAME", names, 3);
    cursor->exec(3);
    EXPECT_EQ(3u, cursor->getRowProc());
    EXPECT_EQ(3, queryLong(*connection_, "select count(*) from t"));
    EXPECT_EQ("two", queryText(*connection_, "select name from t where id = 11"));

    ODbDynamicVariable key(extInt, 4, 1);
    ODbArrayData(key).setLongInt(12, 0);
    Utils::RefCountPtr<ODbSelectCursor> select = ODbClassfactory::createODbSelectCursor(*connection_);
    ODbDynamicVariable found(extString, 21, FetchSize);
    select->open("select name from t where id = :k", FetchSize);
    select->bind("k", key, 1);
    select->define(1, found);
    ASSERT_TRUE(select->next());
    EXPECT_STREQ("three", ODbArrayData(found).getCString(0));
    EXPECT_FALSE(select->next());
}

TEST_F(Cursor, NullElementsAreInsertedAsNull)
{
    ODbDynamicVariable names(extString, 21, 2);
    ODbArrayData(names).setCString("x", 0); // element 1 stays NULL
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    cursor->open("insert into t (name) values (:1)");
    cursor->bind(1, names, 2);
    cursor->exec(2);
    EXPECT_EQ(1, queryLong(*connection_, "select count(*) from t where name is null"));
}

// A PL/SQL table bound without a fixed size hands its elements over through
// the dynamic callbacks, NULL elements included.
TEST_F(Cursor, TableBoundWithoutFixedSizeGoesThroughTheCallbacks)
{
    for (const char* value : {"x", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(value != nullptr ? value : "NULL");
        ODbDynamicVariable names(extString, 21, 3);
        ODbArrayData(names).setCString(value, 0);
        ODbArrayData(names).setCString("unused", 1);
        names.setPlSqlTab(true);
        Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
        cursor->open("insert into t (id, name) values (1, :1)");
        cursor->bind(1, names, 1);
        EXPECT_EQ(3u, names.getCurElements());
        cursor->exec(1);
        EXPECT_EQ(value != nullptr ? value : "", queryText(*connection_, "select name from t where id = 1"));
        EXPECT_EQ(value == nullptr ? 1 : 0, queryLong(*connection_, "select count(*) from t where name is null"));
        execSql(*connection_, "delete from t");
    }
}

TEST_F(Cursor, BindsThatCannotWorkAreRefused)
{
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    cursor->open("insert into t (id) values (:1)");
    ODbDynamicVariable twoLongs(extLong, 4, 2);
    DbTest::expectPrecondition([&] { cursor->bind(1, twoLongs, 1); }, "");
    ODbDynamicVariable one(extInt, 4, 1);
    DbTest::expectPrecondition([&] { cursor->bind("", one, 1); }, "Placeholder name must not be empty");
    ODbDynamicVariable two(extInt, 4, 2);
    DbTest::expectPrecondition([&] { cursor->bind(1, two, 3); },
                               "Iteration count exceeds the array size of a bound variable");
}

TEST_F(Cursor, UpdateCountsRowsProcessed)
{
    fillRows(7);
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection_);
    cursor->open("update t set name = 'even' where id in (0, 2, 4, 6)");
    cursor->exec(1);
    EXPECT_EQ(4u, cursor->getRowProc());
}

} // namespace
