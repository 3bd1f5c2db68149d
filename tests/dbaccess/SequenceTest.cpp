// Sequences: successive and current values, per session, names taken exactly.
#include <gtest/gtest.h>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

class Sequence : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create sequence S start with 10 increment by 5");
    }

    Utils::RefCountPtr<ODbConnect> connection_;
};

TEST_F(Sequence, NextValuesFollowTheIncrement)
{
    ODbSequence sequence(*connection_, "S");
    EXPECT_EQ(10, sequence.getNextval());
    EXPECT_EQ(10, sequence.getCurrval());
    EXPECT_EQ(15, sequence.getNextval());
    EXPECT_EQ(20, sequence.getNextval());
    EXPECT_EQ(20, sequence.getCurrval());
}

// Each session has its own current value.
TEST_F(Sequence, CurrentValueIsPerSession)
{
    Utils::RefCountPtr<ODbConnect> other = connect();
    ODbSequence mine(*connection_, "S");
    ODbSequence theirs(*other, "S");
    EXPECT_EQ(10, mine.getNextval());
    EXPECT_EQ(15, theirs.getNextval());
    EXPECT_EQ(10, mine.getCurrval());
    EXPECT_EQ(15, theirs.getCurrval());
    EXPECT_EQ(20, mine.getNextval());
    EXPECT_EQ(15, theirs.getCurrval());
}

TEST_F(Sequence, CurrentValueBeforeNextIsRefused)
{
    ODbSequence sequence(*connection_, "S");
    DbTest::expectServerError([&] { sequence.getCurrval(); }, "ORA-08002", "select \"S\".currval from dual");
}

// The name is quoted: lower case names the quoted lower-case sequence.
TEST_F(Sequence, NamesAreTakenExactly)
{
    execSql(*connection_, "create sequence \"s\" start with 100 increment by 1");
    ODbSequence lower(*connection_, "s");
    ODbSequence upper(*connection_, "S");
    EXPECT_EQ(100, lower.getNextval());
    EXPECT_EQ(10, upper.getNextval());
}

TEST_F(Sequence, UnknownSequenceFails)
{
    DbTest::expectError(
        [&] {
            ODbSequence missing(*connection_, "NOPE");
            missing.getNextval();
        },
        "ORA-", -1);
    DbTest::expectPrecondition([&] { ODbSequence unnamed(*connection_, ""); }, "Parameter can not be null");
}

} // namespace
