// Lexical rules of the server's SQL dialect.
#include "sql/SqlTokenizer.h"

#include <array>
#include <cctype>

namespace engine {
namespace {

// Operators of more than one character, longest first where they share a start.
constexpr std::array<std::string_view, 9> kLongSymbols{
    "||", "<=", ">=", "<>", "!=", "^=", ":=", "=>", ".."};

bool isWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
}

// Unquoted identifiers continue with letters, digits, '_', '$' and '#'.
bool isWordChar(char c) {
    return isWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           c == '#';
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Placeholder names are letters, digits and '_' only (":=" is no placeholder).
bool isPlaceholderChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

bool SqlToken::isWord(std::string_view upperCase) const {
    if (kind != SqlTokenKind::Word || text.size() != upperCase.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upperCase[i]) return false;
    }
    return true;
}

SqlTokenizer::SqlTokenizer(std::string_view sql) : sql_(sql) { scan(); }

std::vector<SqlToken> SqlTokenizer::significantTokens() const {
    std::vector<SqlToken> out;
    for (const SqlToken& token : tokens_) {
        if (token.significant()) out.push_back(token);
    }
    return out;
}

void SqlTokenizer::scan() {
    while (pos_ < sql_.size() && !error_) {
        const char c = sql_[pos_];
        const char next = pos_ + 1 < sql_.size() ? sql_[pos_ + 1] : '\0';
        if (std::isspace(static_cast<unsigned char>(c))) {
            std::size_t end = pos_;
            while (end < sql_.size() && std::isspace(static_cast<unsigned char>(sql_[end]))) ++end;
            push(SqlTokenKind::Space, end);
        } else if ((c == '-' && next == '-') || (c == '/' && next == '*')) {
            push(SqlTokenKind::Comment, scanComment());
        } else if (c == '\'' || c == '"') {
            const std::size_t end = scanQuoted(c);
            if (end == std::string_view::npos) {
                error_ = OraError(c == '"' ? OraCode::MissingDoubleQuote : OraCode::UnterminatedString);
            } else if (c == '"' && end == pos_ + 2) {
                error_ = OraError(OraCode::ZeroLengthIdentifier);
            } else {
                push(c == '"' ? SqlTokenKind::QuotedName : SqlTokenKind::String, end);
            }
        } else if (c == ':' && isPlaceholderChar(next)) {
            std::size_t end = pos_ + 1;
            while (end < sql_.size() && isPlaceholderChar(sql_[end])) ++end;
            push(SqlTokenKind::Placeholder, end);
        } else if (isWordStart(c)) {
            push(SqlTokenKind::Word, scanWord());
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            push(SqlTokenKind::Number, scanNumber());
        } else {
            push(SqlTokenKind::Symbol, scanSymbol());
        }
    }
}

std::size_t SqlTokenizer::scanQuoted(char quote) const {
    for (std::size_t end = pos_ + 1; end < sql_.size(); ++end) {
        if (sql_[end] != quote) continue;
        if (end + 1 < sql_.size() && sql_[end + 1] == quote) {
            ++end;  // a doubled quote stands for one quote inside the text
            continue;
        }
        return end + 1;
    }
    return std::string_view::npos;
}

// An unterminated "/*" comment runs to the end of the statement, as the server
// reads it.
std::size_t SqlTokenizer::scanComment() const {
    if (sql_[pos_] == '-') {
        const std::size_t end = sql_.find('\n', pos_);
        return end == std::string_view::npos ? sql_.size() : end;
    }
    const std::size_t close = sql_.find("*/", pos_ + 2);
    return close == std::string_view::npos ? sql_.size() : close + 2;
}

std::size_t SqlTokenizer::scanWord() const {
    std::size_t end = pos_;
    while (end < sql_.size() && isWordChar(sql_[end])) ++end;
    return end;
}

std::size_t SqlTokenizer::scanNumber() const {
    std::size_t end = pos_;
    while (end < sql_.size() && isDigit(sql_[end])) ++end;
    if (end < sql_.size() && sql_[end] == '.' && !(end + 1 < sql_.size() && sql_[end + 1] == '.')) {
        ++end;
        while (end < sql_.size() && isDigit(sql_[end])) ++end;
    }
    if (end < sql_.size() && (sql_[end] == 'e' || sql_[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < sql_.size() && (sql_[exponent] == '+' || sql_[exponent] == '-')) ++exponent;
        if (exponent < sql_.size() && isDigit(sql_[exponent])) {
            end = exponent;
            while (end < sql_.size() && isDigit(sql_[end])) ++end;
        }
    }
    return end;
}

std::size_t SqlTokenizer::scanSymbol() const {
    for (std::string_view symbol : kLongSymbols) {
        if (sql_.compare(pos_, symbol.size(), symbol) == 0) return pos_ + symbol.size();
    }
    return pos_ + 1;
}

void SqlTokenizer::push(SqlTokenKind kind, std::size_t end) {
    tokens_.push_back(SqlToken{kind, sql_.substr(pos_, end - pos_), pos_});
    pos_ = end;
}

}  // namespace engine
