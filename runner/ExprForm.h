// The kept form of one expression: the steps its first reading performed, in
// order, each with the token that was current when it ran. Running the steps
// again on a value stack gives what reading the tokens again would give, with the
// same diagnostics on the same tokens, without the grammar.
#pragma once

#include "CommonVar.h"
#include "Operator.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Transl {

struct FunDef;

// What one step does with the value stack.
enum class StepKind : std::uint8_t {
    Constant,      // pushes a constant of the form
    Variable,      // pushes a variable (not copied)
    Element,       // pops an index, pushes that element of an array variable
    Binary,        // pops two operands, pushes op applied to them
    Negate,        // replaces the top by its negation
    Parenthesize,  // names the top as written in parentheses
    ArrayElement,  // checks the top as an element of an array constant; copies it
    ArrayConstant, // pops `count` elements, pushes the array made of them
    Argument,      // copies the top as a by-value argument
    Call,          // pops the by-value arguments, pushes the function's result
};

struct ExprStep {
    explicit ExprStep(StepKind stepKind) : kind(stepKind) {}

    StepKind kind;
    Operator op = Operator::None;           // Binary
    std::int32_t position = 0;              // the current token when the step ran first
    std::uint32_t count = 0;                // ArrayConstant: elements
    const CommonVar* constant = nullptr;    // Constant: owned by the form
    CommonVar* variable = nullptr;          // Variable, Element; not owned
    FunDef* function = nullptr;             // Call; not owned
    std::string text;                       // Variable, Element: the name; Call: the function's
    std::vector<CommonVar*> references;     // Call: per parameter, its OUT variable or null
};

class ExprForm {
public:
    ExprForm() = default;
    ExprForm(const ExprForm&) = delete;
    ExprForm& operator=(const ExprForm&) = delete;

    // Appends a step; the reference stays valid until the next add.
    const ExprStep& add(ExprStep step);
    // Keeps a constant for the form's whole life at an address that never moves.
    const CommonVar& keepConstant(CommonVar value);
    // Records that the reading took a variable as an array or not (it decides
    // whether a "[" after the name belongs to the expression).
    void relyOnShape(const CommonVar& variable);
    // False once a variable the form relies on changed between array and scalar
    // (only RESULT can): the tokens must then be read again.
    bool stillFits() const;

    // True when every step reads or computes a NUMBER scalar, at most
    // kNumberStackDepth values wait at once, and the last step computes: the form
    // can run on plain doubles as long as its variables hold NUMBER scalars.
    bool numbersOnly() const;
    static constexpr int kNumberStackDepth = 16;

    const std::vector<ExprStep>& steps() const { return steps_; }
    // The current token once the expression was read.
    std::int32_t end() const { return end_; }
    void setEnd(std::int32_t position) { end_ = position; }

private:
    struct Shape {
        const CommonVar* variable;
        bool array;
    };

    std::vector<ExprStep> steps_;
    std::deque<CommonVar> constants_;  // a deque: the steps point into it
    std::vector<Shape> shapes_;        // variables read, with their shape at reading
    bool numeric_ = true;              // no step so far needs a script value
    int depth_ = 0;                    // values on the stack after the last step
    int maxDepth_ = 0;                 // the most values on the stack at once
    std::int32_t end_ = 0;
};

} // namespace Transl
