// The operator table of Vorlan expressions: each operator's code, its spelling
// and the binding level at which the expression reader accepts it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Transl {

// Operator codes, as handed from the expression reader to the value operations.
enum class Operator : std::int32_t {
    None = 0,
    Plus = 1,
    Minus = 2,
    Multiply = 3,
    Divide = 4,
    Power = 5,
    Equal = 6,
    Less = 7,
    Greater = 8,
    LessEqual = 9,
    GreaterEqual = 10,
    NotEqual = 11,
};

// Binding levels from the loosest to the tightest.
enum class OperatorLevel : std::int32_t {
    Comparison,  // == < > <= >= <>, left to right
    Additive,    // + -, left to right
    Term,        // * /, left to right
    Power,       // ^, right to left
};

struct OperatorEntry {
    Operator code;
    std::string_view text;  // spelling; shown in the names of composed values
    OperatorLevel level;
};

// Indexed by code - 1.
inline constexpr std::array<OperatorEntry, 11> kOperators{{
    {Operator::Plus, "+", OperatorLevel::Additive},
    {Operator::Minus, "-", OperatorLevel::Additive},
    {Operator::Multiply, "*", OperatorLevel::Term},
    {Operator::Divide, "/", OperatorLevel::Term},
    {Operator::Power, "^", OperatorLevel::Power},
    {Operator::Equal, "==", OperatorLevel::Comparison},
    {Operator::Less, "<", OperatorLevel::Comparison},
    {Operator::Greater, ">", OperatorLevel::Comparison},
    {Operator::LessEqual, "<=", OperatorLevel::Comparison},
    {Operator::GreaterEqual, ">=", OperatorLevel::Comparison},
    {Operator::NotEqual, "<>", OperatorLevel::Comparison},
}};
static_assert(kOperators.size() == static_cast<std::size_t>(Operator::NotEqual),
              "one entry per operator code");

constexpr bool operatorTableInCodeOrder()
{
    for (std::size_t i = 0; i < kOperators.size(); ++i)
        if (static_cast<std::size_t>(kOperators[i].code) != i + 1)
            return false;
    return true;
}
static_assert(operatorTableInCodeOrder(), "entry i holds code i + 1");

// The table entry of a valid operator code (not None).
constexpr const OperatorEntry& operatorEntry(Operator code)
{
    return kOperators[static_cast<std::size_t>(code) - 1];
}

// True for the comparison operators (codes 6 to 11).
constexpr bool isComparison(Operator code)
{
    return code >= Operator::Equal && code <= Operator::NotEqual;
}

} // namespace Transl
