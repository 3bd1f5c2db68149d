// Reading the significant tokens of a statement one accepted token at a time.
#include "sql/SqlTokenCursor.h"

#include "sql/SqlDialect.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace engine {

const SqlToken* SqlTokenCursor::peek(std::size_t ahead) const {
    return pos_ + ahead < tokens_.size() ? &tokens_[pos_ + ahead] : nullptr;
}

bool SqlTokenCursor::acceptWord(std::string_view upperCase) {
    if (peek() == nullptr || !peek()->isWord(upperCase)) return false;
    ++pos_;
    return true;
}

bool SqlTokenCursor::acceptSymbol(std::string_view symbol) {
    if (peek() == nullptr || !peek()->isSymbol(symbol)) return false;
    ++pos_;
    return true;
}

bool SqlTokenCursor::acceptString() {
    if (peek() == nullptr || peek()->kind != SqlTokenKind::String) return false;
    ++pos_;
    return true;
}

std::optional<std::string> SqlTokenCursor::acceptName() {
    const SqlToken* token = peek();
    if (token == nullptr || !token->isName()) return std::nullopt;
    ++pos_;
    return identifierName(std::string(token->text));
}

// Integers are read exactly (not through a double) so that sequence bounds
// near the 64-bit limits keep every digit.
std::optional<std::int64_t> SqlTokenCursor::acceptInteger() {
    const std::size_t start = pos_;
    const bool negative = acceptSymbol("-");
    if (!negative) acceptSymbol("+");
    const SqlToken* token = peek();
    if (token != nullptr && token->kind == SqlTokenKind::Number &&
        token->text.find_first_not_of("0123456789") == std::string_view::npos) {
        errno = 0;
        const std::string digits = (negative ? "-" : "") + std::string(token->text);
        const long long value = std::strtoll(digits.c_str(), nullptr, 10);
        if (errno == 0) {
            ++pos_;
            return value;
        }
    }
    pos_ = start;
    return std::nullopt;
}

std::optional<double> SqlTokenCursor::acceptNumber() {
    const std::size_t start = pos_;
    const bool negative = acceptSymbol("-");
    if (!negative) acceptSymbol("+");
    const SqlToken* token = peek();
    if (token == nullptr || token->kind != SqlTokenKind::Number) {
        pos_ = start;
        return std::nullopt;
    }
    ++pos_;
    const double value = std::strtod(std::string(token->text).c_str(), nullptr);
    return negative ? -value : value;
}

bool SqlTokenCursor::atEnd() const {
    return pos_ == tokens_.size() || (pos_ + 1 == tokens_.size() && tokens_[pos_].isSymbol(";"));
}

int SqlTokenCursor::placeholdersBefore(std::size_t index) const {
    return static_cast<int>(std::count_if(tokens_.begin(), tokens_.begin() + index, [](const SqlToken& t) {
        return t.kind == SqlTokenKind::Placeholder;
    }));
}

std::pair<std::size_t, std::size_t> SqlTokenCursor::lineAndColumn(std::size_t offset) const {
    const std::string_view before = sql_.substr(0, offset);
    const auto line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
    return {line, column};
}

}  // namespace engine
