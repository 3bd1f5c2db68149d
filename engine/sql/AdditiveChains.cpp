// Operand boundaries of additive chains under the server's precedence.
#include "sql/AdditiveChains.h"

#include <array>
#include <string_view>

namespace engine {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Keywords that end an operand of "||": clauses, conditions, CASE parts.
constexpr std::array<std::string_view, 38> kStopWords{
    "SELECT", "FROM",   "WHERE",  "AND",    "OR",     "NOT",       "WHEN",   "THEN",
    "ELSE",   "AS",     "IS",     "LIKE",   "BETWEEN", "IN",       "ON",     "BY",
    "HAVING", "GROUP",  "ORDER",  "SET",    "VALUES", "INTO",      "DISTINCT", "ALL",
    "UNION",  "INTERSECT", "MINUS", "EXCEPT", "ESCAPE", "RETURNING", "USING", "ASC",
    "DESC",   "NULLS",  "LIMIT",  "WITH",   "UNIQUE", "PRIOR"};

// Operators that bind looser than "||" or end a list item.
constexpr std::array<std::string_view, 13> kStopSymbols{
    ",", ";", "=", "<", ">", "<=", ">=", "<>", "!=", "^=", ":=", "=>", "||"};

bool isStop(const SqlToken& token) {
    if (token.kind == SqlTokenKind::Symbol) {
        for (std::string_view symbol : kStopSymbols) {
            if (token.text == symbol) return true;
        }
        return false;
    }
    for (std::string_view word : kStopWords) {
        if (token.isWord(word)) return true;
    }
    return false;
}

bool opens(const SqlToken& token) { return token.isSymbol("(") || token.isWord("CASE"); }
bool closes(const SqlToken& token) { return token.isSymbol(")") || token.isWord("END"); }
bool isSign(const SqlToken& token) { return token.isSymbol("+") || token.isSymbol("-"); }

// A token that completes a value: after it, a name can only be an alias.
bool endsValue(const SqlToken& token) {
    return token.isName() || token.kind == SqlTokenKind::String || token.kind == SqlTokenKind::Number ||
           token.kind == SqlTokenKind::Placeholder || closes(token);
}

bool startsValue(const SqlToken& token) {
    return token.isName() || token.kind == SqlTokenKind::String || token.kind == SqlTokenKind::Number ||
           token.kind == SqlTokenKind::Placeholder;
}

}  // namespace

AdditiveChains::AdditiveChains(const std::vector<SqlToken>& tokens) : tokens_(tokens) {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (isOperator(i) && seen_.count(i) == 0) findChain(i);
    }
}

int AdditiveChains::startingAt(std::size_t index) const {
    const auto found = starts_.find(index);
    return found == starts_.end() ? 0 : found->second;
}

std::string_view AdditiveChains::joins(std::size_t index) const {
    return joins_.count(index) != 0 ? tokens_[index].text : std::string_view();
}

int AdditiveChains::endingAt(std::size_t index) const {
    const auto found = ends_.find(index);
    return found == ends_.end() ? 0 : found->second;
}

// The chain around the operator at `op`: its first operand, then operand after
// operand while another additive operator follows.
void AdditiveChains::findChain(std::size_t op) {
    const std::size_t first = operandStart(op);
    std::vector<std::size_t> operators;
    std::size_t last = kNone;
    for (std::size_t at = op; at != kNone;) {
        seen_.insert(at);
        operators.push_back(at);
        last = operandEnd(at);
        const std::size_t after = last == kNone ? kNone : next(last);
        at = after != kNone && isOperator(after) ? after : kNone;
    }
    if (first == kNone || last == kNone) return;
    ++starts_[first];
    ++ends_[last];
    joins_.insert(operators.begin(), operators.end());
}

bool AdditiveChains::isOperator(std::size_t index) const {
    const SqlToken& token = tokens_[index];
    return token.isSymbol("||") || (isSign(token) && !isUnarySign(index));
}

// The first token of the operand left of the operator at `op`.
std::size_t AdditiveChains::operandStart(std::size_t op) const {
    int level = 0;
    std::size_t start = kNone;
    for (std::size_t i = previous(op); i != kNone; i = previous(i)) {
        const SqlToken& token = tokens_[i];
        if (closes(token)) ++level;
        if (opens(token) && --level < 0) break;
        if (level == 0 && (isStop(token) || isOperator(i))) break;
        start = i;
    }
    return start;
}

// The last token of the operand right of the operator at `op`. A value
// directly after a complete value starts an alias ("a || b AS x", "a || b x").
std::size_t AdditiveChains::operandEnd(std::size_t op) const {
    int level = 0;
    std::size_t end = kNone;
    for (std::size_t i = next(op); i != kNone; i = next(i)) {
        const SqlToken& token = tokens_[i];
        if (opens(token)) ++level;
        if (closes(token) && --level < 0) break;
        if (level == 0 && end != kNone && endsValue(tokens_[end]) && startsValue(token)) break;
        if (level == 0 && (isStop(token) || isOperator(i))) break;
        end = i;
    }
    return end;
}

// A sign is unary when nothing that could be a left operand precedes it.
bool AdditiveChains::isUnarySign(std::size_t index) const {
    const std::size_t before = previous(index);
    return before == kNone || !endsValue(tokens_[before]) || isStop(tokens_[before]);
}

std::size_t AdditiveChains::previous(std::size_t index) const {
    while (index > 0) {
        if (tokens_[--index].significant()) return index;
    }
    return kNone;
}

std::size_t AdditiveChains::next(std::size_t index) const {
    while (++index < tokens_.size()) {
        if (tokens_[index].significant()) return index;
    }
    return kNone;
}

}  // namespace engine
