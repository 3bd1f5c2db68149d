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
    // The same, as a temporary of its own. Names are made for lists, where they
    // are shown, and for values that hold nothing (their diagnostic names them);
    // elsewhere only elements and calls carry theirs.
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
        friend class Expression;
        Expression& expression_;
        ExprValue* value_;     // null when the value needs no holding
        Hold* outer_;          // the hold made before this one
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
    ExprValue constant();

    ExprValue binaryLevel(OperatorLevel level, ExprValue (Expression::*next)());
    Operator takeOperator();
    bool acceptDelimiter(char c);
    ExprValue combine(Operator op, const ExprValue& left, const ExprValue& right);
    void requireInitialised(const ExprValue& value);
    bool needsName(const CommonVar& value) const;

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

    // The current token. Every move of the parser made here goes through advance,
    // and every call that moves it is followed by advance or a refresh, so this
    // is the parser's current token wherever a level looks at it.
    const Token& look() const { return *look_; }
    void advance();

    Interpreter& in_;                // parser, variables and functions
    const Token* look_ = nullptr;
    int depth_ = 0;                  // nesting of power levels in progress
    bool wantNames_ = false;         // values are shown by name (PRINT, DPRINT)
    Hold* innermostHold_ = nullptr;  // holds form a chain on the stack
};

} // namespace Transl
