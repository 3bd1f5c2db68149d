// Translation of the server's SQL dialect into SQLite's: statement
// classification and the steps of a translation.
#include "sql/SqlDialect.h"

#include "sql/EngineCommandParser.h"
#include "sql/SelectListBuilder.h"
#include "sql/SqlRewriter.h"
#include "sql/SqlTokenizer.h"

#include <array>
#include <string_view>
#include <utility>

namespace engine {
namespace {

struct LeadingKeyword {
    std::string_view word;
    StatementKind kind;
};

// The first keyword of a statement and the kind it makes.
constexpr std::array<LeadingKeyword, 12> kLeadingKeywords{{
    {"SELECT", StatementKind::Select},
    {"WITH", StatementKind::Select},
    {"UPDATE", StatementKind::Update},
    {"DELETE", StatementKind::Delete},
    {"INSERT", StatementKind::Insert},
    {"CREATE", StatementKind::Create},
    {"DROP", StatementKind::Drop},
    {"ALTER", StatementKind::Alter},
    {"BEGIN", StatementKind::Begin},
    {"DECLARE", StatementKind::Declare},
    {"COMMIT", StatementKind::Commit},
    {"ROLLBACK", StatementKind::Rollback},
}};


// The kind from the first keyword; a query may open with parentheses.
StatementKind classify(const std::vector<SqlToken>& significant) {
    std::size_t first = 0;
    while (first < significant.size() && significant[first].isSymbol("(")) ++first;
    if (first == significant.size()) return StatementKind::Other;
    for (const LeadingKeyword& entry : kLeadingKeywords) {
        if (significant[first].isWord(entry.word)) return entry.kind;
    }
    return StatementKind::Other;
}

}  // namespace

unsigned short ociStatementType(StatementKind kind) {
    const auto value = static_cast<unsigned short>(kind);
    return value <= static_cast<unsigned short>(StatementKind::Declare) ? value : 0;
}

TranslatedSql translateSql(const std::string& oracleSql) {
    TranslatedSql result;
    const SqlTokenizer tokenizer(oracleSql);
    const std::vector<SqlToken> significant = tokenizer.significantTokens();
    result.kind = classify(significant);
    if (tokenizer.error()) {
        result.error = tokenizer.error();
        return result;
    }
    SqlRewriter rewriter(tokenizer.tokens(), result.kind);
    rewriter.run(result);
    if (EngineCommandParser(significant, oracleSql).parse(result)) {
        if (result.error) result.command = EngineCommand{};
        if (result.command.kind != EngineCommandKind::None || result.error) result.sql.clear();
        return result;
    }
    if (result.kind == StatementKind::Select && !result.error)
        result.selectList = SelectListBuilder(tokenizer.tokens(), rewriter, result.sql).build();
    return result;
}

}  // namespace engine
