// Script values: copies and wholesale replacement over the library's buffers,
// result shapes and capacities of the operations, element reads and stores, and
// the conversion of numbers to 32-bit indexes.
#include "CommonVar.h"
#include "Interpreter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

using Transl::CommonVar;
using Transl::Operator;
using Transl::TypeCode;

// Operations report errors through the current interpreter; give them one.
class CommonVarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Transl::currentInterpreter;
        Transl::currentInterpreter = &interpreter_;
    }
    void TearDown() override { Transl::currentInterpreter = previous_; }

    static CommonVar texts(int size, std::initializer_list<const char*> elements)
    {
        CommonVar value;
        value.initAs(TypeCode::Varchar2Arr, size, static_cast<unsigned int>(elements.size()));
        unsigned int i = 0;
        for (const char* text : elements)
            value.setCString(text, i++);
        return value;
    }

    static CommonVar numbers(std::initializer_list<double> elements)
    {
        CommonVar value;
        value.initAs(TypeCode::NumberArr, -1, static_cast<unsigned int>(elements.size()));
        unsigned int i = 0;
        for (const double number : elements)
            value.setDouble(number, i++);
        return value;
    }

private:
    Transl::Interpreter interpreter_;
    Transl::Interpreter* previous_ = nullptr;
};

TEST_F(CommonVarTest, CopyHasItsOwnBuffer)
{
    CommonVar original = texts(5, {"abc", "de"});
    original.setName("original");
    CommonVar copy(original);
    copy.setCString("zz", 1);
    EXPECT_EQ(original.getString(1), "de");
    EXPECT_EQ(copy.getString(1), "zz");
    EXPECT_EQ(copy.name(), "original");
    EXPECT_EQ(copy.type(), TypeCode::Varchar2Arr);
}

TEST_F(CommonVarTest, WholesaleReplacementTakesTypeSizeAndName)
{
    CommonVar target = numbers({1, 2, 3});
    CommonVar value = CommonVar::textConstant("hello");
    target = value;
    EXPECT_EQ(target.type(), TypeCode::Varchar2);
    EXPECT_EQ(target.count(), 1u);
    EXPECT_EQ(target.getString(0), "hello");
    EXPECT_EQ(target.name(), "<varchar2 constant>");
}

TEST_F(CommonVarTest, ReplacementByAnUntypedValueEmptiesTheTarget)
{
    // The library's own assignment would keep the old contents here.
    CommonVar target = numbers({1, 2});
    const CommonVar untyped;
    target = untyped;
    EXPECT_FALSE(target.isInitialised());
    EXPECT_EQ(target.count(), 0u);
}

TEST_F(CommonVarTest, MovedValueKeepsContentsAndSourceStaysUsable)
{
    CommonVar source = texts(3, {"a", "b"});
    CommonVar moved(std::move(source));
    EXPECT_EQ(moved.getString(1), "b");
    source = CommonVar::number(4);
    EXPECT_DOUBLE_EQ(source.getDouble(0), 4);
    EXPECT_EQ(moved.getString(0), "a");
}

TEST_F(CommonVarTest, ArithmeticTakesTheShapeOfTheLongerOperand)
{
    const CommonVar scalar = CommonVar::number(10);
    const CommonVar array = numbers({1, 2, 3});
    const CommonVar sum = CommonVar::binary(Operator::Plus, scalar, array);
    EXPECT_EQ(sum.type(), TypeCode::NumberArr);
    ASSERT_EQ(sum.count(), 3u);
    EXPECT_DOUBLE_EQ(sum.getDouble(2), 13);
    const CommonVar quotient = CommonVar::binary(Operator::Divide, array, CommonVar::number(0));
    EXPECT_TRUE(std::isinf(quotient.getDouble(0)));
}

TEST_F(CommonVarTest, JoinedTextHoldsBothCapacities)
{
    const CommonVar left = texts(3, {"abc", "x"});
    const CommonVar right = CommonVar::textConstant("defg");
    CommonVar joined = CommonVar::binary(Operator::Plus, left, right);
    EXPECT_EQ(joined.getString(0), "abcdefg");
    EXPECT_EQ(joined.getString(1), "xdefg");
    // Element sizes 4 and 5 make a size of 9: room for 9 characters.
    EXPECT_EQ(joined.elementSize(), 10u);
}

TEST_F(CommonVarTest, ComparisonGivesNumberOrNumberArray)
{
    const CommonVar one = CommonVar::binary(Operator::Less, CommonVar::textConstant("ab"),
                                            CommonVar::textConstant("abc"));
    EXPECT_EQ(one.type(), TypeCode::Number);
    EXPECT_DOUBLE_EQ(one.getDouble(0), 1);
    const CommonVar many = CommonVar::binary(Operator::GreaterEqual, numbers({1, 5}), numbers({2, 5}));
    EXPECT_EQ(many.type(), TypeCode::NumberArr);
    EXPECT_DOUBLE_EQ(many.getDouble(0), 0);
    EXPECT_DOUBLE_EQ(many.getDouble(1), 1);
}

TEST_F(CommonVarTest, TextComparisonIsByteWise)
{
    // A byte above 127 sorts after every ASCII letter.
    const CommonVar high = CommonVar::textConstant("\xC3\xA9");
    const CommonVar letter = CommonVar::textConstant("z");
    EXPECT_DOUBLE_EQ(CommonVar::binary(Operator::Greater, high, letter).getDouble(0), 1);
}

TEST_F(CommonVarTest, NullTextElementReadsAsOneCharacterNull)
{
    const CommonVar array = texts(4, {"abcd", ""});
    CommonVar element = array.element(CommonVar::number(2));
    EXPECT_EQ(element.type(), TypeCode::Varchar2);
    EXPECT_TRUE(element.isNull(0));
    EXPECT_EQ(element.getString(0), "");
    CommonVar first = array.element(CommonVar::number(1));
    EXPECT_EQ(first.getString(0), "abcd");
    EXPECT_EQ(first.elementSize(), 5u);
}

// PRINT's reading of an element gives the library's text of it, whether the
// element is read in place (a VARCHAR2 one) or converted.
TEST_F(CommonVarTest, TextAtIsTheLibrarysText)
{
    CommonVar filled = texts(4, {"abcd", "", "x", "abcd"});
    // An element the call interface filled to the last byte has no terminator.
    std::memcpy(filled.getDynamicVariable()->val(3), "wxyz!", 5);
    const CommonVar values[] = {filled, numbers({0.0, -2.5, 1.0 / 3, 1e20}), CommonVar::rawConstant("00FF")};
    for (const CommonVar& value : values) {
        for (unsigned int i = 0; i < value.count(); ++i) {
            const char* text = value.getCString(i);
            EXPECT_EQ(value.textAt(i), text == nullptr ? std::string() : std::string(text))
                << "type " << static_cast<int>(value.type()) << " element " << i;
        }
    }
}

TEST_F(CommonVarTest, EmptyRawElementStaysUntyped)
{
    CommonVar raws;
    raws.initAs(TypeCode::RawArr, 2, 2);
    raws.setCString("0A0B", 0);
    const CommonVar empty = raws.element(CommonVar::number(2));
    EXPECT_EQ(empty.type(), TypeCode::Raw);
    EXPECT_FALSE(empty.isInitialised());
    EXPECT_EQ(raws.element(CommonVar::number(1)).getString(0), "0A0B");
}

TEST_F(CommonVarTest, ArrayConstantIsSizedByItsLargestElement)
{
    const CommonVar a = CommonVar::textConstant("abc");
    const CommonVar b = CommonVar::textConstant("d");
    const CommonVar array = CommonVar::arrayConstant({&a, &b});
    EXPECT_EQ(array.type(), TypeCode::Varchar2Arr);
    EXPECT_EQ(array.elementSize(), a.elementSize());
    CommonVar target = texts(3, {"", ""});
    target.assign(array);
    EXPECT_EQ(target.getString(0), "abc");
    EXPECT_EQ(target.getString(1), "d");
}

TEST_F(CommonVarTest, SelfAssignmentAndSelfElementStoreKeepTheText)
{
    CommonVar array = texts(6, {"first", "second"});
    array.assign(array);
    array.storeElement(CommonVar::number(1), array);
    array.storeElement(CommonVar::number(2), array);
    EXPECT_EQ(array.getString(0), "first");
    EXPECT_EQ(array.getString(1), "first");
}

TEST_F(CommonVarTest, RawElementStoreSkipsEmptyBytes)
{
    CommonVar raws;
    raws.initAs(TypeCode::RawArr, 2, 2);
    raws.storeElement(CommonVar::number(1), CommonVar::rawConstant("0102"));
    raws.storeElement(CommonVar::number(1), CommonVar::rawConstant(""));
    EXPECT_EQ(raws.getString(0), "0102");
    EXPECT_TRUE(raws.isNull(1));
}

TEST_F(CommonVarTest, PowerKeepsTheBaseShape)
{
    const CommonVar squares = CommonVar::binary(Operator::Power, numbers({1, 2, 3}), CommonVar::number(2));
    EXPECT_EQ(squares.type(), TypeCode::NumberArr);
    EXPECT_DOUBLE_EQ(squares.getDouble(2), 9);
    const CommonVar negated = squares.negated();
    EXPECT_DOUBLE_EQ(negated.getDouble(1), -4);
}

TEST(CommonVarIndex, ToInt32TruncatesAndSaturates)
{
    EXPECT_EQ(Transl::toInt32(2.9), 2);
    EXPECT_EQ(Transl::toInt32(-2.9), -2);
    EXPECT_EQ(Transl::toInt32(1e300), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Transl::toInt32(-1e300), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Transl::toInt32(std::nan("")), 0);
}

TEST_F(CommonVarTest, IndexLabelIsEmptyForArrays)
{
    EXPECT_EQ(CommonVar::indexLabel(CommonVar::number(3.7)), "3");
    EXPECT_EQ(CommonVar::indexLabel(numbers({1, 2})), "");
}

} // namespace
