// Recognises the statements the engine carries out itself rather than handing
// to SQLite: CREATE/DROP SEQUENCE, COMMIT/ROLLBACK, SET TRANSACTION, and PL/SQL
// blocks (of which only the sleep call `begin dbms_session.sleep(n); end;` runs
// for now).
#pragma once

#include "SqlDialect.h"
#include "SqlTokenizer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine {

class EngineCommandParser {
public:
    // `significant` are the statement's tokens without blanks and comments;
    // `sql` is the statement they point into (for error positions).
    EngineCommandParser(const std::vector<SqlToken>& significant, std::string_view sql);

    // For a statement the engine handles, fills `result.command` (and
    // `result.sql` where a plain SQLite statement remains, as for ROLLBACK TO)
    // or `result.error`, and returns true. Returns false for ordinary SQL.
    bool parse(TranslatedSql& result);

private:
    bool parseCreateSequence(TranslatedSql& result);
    bool parseSequenceOption(EngineCommand& command, bool& startGiven);
    bool parseDropSequence(TranslatedSql& result);
    bool parseTransactionEnd(TranslatedSql& result);
    bool parseBlock(TranslatedSql& result);
    bool parseSetTransaction(TranslatedSql& result);
    bool parseSleepCall(EngineCommand& command);
    OraError blockError(const SqlToken& at, const std::string& plsText) const;

    const SqlToken* peek(std::size_t ahead = 0) const;
    bool acceptWord(std::string_view upperCase);
    bool acceptSymbol(std::string_view symbol);
    bool acceptString();
    std::optional<std::string> acceptName();   // a name, as the dictionary holds it
    std::optional<std::int64_t> acceptInteger();  // optionally signed
    std::optional<double> acceptNumber();
    bool atEnd() const;  // nothing but an optional ';' left
    int placeholdersBefore(std::size_t index) const;

    const std::vector<SqlToken>& tokens_;  // significant tokens of the statement
    std::string_view sql_;                 // the statement text
    std::size_t pos_ = 0;                  // next token to read
};

}  // namespace engine
