// The grammar of the anonymous blocks the engine runs (PlsqlBlock.h). What
// lies outside it is refused as the server's compiler refuses what it cannot
// compile: ORA-06550 naming the line and column, with the PLS- error.
#pragma once

#include "base/OraError.h"
#include "plsql/PlsqlBlock.h"
#include "sql/SqlDialect.h"
#include "sql/SqlTokenCursor.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

class PlsqlParser : private SqlTokenCursor {
public:
    // `significant` are the block's tokens without blanks and comments; `sql`
    // is the block's text they point into.
    PlsqlParser(const std::vector<SqlToken>& significant, std::string_view sql);

    // The block; throws the OraError the server would report for it.
    PlsqlBlock parse();

private:
    // Token range [first, end) of the block's text.
    struct Range {
        std::size_t first;
        std::size_t end;
    };

    PlsqlStatement parseStatement();
    PlsqlStatement parseAssignment(std::size_t end);
    PlsqlStatement parseSelectInto(std::size_t end);
    PlsqlStatement parseSleep(std::size_t end);
    std::vector<int> parseTargets();
    std::size_t statementEnd() const;
    std::size_t intoClause(std::size_t end) const;
    [[noreturn]] void refuse(const SqlToken& at);
    PlsqlStatement translated(PlsqlStatement::Kind kind, const std::string& prefix, std::vector<Range> ranges,
                              const std::string& suffix) const;
    [[noreturn]] void unexpected(std::size_t index, const char* expected) const;
    [[noreturn]] void fail(std::size_t offset, const std::string& plsText) const;
};

// translateSql() of `sql` with an anonymous block compiled into its command,
// or, for a block the compiler refuses, the refusal as its error.
ENGINE_INTERNAL_API TranslatedSql translateWithBlock(const std::string& sql);

}  // namespace engine
