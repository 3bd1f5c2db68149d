// Date views: field setters with their ranges, the text form and its round trips.
#include <gtest/gtest.h>

#include <string>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using ValueTest::Failure;

namespace {

using ValueTest::operator<<;

class Date : public ::testing::Test {
protected:
    Date() : var(extDate, 7, 2), date(var, 0) {}
    std::string bytes() const { return ValueTest::hexOf(var.val(0), 7); }
    ODbDynamicVariable var;
    ODbDate date;
};

struct FieldCase {
    const char* name;
    void (ODbDate::*set)(short);
    short (ODbDate::*get)() const;
    short low;
    short high;
};

const FieldCase FieldCases[] = {
    {"year", &ODbDate::setYear, &ODbDate::getYear, -4712, 9999},
    {"month", &ODbDate::setMonth, &ODbDate::getMonth, 1, 12},
    {"day", &ODbDate::setDay, &ODbDate::getDay, 1, 31},
    {"hour", &ODbDate::setHour, &ODbDate::getHour, 0, 24},
    {"minute", &ODbDate::setMin, &ODbDate::getMin, 0, 59},
    {"second", &ODbDate::setSec, &ODbDate::getSec, 0, 59},
};

class DateField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(DateField, AcceptsItsRangeAndRejectsBeyond)
{
    const FieldCase& c = GetParam();
    ODbDynamicVariable var(extDate, 7, 1);
    ODbDate date(var, 0);
    for (short value : {c.low, c.high}) {
        (date.*c.set)(value);
        EXPECT_EQ(value, (date.*c.get)()) << c.name;
    }
    const std::string before = ValueTest::hexOf(var.val(0), 7);
    for (short value : {static_cast<short>(c.low - 1), static_cast<short>(c.high + 1)}) {
        ValueTest::expectFailure(Failure::Conversion, [&] { (date.*c.set)(value); });
        EXPECT_EQ(before, ValueTest::hexOf(var.val(0), 7)) << c.name << " changed by " << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, DateField, ::testing::ValuesIn(FieldCases), ValueTest::CaseName());

TEST_F(Date, YearBytes)
{
    date.setYear(2002);
    EXPECT_EQ(120, var.val(0)[0]);
    EXPECT_EQ(102, var.val(0)[1]);
    date.setYear(-4712);
    EXPECT_EQ(53, var.val(0)[0]);
    EXPECT_EQ(88, var.val(0)[1]);
    EXPECT_EQ(-4712, date.getYear());
    date.setYear(-1);
    EXPECT_EQ(-1, date.getYear());
    date.setYear(0);
    EXPECT_EQ(0, date.getYear());
}

TEST_F(Date, TimeFieldsAreStoredPlusOne)
{
    date.setHour(24);
    date.setMin(0);
    date.setSec(59);
    EXPECT_EQ(25, var.val(0)[4]);
    EXPECT_EQ(1, var.val(0)[5]);
    EXPECT_EQ(60, var.val(0)[6]);
    EXPECT_EQ(24, date.getHour());
}

TEST_F(Date, NoCalendarCheck)
{
    date.setMonth(2);
    EXPECT_NO_THROW(date.setDay(31));
}

TEST_F(Date, WritingAFieldMakesTheElementNotNull)
{
    EXPECT_TRUE(var.isNull(0));
    date.setDay(1);
    EXPECT_EQ(7, var.getIndVar(0));
    EXPECT_TRUE(var.isNull(1));
}

struct TextCase {
    const char* text;
    short day, month, year, hour, minute, second;
};

class DateText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DateText, RoundTrips)
{
    const TextCase& c = GetParam();
    ODbDynamicVariable var(extDate, 7, 1);
    ODbDate date(var, 0);
    date.fromCstring(const_cast<char*>(c.text));
    EXPECT_EQ(c.day, date.getDay());
    EXPECT_EQ(c.month, date.getMonth());
    EXPECT_EQ(c.year, date.getYear());
    EXPECT_EQ(c.hour, date.getHour());
    EXPECT_EQ(c.minute, date.getMin());
    EXPECT_EQ(c.second, date.getSec());
    EXPECT_STREQ(c.text, date.toCstring());
}

INSTANTIATE_TEST_SUITE_P(Texts, DateText,
                         ::testing::Values(TextCase{"19/10/2002 14:05:09", 19, 10, 2002, 14, 5, 9},
                                           TextCase{"01/01/0001 00:00:00", 1, 1, 1, 0, 0, 0},
                                           TextCase{"31/12/9999 24:59:59", 31, 12, 9999, 24, 59, 59},
                                           TextCase{"15/03/-044 12:00:00", 15, 3, -44, 12, 0, 0},
                                           TextCase{"01/01/-4712 00:00:00", 1, 1, -4712, 0, 0, 0}));

TEST_F(Date, FieldsSetOneByOneGiveTheText)
{
    date.setDay(19);
    date.setMonth(10);
    date.setYear(2002);
    date.setHour(14);
    date.setMin(5);
    date.setSec(9);
    EXPECT_STREQ("19/10/2002 14:05:09", date.toCstring());
}

// Texts that do not hold six numbers in range: rejected, element unchanged.
class BadDateText : public ::testing::TestWithParam<const char*> {};

TEST_P(BadDateText, IsRejectedAndChangesNothing)
{
    ODbDynamicVariable var(extDate, 7, 1);
    ODbDate date(var, 0);
    date.fromCstring(const_cast<char*>("19/10/2002 14:05:09"));
    ValueTest::expectFailure(Failure::Conversion, [&] { date.fromCstring(const_cast<char*>(GetParam())); });
    EXPECT_STREQ("19/10/2002 14:05:09", date.toCstring());
}

INSTANTIATE_TEST_SUITE_P(Texts, BadDateText,
                         ::testing::Values("", "19/10/2002", "19/10/2002 14:05", "tomorrow", "19-10-2002 14:05:09",
                                           "32/10/2002 14:05:09", "19/13/2002 14:05:09", "19/10/2002 25:00:00",
                                           "19/10/-4713 00:00:00", "19/10/2002 14:05:09 extra"));

TEST_F(Date, NullTextIsRejected)
{
    ValueTest::expectFailure(Failure::Conversion, [&] { date.fromCstring(nullptr); });
}

TEST_F(Date, AssignCopiesToTheSameIndexOfAnotherVariable)
{
    date.fromCstring(const_cast<char*>("19/10/2002 14:05:09"));
    ODbDynamicVariable other(extDate, 7, 1);
    date.assign(other);
    EXPECT_EQ(ValueTest::hexOf(var.val(0), 7), ValueTest::hexOf(other.val(0), 7));
    date.assign(var); // the viewed element itself: nothing to copy
    ODbDate second(var, 1);
    ODbDynamicVariable tooSmall(extDate, 7, 1);
    EXPECT_THROW(second.assign(tooSmall), ODbException);
}

TEST_F(Date, ViewFollowsTheElementAcrossAResize)
{
    date.setDay(3);
    var.resizeArray(100); // moves the element buffer
    EXPECT_EQ(3, date.getDay());
    date.setDay(4);
    EXPECT_EQ(4, var.val(0)[3]);
}

TEST_F(Date, CopiesViewTheSameElement)
{
    ODbDate copy(date);
    copy.setMonth(7);
    EXPECT_EQ(7, date.getMonth());
    ODbDate other(var, 1);
    other = date;
    EXPECT_EQ(7, other.getMonth());
}

TEST(DateView, NeedsADateVariableAndAnElement)
{
    ODbDynamicVariable number(extFloat, 8, 1);
    ValueTest::expectFailure(Failure::Empty, [&] { ODbDate d(number, 0); });
    ODbDynamicVariable var(extDate, 7, 1);
    ValueTest::expectFailure(Failure::Empty, [&] { ODbDate d(var, 1); });
}

} // namespace
