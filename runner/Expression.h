// Expressions, read and evaluated in one pass by recursive descent over the
// script's tokens. There is no syntax tree: each grammar level is a member
// function that reads its operands from the level below and returns their value.
#pragma once

#include "ExprValue.h"
#include "Operator.h"

#include <optional>
#include <vector>

namespace Transl {

class Interpreter;
struct Token;

class Expression {
public:
    // Reads tokens through the interpreter's parser and resolves names in its
    // variable and function tables. One object may read several expressions of a
    // statement; it must not outlive the statement.
    explicit Expression(Interpreter& interpreter) : in_(interpreter) {}
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // Reads an expression starting with the next token and leaves the token after
    // it pushed back, so that the caller's next nextToken returns it. A plain
    // variable is not copied: the value refers to it.
    ExprValue evaluateValue();
    // The same, as a temporary of its own that carries the expression's name.
    CommonVar evaluate();
    // expr { "," expr }: the values of PRINT and DPRINT, each named.
    std::vector<CommonVar> evaluateList();

    // Keeps a value that waits for the rest of its statement, such as the index of
    // an element assignment or the left operand of an operator, safe from function
    // calls that write caller variables back: while the hold lasts, such a call
    // first gives the value a private copy.
    class Hold {
    public:
        Hold(Expression& expression, ExprValue* value);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Expression& expression_;
        bool active_;
    };
    // Gives every held value a private copy; called before a call whose
    // arguments are written back into caller variables.
    void detachHeld();

private:
    ExprValue comparison();
    ExprValue additive();
    ExprValue term();
    ExprValue power();
    ExprValue prefixed();
    ExprValue primary();
    ExprValue operand();
    ExprValue variable();
    ExprValue element(const CommonVar& array, const std::string& name);
    ExprValue functionCall();
    ExprValue arrayConstant();
    ExprValue constant(CommonVar value);

    ExprValue binaryLevel(OperatorLevel level, ExprValue (Expression::*next)());
    Operator takeOperator();
    bool acceptDelimiter(char c);
    ExprValue combine(Operator op, const ExprValue& left, const ExprValue& right);
    void requireInitialised(const ExprValue& value);

    // Counts the nesting of the levels in progress, so that a runaway expression
    // gets a diagnostic instead of overflowing the stack.
    class DepthGuard {
    public:
        explicit DepthGuard(Expression& expression);
        ~DepthGuard() { --expression_.depth_; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;

    private:
        Expression& expression_;
    };

    Interpreter& in_;                // parser, variables and functions
    int depth_ = 0;                  // nesting of power levels in progress
    std::vector<ExprValue*> held_;   // values under a Hold, innermost last
};

} // namespace Transl
