// Recognises the statements the engine carries out itself rather than handing
// to SQLite: CREATE/DROP SEQUENCE, COMMIT/ROLLBACK, SET TRANSACTION, and the
// anonymous PL/SQL blocks and CREATE/DROP of stored programs, which it marks
// for the block language.
#pragma once

#include "sql/SqlDialect.h"
#include "sql/SqlTokenCursor.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class EngineCommandParser : private SqlTokenCursor {
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
    bool parseCreateProgram(TranslatedSql& result);
    bool parseDropProgram(TranslatedSql& result);
    std::optional<std::string> programKind();
    bool parseSetTransaction(TranslatedSql& result);
};

}  // namespace engine
