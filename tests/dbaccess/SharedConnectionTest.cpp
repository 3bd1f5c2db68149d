// Statements of one connection used from several threads at once: each failure
// carries its own server text, whatever the other threads' calls did meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

constexpr int Rounds = 300;

class SharedConnectionTest : public DatabaseTest {};

// Runs `sql` Rounds times and counts the failures whose text does not start
// with `expected` (an empty `expected` means the statement must succeed).
int countWrongOutcomes(ODbConnect& connection, const char* sql, const std::string& expected)
{
    int wrong = 0;
    for (int round = 0; round < Rounds; ++round) {
        try {
            ODbQuery query(connection);
            query.open(sql);
            while (query.next()) {
            }
            if (!expected.empty())
                ++wrong;
        } catch (const ODbException& failure) {
            if (std::string(failure.getErrMsg()).compare(0, expected.size(), expected) != 0 || expected.empty())
                ++wrong;
        }
    }
    return wrong;
}

TEST_F(SharedConnectionTest, EachThreadSeesItsOwnStatementsOutcome)
{
    auto connection = connect();
    execSql(*connection, "create table t (n number)");
    execSql(*connection, "insert into t (n) values (1)");
    struct Worker {
        const char* sql;
        std::string expected;
        std::atomic<int> wrong{0};
    };
    Worker workers[] = {{"select n from missing_table", "ORA-00942"},
                        {"select n from t", ""},
                        {"select n from t where", "ORA-"},
                        {"select n, n from t", ""}};
    std::vector<std::thread> threads;
    for (Worker& worker : workers)
        threads.emplace_back([&connection, &worker] {
            worker.wrong = countWrongOutcomes(*connection, worker.sql, worker.expected);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const Worker& worker : workers)
        EXPECT_EQ(0, worker.wrong.load()) << worker.sql;
}

} // namespace
