// Translation of the server's SQL dialect into SQLite's: the identifier
// encoding, statement classification, and the steps of a translation.
#include "SqlDialect.h"

#include "EngineCommandParser.h"
#include "SelectListBuilder.h"
#include "SqlRewriter.h"
#include "SqlTokenizer.h"

#include <array>
#include <cctype>
#include <string_view>
#include <utility>

namespace engine {
namespace {

constexpr char kEscape = '^';  // marks a lower-case letter (or itself) in a stored name

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

std::string identifierName(const std::string& text) {
    if (text.size() < 2 || text.front() != '"') return upperCaseAscii(text);
    std::string name;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        name += text[i];
        if (text[i] == '"') ++i;  // "" inside the quotes stands for one quote
    }
    return name;
}

std::string encodeIdentifier(const std::string& text) { return encodeName(identifierName(text)); }

std::string encodeName(const std::string& name) {
    std::string stored;
    for (char c : name) {
        if (c >= 'a' && c <= 'z') {
            stored += kEscape;
            stored += static_cast<char>(c - 'a' + 'A');
        } else {
            if (c == kEscape) stored += kEscape;
            stored += c;
        }
    }
    return stored;
}

std::string decodeIdentifier(const std::string& stored) {
    std::string name;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (stored[i] == kEscape && next >= 'A' && next <= 'Z') {
            name += static_cast<char>(next - 'A' + 'a');
            ++i;
        } else {
            name += stored[i];
            if (stored[i] == kEscape && next == kEscape) ++i;
        }
    }
    return name;
}

std::string quoteStored(const std::string& stored) {
    std::string out = "\"";
    for (char c : stored) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string upperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool isInternalName(const std::string& stored) {
    return stored.compare(0, 2, kEnginePrefix) == 0 || upperCaseAscii(stored.substr(0, 7)) == "SQLITE_";
}

}  // namespace engine
