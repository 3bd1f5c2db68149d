// The library's exception: fields, copies owning their statement texts, long messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vordb.h"

using Oracle::ODbException;

namespace {

TEST(Exception, KeepsMessageCodeAndStatement)
{
    char statement[] = "select 1 from dual";
    ODbException e("ORA-00942: table or view does not exist", -1, statement);
    statement[0] = 'X'; // the exception holds its own copy
    EXPECT_STREQ("ORA-00942: table or view does not exist", e.getErrMsg());
    EXPECT_EQ(-1, e.getErrCode());
    EXPECT_STREQ("select 1 from dual", e.getStmText());
}

TEST(Exception, DefaultAndNullArgumentsAreEmpty)
{
    ODbException plain;
    EXPECT_STREQ("", plain.getErrMsg());
    EXPECT_EQ(nullptr, plain.getStmText());
    EXPECT_EQ(0, plain.getErrCode());
    ODbException nulls(nullptr, 5, nullptr);
    EXPECT_STREQ("", nulls.getErrMsg());
    EXPECT_EQ(nullptr, nulls.getStmText());
    EXPECT_EQ(5, nulls.getErrCode());
}

TEST(Exception, CopyOwnsItsStatementText)
{
    ODbException* original = new ODbException("msg", 100, "update t set a = 1");
    ODbException copy(*original);
    EXPECT_NE(original->getStmText(), copy.getStmText());
    delete original; // the copy's text must survive
    EXPECT_STREQ("update t set a = 1", copy.getStmText());
    EXPECT_STREQ("msg", copy.getErrMsg());
    EXPECT_EQ(100, copy.getErrCode());
}

TEST(Exception, AssignmentReplacesAndOwnsTheStatementText)
{
    ODbException target("old", 1, "old statement");
    {
        ODbException source("new", -1, "new statement");
        target = source;
        EXPECT_NE(source.getStmText(), target.getStmText());
    }
    EXPECT_STREQ("new statement", target.getStmText());
    EXPECT_STREQ("new", target.getErrMsg());
    EXPECT_EQ(-1, target.getErrCode());
    target = ODbException("none", 0, nullptr);
    EXPECT_EQ(nullptr, target.getStmText());
    ODbException& self = target;
    target = self;
    EXPECT_STREQ("none", target.getErrMsg());
}

TEST(Exception, ThrownAndCaughtByValueAndReference)
{
    try {
        throw ODbException("boom", 0, "stmt");
    } catch (const ODbException& e) {
        ODbException kept = e;
        EXPECT_STREQ("stmt", kept.getStmText());
    }
}

// Message lengths around the capacity of the message array.
class ExceptionLength : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ExceptionLength, LongMessagesAreCutTo2047)
{
    const std::string message(GetParam(), 'm');
    ODbException e(message.c_str(), 0, nullptr);
    const std::size_t expected = std::min<std::size_t>(GetParam(), 2047);
    EXPECT_EQ(expected, std::strlen(e.getErrMsg()));
    EXPECT_EQ(message.substr(0, expected), e.getErrMsg());
    ODbException copy(e);
    EXPECT_EQ(expected, std::strlen(copy.getErrMsg()));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ExceptionLength, ::testing::Values(0u, 1u, 2046u, 2047u, 2048u, 2049u, 100000u));

TEST(Exception, CutDoesNotSplitACharacter)
{
    // 2046 ASCII bytes and then a two-byte character: the character does not fit whole.
    const std::string message = std::string(2046, 'a') + "\xC3\xA9" + "tail";
    ODbException e(message.c_str(), 0, nullptr);
    EXPECT_EQ(std::string(2046, 'a'), e.getErrMsg());
}

} // namespace
