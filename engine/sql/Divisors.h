// Finds the right operand of every "/" of a statement under the server's
// precedence: one signed factor (a parenthesised expression, a CASE ... END, a
// literal, a placeholder, or a dotted name with its call's arguments). The
// translation passes each through the engine's DIVISOR function, which refuses
// a zero divisor as the server does, where SQLite divides by zero to NULL.
#pragma once

#include "sql/SqlTokenizer.h"

#include <cstddef>
#include <map>
#include <set>
#include <vector>

namespace engine {

class Divisors {
public:
    // `tokens` is the whole statement (blanks included) and must outlive this.
    explicit Divisors(const std::vector<SqlToken>& tokens);

    // True when a divisor starts at token `index` (its call opens before it).
    bool startAt(std::size_t index) const { return starts_.count(index) != 0; }
    // How many divisors end with token `index` (their calls close after it).
    int endingAt(std::size_t index) const;

private:
    std::size_t factorEnd(std::size_t first) const;
    std::size_t nameEnd(std::size_t first) const;
    std::size_t closing(std::size_t open) const;
    std::size_t next(std::size_t index) const;  // significant token after, or npos

    const std::vector<SqlToken>& tokens_;  // the statement
    std::set<std::size_t> starts_;         // first tokens of divisors
    std::map<std::size_t, int> ends_;      // token index -> divisors ending there
};

}  // namespace engine
