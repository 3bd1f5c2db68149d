// Rewrites a statement's tokens into SQLite text, one token (or one dotted
// name) at a time: identifiers folded and encoded, placeholders numbered, the
// dialect's special words (DUAL, SYSDATE, NVL, seq.NEXTVAL, ROWNUM, MINUS, ...)
// "||" chains and date arithmetic translated, divisors checked for zero, clauses SQLite lacks left out. Blanks and
// comments are copied, so the expression texts SQLite reports as column names
// stay close to what the client wrote.
#pragma once

#include "sql/AdditiveChains.h"
#include "sql/Divisors.h"
#include "sql/SqlDialect.h"
#include "sql/SqlTokenizer.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class SqlRewriter {
public:
    SqlRewriter(const std::vector<SqlToken>& tokens, StatementKind kind)
        : tokens_(tokens), kind_(kind), chains_(tokens), divisors_(tokens) {}

    // Fills `result.sql` and `result.placeholders`, or `result.error`.
    void run(TranslatedSql& result);
    // Where token `index` starts in the output (index == token count: the end).
    std::size_t outputOffset(std::size_t index) const { return offsets_[index]; }

private:
    std::size_t statementEnd() const;
    void findAddedColumnParentheses();
    void findSizedColumns();
    void findNumberColumns();
    bool isColumnDefinition(std::size_t w) const;
    void addColumnCheck(std::size_t w, const char* name, const std::string& condition);
    std::size_t emitToken(std::size_t index);
    std::size_t emitPlain(std::size_t index);
    std::size_t rewriteName(std::size_t index);
    std::size_t rewriteRownum(std::size_t index);
    bool endsCondition(std::size_t index) const;
    bool topLevelOr() const;
    bool inSelectList() const;
    void emitWord(std::size_t index);
    void emitName(const std::string& dictionaryName);
    void checkLength(const std::string& dictionaryName);
    std::size_t nextSignificant(std::size_t index) const;
    const SqlToken* previousSignificant(std::size_t index) const;
    bool previousIsDot(std::size_t index) const;
    bool previousIs(std::size_t index, std::string_view word) const;
    bool nextIs(std::size_t index, std::string_view symbol) const;
    bool nextIsWord(std::size_t index, std::string_view word) const;
    bool isLengthSemantics(std::size_t index) const;
    std::vector<std::size_t> dottedName(std::size_t index) const;

    const std::vector<SqlToken>& tokens_;  // the whole statement, blanks included
    StatementKind kind_;                   // decides where type names are rewritten
    AdditiveChains chains_;                // the statement's "||" and date-arithmetic chains
    Divisors divisors_;                    // the right operands of "/"
    std::vector<std::size_t> words_;       // indexes of the significant tokens
    std::string out_;                      // the SQLite text so far
    std::vector<std::size_t> offsets_;     // output offset of each token
    std::vector<std::string> placeholders_; // folded names in order of appearance
    std::optional<OraError> error_;        // first translation error
    int depth_ = 0;                        // parenthesis depth at the token being emitted
    std::optional<long long> rowLimit_;    // LIMIT that replaces a ROWNUM condition
    std::vector<bool> selectListAt_;       // per depth: between SELECT and FROM
    std::set<std::size_t> unwrapped_;      // parentheses left out of the SQLite text
    std::map<std::size_t, std::string> columnChecks_;  // checks to write after a column's type
};

}  // namespace engine
