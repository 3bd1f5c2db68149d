// A read position in the significant tokens of one statement, with the small
// accept-or-stay helpers the engine's own grammars (EngineCommandParser,
// PlsqlParser) read them with, and the line/column form of a token's place
// that the server's PL/SQL errors name.
#pragma once

#include "sql/SqlTokenizer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

class SqlTokenCursor {
public:
    // `significant` are the statement's tokens without blanks and comments;
    // `sql` is the statement they point into. Both must outlive the cursor.
    SqlTokenCursor(const std::vector<SqlToken>& significant, std::string_view sql)
        : tokens_(significant), sql_(sql) {}

protected:
    const SqlToken* peek(std::size_t ahead = 0) const;
    bool acceptWord(std::string_view upperCase);
    bool acceptSymbol(std::string_view symbol);
    bool acceptString();
    std::optional<std::string> acceptName();      // a name, as the dictionary holds it
    std::optional<std::int64_t> acceptInteger();  // optionally signed
    std::optional<double> acceptNumber();         // optionally signed
    bool atEnd() const;  // nothing but an optional ';' left
    // Placeholder occurrences among the tokens before `index` (0-based).
    int placeholdersBefore(std::size_t index) const;
    // The 1-based line and column of byte `offset` of the statement.
    std::pair<std::size_t, std::size_t> lineAndColumn(std::size_t offset) const;

    const std::vector<SqlToken>& tokens_;  // significant tokens of the statement
    std::string_view sql_;                 // the statement text
    std::size_t pos_ = 0;                  // next token to read
};

}  // namespace engine
