// The connection table and EXECUTE items run against the engine: failures that
// the script cannot provoke, abandoned items, and many items copying values under
// the one lock at the same time.
#include "CommonVar.h"
#include "ExecTestSupport.h"
#include "Exception.h"
#include "ExecItem.h"
#include "OraProc.h"
#include "ThreadManager.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

using Transl::CommonVar;
using Transl::ExecItem;
using Transl::OraProc;
using Transl::TypeCode;

const char* const kLogon = "scott/tiger@oraproc";

// A fresh database directory for the whole suite.
class OraProcTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ExecTest::useFreshDataDirectory("oraproc"); }

    static CommonVar variable(TypeCode type, int size, unsigned int count)
    {
        return ExecTest::variable(type, size, count);
    }

    std::unique_ptr<ExecItem> sqlItem(std::int32_t connection, const std::string& text)
    {
        return ExecTest::sqlItem(proc_, connection, text);
    }

    void connect(std::int32_t number) { proc_.newConnection(number).logon(kLogon); }

    OraProc proc_;
};

TEST_F(OraProcTest, ConnectionNumbersComeFromTheTable)
{
    EXPECT_EQ(proc_.largestConnection(), 0);
    proc_.newConnection(1);
    proc_.newConnection(2);
    EXPECT_EQ(proc_.largestConnection(), 2);
    proc_.newConnection(7);
    EXPECT_EQ(proc_.largestConnection(), 7);
    EXPECT_TRUE(proc_.hasConnection(2));
    EXPECT_FALSE(proc_.hasConnection(3));
}

TEST_F(OraProcTest, NumberInUseOrAbsentIsAnInternalFailure)
{
    proc_.newConnection(1);
    EXPECT_THROW(proc_.newConnection(1), Transl::Exception);
    EXPECT_THROW(proc_.connection(2), Transl::Exception);
    EXPECT_NO_THROW(proc_.connection(1));
}

TEST_F(OraProcTest, TooFewBindVariablesFailTheItem)
{
    connect(1);
    CommonVar a = variable(TypeCode::Number, -1, 1);
    a.setDouble(1, 0);
    CommonVar sum = variable(TypeCode::Number, -1, 1);
    sum.setDouble(-1, 0);
    auto item = sqlItem(1, "select :a + :b from dual");
    item->boundVariables = {&a};
    item->outputVariables = {&sum};
    item->runSql();
    EXPECT_EQ(item->message(), "Too few bind variables: the statement has 2 parameters and the item names 1");
    EXPECT_EQ(sum.getDouble(0), -1);
}

TEST_F(OraProcTest, ItemOnAnAbsentConnectionFailsInItsMessage)
{
    CommonVar one = variable(TypeCode::Number, -1, 1);
    auto item = sqlItem(4, "select 1 from dual");
    item->outputVariables = {&one};
    item->runSql();
    EXPECT_EQ(item->message(), "Unknow SQL execution error");
}

TEST_F(OraProcTest, AbandonedItemLeavesScriptVariablesAlone)
{
    connect(1);
    CommonVar word = variable(TypeCode::Varchar2, 10, 1);
    word.setString("before", 0);
    auto item = sqlItem(1, "select 'after' from dual");
    item->outputVariables = {&word};
    item->abandon();
    item->runSql();
    EXPECT_EQ(word.getString(0), "before");
    EXPECT_EQ(item->message(), "");
}

TEST_F(OraProcTest, ItemsOnManyConnectionsCopyUnderTheLockRepeatedly)
{
    constexpr int kItems = 8;
    constexpr unsigned int kRows = 200;
    constexpr int kRounds = 10;
    for (int n = 1; n <= kItems; ++n)
        connect(n);
    CommonVar step = variable(TypeCode::Number, -1, 1); // bound by every item
    step.setDouble(3, 0);
    std::vector<CommonVar> outputs;
    for (int n = 0; n < kItems; ++n)
        outputs.push_back(variable(TypeCode::NumberArr, -1, kRows));
    const std::string rows = "with recursive r(i) as (select 1 union all select i + 1 from r where i < " +
                             std::to_string(kRows) + ") select i * :step from r";
    for (int round = 0; round < kRounds; ++round) {
        Transl::ThreadManager manager;
        OraProc::Items items;
        for (int n = 1; n <= kItems; ++n) {
            items[n] = sqlItem(n, rows);
            items[n]->boundVariables = {&step};
            items[n]->outputVariables = {&outputs[static_cast<std::size_t>(n - 1)]};
            items[n]->startTime = std::time(nullptr);
            manager.addThread(OraProc::executeSql, n, items[n].get());
        }
        manager.startAll();
        ASSERT_FALSE(manager.waitAll(items, 0));
        manager.killRunning();
        for (auto& [n, item] : items) {
            ASSERT_EQ(item->message(), "") << "item " << n;
            CommonVar& output = outputs[static_cast<std::size_t>(n - 1)];
            for (unsigned int row = 0; row < kRows; ++row)
                ASSERT_EQ(output.getDouble(row), 3.0 * (row + 1)) << "item " << n << " row " << row;
        }
        EXPECT_EQ(step.getDouble(0), 3);
    }
}

} // namespace
