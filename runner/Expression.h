// Expressions, read by recursive descent over the script's tokens the first time
// they are met and run from their kept form (ExprForm) every later time. Reading
// performs each step as soon as the grammar has made it, so a first reading finds
// its errors in the order and on the tokens where the tokens show them; the kept
// steps carry those tokens along.
#pragma once

#include "ExprForm.h"
#include "ExprValue.h"
#include "Operator.h"

#include <cstdint>
#include <memory>
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
    explicit Expression(Interpreter& interpreter);
    ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // Reads an expression starting with the next token and leaves the token after
    // it pushed back, so that the caller's next nextToken returns it. A plain
    // variable is not copied: the value refers to it.
    ExprValue evaluateValue();
    // The same, kept in a slot of the caller's: the form the slot holds runs, or
    // the expression is read into it.
    ExprValue evaluateForm(std::unique_ptr<ExprForm>& slot);
    // The same, as a temporary of its own. Names are made for lists, where they
    // are shown, and for values that hold nothing (their diagnostic names them);
    // elsewhere only elements and calls carry theirs.
    CommonVar evaluate();
    // expr { "," expr }: the values of PRINT and DPRINT, each named; a variable
    // is not copied.
    std::vector<ExprValue> evaluateList();
    // A call statement, from the function's name (the current token) to its ")",
    // which is left current; the result is dropped.
    void evaluateCallStatement();

    // Keeps a value that waits for the rest of its statement, such as the index of
    // an element assignment, safe from function calls that write caller variables
    // back: while the hold lasts, such a call first gives the value a private copy.
    // The operands waiting on the value stack are held the same way.
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
    using Reader = void (Expression::*)();

    // The first reading: each level reads its tokens, performs the steps it makes
    // and leaves its value on top of the stack.
    void comparison();
    void additive();
    void term();
    void power();
    void prefixed();
    void primary();
    void operand();
    void variable();
    void element(CommonVar& array, const std::string& name);
    void functionCall();
    void call();
    void readArguments(const FunDef& definition, std::vector<CommonVar*>& references);
    CommonVar& readReferenceArgument();
    void arrayConstant();
    void constant();
    void inner();
    void binaryLevel(OperatorLevel level, Reader next);
    Operator takeOperator();
    bool acceptDelimiter(char c);

    // Runs the form a slot keeps, or reads it with `reader` into the slot; the
    // value is left on the stack.
    void evaluateIn(std::unique_ptr<ExprForm>& slot, Reader reader);
    void readWhole();
    void replay(const ExprForm& form);
    bool replayNumbers(const ExprForm& form, double& result);
    // Records a step in the form being read and performs it.
    void emit(ExprStep step);
    void perform(const ExprStep& step);

    // The steps' work on the value stack.
    void pushConstant(const CommonVar& constant);
    void pushVariable(const CommonVar& variable, const std::string& name);
    void takeElement(const CommonVar& array, const std::string& name);
    void combineTop(Operator op);
    void negateTop();
    void parenthesizeTop();
    void checkArrayElement();
    void makeArrayConstant(std::uint32_t count);
    void copyTop();
    void callWithTop(const ExprStep& step);

    std::string composedName(Operator op, ExprValue& left, const ExprValue& right) const;
    void push(ExprValue value) { stack_.push_back(std::move(value)); }
    ExprValue pop();
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
    ExprForm* reading_ = nullptr;    // the form a first reading records; else null
    // Values of the expressions in progress: the interpreter's stack, reused from
    // statement to statement; this expression's values lie from stackBase_ on.
    std::vector<ExprValue>& stack_;
    std::size_t stackBase_;
};

} // namespace Transl
