// Anonymous PL/SQL blocks run through ODbQuery: the values a block returns
// through its binds are read from the parameters after exec, every parameter
// of a name reads the same, and a block's failure is an exception.
#include <gtest/gtest.h>

#include <strings.h>

#include <map>
#include <string>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

class BlockQuery : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create table t (id number, name varchar2(20))");
        execSql(*connection_, "insert into t values (1, 'one')");
        execSql(*connection_, "insert into t values (2, 'two')");
        execSql(*connection_, "commit");
    }

    // Types every parameter as the script runner does, by its place, numbers
    // as doubles and everything else as text, and gives it `values` by name.
    static void setParams(ODbQuery& query, const std::map<std::string, std::string>& values)
    {
        for (int i = 1; i <= query.getParamCount(); ++i) {
            ODbParam& param = query.getParam(i);
            const std::string name = static_cast<ODbBindVariable*>(param.getDynamicVariable())->getBindName();
            const bool number = strcasecmp(name.c_str(), "n") == 0 || strcasecmp(name.c_str(), "id") == 0;
            param.initParam(number ? supDouble : supCString, number ? 0 : 20, 1);
            param.setCString(values.at(name).c_str());
        }
    }

    Utils::RefCountPtr<ODbConnect> connection_;
};

TEST_F(BlockQuery, OutValuesAreReadFromTheParametersAfterExec)
{
    ODbQuery query(*connection_);
    query.open("begin :n := :n * 2; :s := upper(:s) || :n; end;");
    ASSERT_EQ(5, query.getParamCount());
    setParams(query, {{"n", "21"}, {"s", "abc"}});
    query.exec(1);
    EXPECT_DOUBLE_EQ(42, query.paramByName("n").getDouble());
    EXPECT_EQ("ABC42", std::string(query.paramByName("S").getString()));
    // Every occurrence of a name reads what the block returned.
    for (int i : {1, 2, 5})
        EXPECT_DOUBLE_EQ(42, query.getParam(i).getDouble()) << i;
    for (int i : {3, 4})
        EXPECT_EQ("ABC42", std::string(query.getParam(i).getString())) << i;

    // Executed again, the block starts from the returned values.
    query.exec(1);
    EXPECT_DOUBLE_EQ(84, query.getParam(5).getDouble());
}

TEST_F(BlockQuery, SelectIntoReturnsTheRowOrFailsWithNoDataFound)
{
    const char* block = "begin select name into :s from t where id = :id; end;";
    ODbQuery query(*connection_);
    query.open(block);
    setParams(query, {{"s", "before"}, {"id", "2"}});
    query.exec(1);
    EXPECT_EQ("two", std::string(query.paramByName("s").getString()));

    // An escaping NO_DATA_FOUND is the block's failure, not an empty result.
    query.paramByName("id").setDouble(99);
    DbTest::expectServerError([&] { query.exec(1); }, "ORA-01403: no data found", block);
    EXPECT_EQ("two", std::string(query.paramByName("s").getString()));
}

TEST_F(BlockQuery, ChangesOfABlockAreUndoneByRollback)
{
    ODbQuery query(*connection_);
    query.open("begin delete from t where id = :id; :s := 'deleted'; end;");
    setParams(query, {{"s", ""}, {"id", "1"}});
    query.exec(1);
    EXPECT_EQ("deleted", std::string(query.paramByName("s").getString()));
    EXPECT_EQ(1, queryLong(*connection_, "select count(*) from t"));
    execSql(*connection_, "rollback");
    EXPECT_EQ(2, queryLong(*connection_, "select count(*) from t"));
}

TEST_F(BlockQuery, UnsupportedBlockFailsAtExecWithTheCompilerError)
{
    const char* block = "begin\n  :n := 1;\n  goto done;\nend;";
    ODbQuery query(*connection_);
    query.open(block);
    setParams(query, {{"n", "5"}});
    DbTest::expectServerError([&] { query.exec(1); }, "ORA-06550: line 3, column 3:\nPLS-00999", block);
    EXPECT_DOUBLE_EQ(5, query.getParam(1).getDouble());
}

} // namespace
