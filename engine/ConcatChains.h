// Finds the concatenation chains of a statement (a || b || c), so that the
// translation can run them through the engine's CONCAT function: on the
// server a NULL operand of "||" counts as empty text and an empty result is
// NULL, where SQLite makes the whole chain NULL. The call's parentheses also
// keep the server's precedence, under which "||" binds like "+" and "-" (SQLite
// binds it tighter than "*").
//
// A chain whose operands are joined by "+" or "-" as well is left to SQLite.
#pragma once

#include "SqlTokenizer.h"

#include <cstddef>
#include <map>
#include <set>
#include <vector>

namespace engine {

class ConcatChains {
public:
    // `tokens` is the whole statement (blanks included) and must outlive this.
    explicit ConcatChains(const std::vector<SqlToken>& tokens);

    // How many chains start at token `index` (their call opens before it).
    int startingAt(std::size_t index) const;
    // True for a "||" of a chain (it becomes an argument separator).
    bool joins(std::size_t index) const { return joins_.count(index) != 0; }
    // How many chains end with token `index` (their call closes after it).
    int endingAt(std::size_t index) const;

private:
    void findChain(std::size_t bar);
    std::size_t operandStart(std::size_t bar, bool& mixed) const;
    std::size_t operandEnd(std::size_t bar, bool& mixed) const;
    bool isUnarySign(std::size_t index) const;
    std::size_t previous(std::size_t index) const;  // significant token before, or npos
    std::size_t next(std::size_t index) const;      // significant token after, or npos

    const std::vector<SqlToken>& tokens_;  // the statement
    std::map<std::size_t, int> starts_;    // token index -> chains starting there
    std::map<std::size_t, int> ends_;      // token index -> chains ending there
    std::set<std::size_t> joins_;          // the "||" tokens of chains
};

}  // namespace engine
