// Splits one statement of the server's SQL dialect into tokens.
//
// The tokens cover the text without gaps (blanks and comments are tokens too),
// so that a translation can copy what it does not rewrite. The tokenizer knows
// the dialect's lexical rules only: single-quoted literals ('' for a quote),
// double-quoted identifiers ("" for a quote), "--" and "/* */" comments, and
// placeholders (":name", ":1"); it knows nothing of the grammar.
#pragma once

#include "base/OraError.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class SqlTokenKind {
    Space,        // blanks, tabs, line ends
    Comment,      // "-- ..." to the end of the line, or "/* ... */"
    Word,         // an unquoted identifier or keyword
    QuotedName,   // "..." (text includes the quotes)
    String,       // '...' (text includes the quotes)
    Number,       // 12, 1.5, .5, 1e3
    Placeholder,  // ":name" or ":1" (text includes the colon)
    Symbol        // an operator or punctuation, e.g. "(", "||", "<=", ":="
};

struct SqlToken {
    SqlTokenKind kind;
    std::string_view text;  // points into the tokenized statement
    std::size_t offset;     // 0-based position of the token in the statement

    bool isWord(std::string_view upperCase) const;  // unquoted word, any case
    bool isName() const { return kind == SqlTokenKind::Word || kind == SqlTokenKind::QuotedName; }
    bool isSymbol(std::string_view symbol) const { return kind == SqlTokenKind::Symbol && text == symbol; }
    bool significant() const { return kind != SqlTokenKind::Space && kind != SqlTokenKind::Comment; }
};

class SqlTokenizer {
public:
    // Tokenizes `sql`, which must outlive the tokens. Stops at the first lexical
    // error (an unterminated literal or quoted identifier, an empty quoted
    // identifier); tokens() then holds what came before it and error() the error.
    explicit SqlTokenizer(std::string_view sql);

    const std::vector<SqlToken>& tokens() const { return tokens_; }
    // The tokens without blanks and comments.
    std::vector<SqlToken> significantTokens() const;
    const std::optional<OraError>& error() const { return error_; }

private:
    void scan();
    std::size_t scanQuoted(char quote) const;  // end of a quoted run, npos if open
    std::size_t scanComment() const;
    std::size_t scanWord() const;
    std::size_t scanNumber() const;
    std::size_t scanSymbol() const;
    void push(SqlTokenKind kind, std::size_t end);

    std::string_view sql_;            // the statement being split
    std::size_t pos_ = 0;             // start of the next token
    std::vector<SqlToken> tokens_;    // the tokens so far, in order
    std::optional<OraError> error_;   // the lexical error that stopped the scan
};

}  // namespace engine
