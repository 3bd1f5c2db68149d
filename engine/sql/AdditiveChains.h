// Finds the additive chains of a statement (a || b, a - b + c, d + 1 || 'x'),
// whose operators bind alike and from the left on the server, so that the
// translation can run each chain through the engine's CHAIN function, which
// computes it as the server does where SQLite would not:
//   - "||": a NULL operand counts as empty text and an empty result is NULL,
//     where SQLite makes the whole chain NULL; and SQLite binds "||" tighter
//     than "*", the server like "+";
//   - date arithmetic: a date plus or minus a number of days, and the days
//     between two dates (dates are text to SQLite, which would add to the year);
//   - text that is no number is refused (ORA-01722), not read as 0.
#pragma once

#include "sql/SqlTokenizer.h"

#include <cstddef>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace engine {

class AdditiveChains {
public:
    // `tokens` is the whole statement (blanks included) and must outlive this.
    explicit AdditiveChains(const std::vector<SqlToken>& tokens);

    // How many chains start at token `index` (their call opens before it).
    int startingAt(std::size_t index) const;
    // The operator ("||", "+", "-") when token `index` joins two operands of a
    // chain (it becomes an argument of the call), else empty.
    std::string_view joins(std::size_t index) const;
    // How many chains end with token `index` (their call closes after it).
    int endingAt(std::size_t index) const;

private:
    void findChain(std::size_t op);
    bool isOperator(std::size_t index) const;
    std::size_t operandStart(std::size_t op) const;
    std::size_t operandEnd(std::size_t op) const;
    bool isUnarySign(std::size_t index) const;
    std::size_t previous(std::size_t index) const;  // significant token before, or npos
    std::size_t next(std::size_t index) const;      // significant token after, or npos

    const std::vector<SqlToken>& tokens_;  // the statement
    std::map<std::size_t, int> starts_;    // token index -> chains starting there
    std::map<std::size_t, int> ends_;      // token index -> chains ending there
    std::set<std::size_t> joins_;          // the operators of chains
    std::set<std::size_t> seen_;           // operators already placed in a chain
};

}  // namespace engine
