// The right operands of "/" in a statement's tokens.
#include "sql/Divisors.h"

namespace engine {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isSign(const SqlToken& token) { return token.isSymbol("+") || token.isSymbol("-"); }

}  // namespace

Divisors::Divisors(const std::vector<SqlToken>& tokens) : tokens_(tokens) {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (!tokens_[i].isSymbol("/")) continue;
        const std::size_t first = next(i);
        const std::size_t last = first == kNone ? kNone : factorEnd(first);
        if (last == kNone) continue;  // no operand: SQLite reports the syntax error
        starts_.insert(first);
        ++ends_[last];
    }
}

int Divisors::endingAt(std::size_t index) const {
    const auto found = ends_.find(index);
    return found == ends_.end() ? 0 : found->second;
}

// The last token of the factor that starts at `first`, or kNone.
std::size_t Divisors::factorEnd(std::size_t first) const {
    std::size_t at = first;
    while (at != kNone && isSign(tokens_[at])) at = next(at);
    if (at == kNone) return kNone;
    const SqlToken& token = tokens_[at];
    if (token.isSymbol("(") || token.isWord("CASE")) return closing(at);
    if (token.kind == SqlTokenKind::Number || token.kind == SqlTokenKind::String ||
        token.kind == SqlTokenKind::Placeholder)
        return at;
    return token.isName() ? nameEnd(at) : kNone;
}

// The end of a dotted name (a.b.c) and of the call's arguments that follow it.
std::size_t Divisors::nameEnd(std::size_t first) const {
    std::size_t end = first;
    for (std::size_t dot = next(end); dot != kNone && tokens_[dot].isSymbol(".");) {
        const std::size_t name = next(dot);
        if (name == kNone || !tokens_[name].isName()) break;
        end = name;
        dot = next(end);
    }
    const std::size_t after = next(end);
    return after != kNone && tokens_[after].isSymbol("(") ? closing(after) : end;
}

// The ")" or END that closes the "(" or CASE at `open`, or kNone.
std::size_t Divisors::closing(std::size_t open) const {
    const bool parenthesis = tokens_[open].isSymbol("(");
    int depth = 0;
    for (std::size_t at = open; at != kNone; at = next(at)) {
        const SqlToken& token = tokens_[at];
        if (parenthesis ? token.isSymbol("(") : token.isWord("CASE")) ++depth;
        if ((parenthesis ? token.isSymbol(")") : token.isWord("END")) && --depth == 0) return at;
    }
    return kNone;
}

std::size_t Divisors::next(std::size_t index) const {
    while (++index < tokens_.size()) {
        if (tokens_[index].significant()) return index;
    }
    return kNone;
}

}  // namespace engine
