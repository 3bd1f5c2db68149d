// Expressions read from text: values, where reading stops, variables read without
// copies, held operands that a writing call must not reach, and the nesting limit.
#include "Expression.h"
#include "Interpreter.h"
#include "Limits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Transl::CommonVar;
using Transl::Expression;
using Transl::ExprValue;
using Transl::TypeCode;
using Transl::VarSpec;

class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Transl::currentInterpreter;
        Transl::currentInterpreter = &interpreter_;
        // A diagnostic that ends a test shows on the console.
        interpreter_.openErrorStream("con");
        interpreter_.declareVar("a", VarSpec{TypeCode::Number, 1, 1, 1});
        interpreter_.getVar("a").setDouble(5, 0);
        interpreter_.declareVar("v", VarSpec{TypeCode::NumberArr, 1, 1, 3});
        for (unsigned int i = 0; i < 3; ++i)
            interpreter_.getVar("v").setDouble(10.0 * (i + 1), i);
    }
    void TearDown() override { Transl::currentInterpreter = previous_; }

    // The value of an expression that is the whole text.
    CommonVar evaluate(const std::string& text)
    {
        CommonVar value = evaluateFirst(text);
        interpreter_.nextToken();
        EXPECT_EQ(interpreter_.currentToken().kind, Transl::TokenKind::EndOfInput);
        return value;
    }
    // The value of the expression at the start of the text; the rest is left.
    CommonVar evaluateFirst(const std::string& text)
    {
        interpreter_.openText(text);
        return Expression(interpreter_).evaluate();
    }
    std::string nextText()
    {
        interpreter_.nextToken();
        return interpreter_.currentToken().text;
    }

    Transl::Interpreter interpreter_;

private:
    Transl::Interpreter* previous_ = nullptr;
};

TEST_F(ExpressionTest, TheTokenAfterTheExpressionIsLeftUnread)
{
    const CommonVar value = evaluateFirst("a * 2 + 1 , next");
    EXPECT_DOUBLE_EQ(value.getDouble(0), 11);
    EXPECT_EQ(nextText(), ",");
    EXPECT_EQ(nextText(), "next");
}

TEST_F(ExpressionTest, TwoTokenOperatorLeavesTheFollowingTokenUnread)
{
    EXPECT_DOUBLE_EQ(evaluateFirst("a < 6 ; x").getDouble(0), 1);
    EXPECT_EQ(nextText(), ";");
    EXPECT_DOUBLE_EQ(evaluateFirst("a <= 5 ]").getDouble(0), 1);
    EXPECT_EQ(nextText(), "]");
}

TEST_F(ExpressionTest, OperatorsAreDelimitersOnly)
{
    // A string that begins with "=" after "<" is an operand, not half of "<=".
    EXPECT_DOUBLE_EQ(evaluate("\"a\" < \"=b\"").getDouble(0), 0);
}

TEST_F(ExpressionTest, VariableIsReadWithoutACopy)
{
    interpreter_.openText("v");
    const ExprValue value = Expression(interpreter_).evaluateValue();
    EXPECT_EQ(&value.get(), &interpreter_.getVar("v"));
    EXPECT_EQ(value.name(), "v");
}

TEST_F(ExpressionTest, HeldValueIsDetachedBeforeAWriteBack)
{
    interpreter_.openText("a");
    Expression expression(interpreter_);
    ExprValue value = expression.evaluateValue();
    {
        const Expression::Hold hold(expression, &value);
        expression.detachHeld();
    }
    interpreter_.getVar("a").setDouble(99, 0);
    EXPECT_NE(&value.get(), &interpreter_.getVar("a"));
    EXPECT_DOUBLE_EQ(value.get().getDouble(0), 5);
}

TEST_F(ExpressionTest, ElementsAndArrayConstants)
{
    const CommonVar element = evaluate("v[a - 3]");
    EXPECT_DOUBLE_EQ(element.getDouble(0), 20);
    EXPECT_EQ(element.name(), "v[2]");
    const CommonVar array = evaluate("[1, a, a * 2] + v");
    EXPECT_EQ(array.type(), TypeCode::NumberArr);
    EXPECT_DOUBLE_EQ(array.getDouble(2), 40);
}

TEST_F(ExpressionTest, ListNamesEachValue)
{
    interpreter_.openText("a, -a, (v), a * 2 + 1 ;");
    const std::vector<ExprValue> values = Expression(interpreter_).evaluateList();
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[3].name(), "a*<number constant>+<number constant>");
    EXPECT_EQ(values[0].name(), "a");
    EXPECT_EQ(values[1].name(), "-a");
    EXPECT_DOUBLE_EQ(values[1].get().getDouble(0), -5);
    EXPECT_EQ(values[2].name(), "(v)");
    EXPECT_EQ(values[2].get().count(), 3u);
    EXPECT_EQ(nextText(), ";");
}

TEST_F(ExpressionTest, BuiltinCallInsideAnExpression)
{
    const CommonVar value = evaluate("ARRAYSIZE(v) + COS(0)");
    EXPECT_DOUBLE_EQ(value.getDouble(0), 4);
}

TEST_F(ExpressionTest, NestingUpToTheLimitIsEvaluated)
{
    // Each parenthesis adds one level to the outermost one.
    const int parentheses = Transl::kMaxExpressionDepth - 1;
    const std::string text =
        std::string(parentheses, '(') + "a" + std::string(parentheses, ')');
    EXPECT_DOUBLE_EQ(evaluate(text).getDouble(0), 5);
}

TEST_F(ExpressionTest, NestingBeyondTheLimitEndsTheRun)
{
    const int parentheses = Transl::kMaxExpressionDepth;
    const std::string text =
        std::string(parentheses, '(') + "a" + std::string(parentheses, ')');
    EXPECT_EXIT(evaluate(text), ::testing::ExitedWithCode(1), "");
}

} // namespace
