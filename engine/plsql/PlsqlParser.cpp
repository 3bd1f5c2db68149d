// Reading an anonymous block statement by statement. Each parse function
// reads one statement form and says in its comment which.
#include "plsql/PlsqlParser.h"

#include "sql/SqlDialect.h"
#include "sql/SqlTokenizer.h"

#include <array>
#include <cassert>

namespace engine {
namespace {

// Words that open PL/SQL statements the engine does not run; a block using
// one is refused with the compiler's implementation restriction.
constexpr std::array<std::string_view, 27> kUnsupportedStatements{
    "BEGIN", "CASE",  "CLOSE", "COMMIT", "CONTINUE", "DECLARE",  "EXCEPTION", "EXECUTE", "EXIT",
    "FETCH", "FOR",   "FORALL", "GOTO",  "IF",       "LOCK",     "LOOP",      "MERGE",   "OPEN",
    "PIPE",  "PRAGMA", "RAISE", "RETURN", "ROLLBACK", "SAVEPOINT", "SET",      "WHILE",   "WITH"};

constexpr char kStatementStarts[] = "NULL SELECT INSERT UPDATE DELETE <a bind variable>";

}  // namespace

TranslatedSql translateWithBlock(const std::string& sql) {
    TranslatedSql result = translateSql(sql);
    if (result.command.kind != EngineCommandKind::Block) return result;
    try {
        const SqlTokenizer tokenizer(sql);
        result.command.block = std::make_shared<const PlsqlBlock>(PlsqlParser(tokenizer.significantTokens(), sql).parse());
    } catch (const OraError& error) {
        result.command = EngineCommand{};
        result.error = error;
    }
    return result;
}

PlsqlParser::PlsqlParser(const std::vector<SqlToken>& significant, std::string_view sql)
    : SqlTokenCursor(significant, sql) {}

// BEGIN statement; {statement;} END [;]
PlsqlBlock PlsqlParser::parse() {
    pos_ = 0;
    if (peek() == nullptr || !peek()->isWord("BEGIN")) {
        if (peek() != nullptr) refuse(*peek());
        unexpected(pos_, "BEGIN");
    }
    ++pos_;
    PlsqlBlock block;
    do {
        block.statements.push_back(parseStatement());
    } while (peek() == nullptr || !peek()->isWord("END"));
    ++pos_;
    acceptSymbol(";");
    if (pos_ != tokens_.size()) unexpected(pos_, "end-of-file");
    return block;
}

// NULL | assignment | SELECT INTO | INSERT ... | UPDATE ... | DELETE ... | sleep call; each ended by ';'
PlsqlStatement PlsqlParser::parseStatement() {
    if (peek() == nullptr || peek()->isWord("END")) unexpected(pos_, kStatementStarts);
    const std::size_t end = statementEnd();
    const SqlToken& first = *peek();
    const auto [line, column] = lineAndColumn(first.offset);
    PlsqlStatement statement;
    if (acceptWord("NULL")) {
        if (pos_ != end) unexpected(pos_, ";");
    } else if (first.kind == SqlTokenKind::Placeholder) {
        statement = parseAssignment(end);
    } else if (first.isWord("SELECT")) {
        statement = parseSelectInto(end);
    } else if (first.isWord("INSERT") || first.isWord("UPDATE") || first.isWord("DELETE")) {
        statement = translated(PlsqlStatement::Kind::Change, "", {{pos_, end}}, "");
    } else {
        statement = parseSleep(end);
    }
    pos_ = end + 1;
    statement.line = line;
    statement.column = column;
    return statement;
}

// :name := expression
PlsqlStatement PlsqlParser::parseAssignment(std::size_t end) {
    const int target = placeholdersBefore(pos_++);
    if (!acceptSymbol(":=")) unexpected(pos_, ":=");
    if (pos_ == end) unexpected(pos_, "an expression");
    PlsqlStatement statement = translated(PlsqlStatement::Kind::Assign, "SELECT ", {{pos_, end}}, " FROM DUAL");
    statement.targets = {target};
    return statement;
}

// SELECT list INTO :name {, :name} FROM ...
PlsqlStatement PlsqlParser::parseSelectInto(std::size_t end) {
    const std::size_t select = pos_;
    const std::size_t into = intoClause(end);
    if (into == end) fail(tokens_[select].offset, "PLS-00428: an INTO clause is expected in this SELECT statement");
    pos_ = into + 1;
    std::vector<int> targets = parseTargets();
    PlsqlStatement statement = translated(PlsqlStatement::Kind::SelectInto, "", {{select, into}, {pos_, end}}, "");
    statement.targets = std::move(targets);
    return statement;
}

// :name {, :name}
std::vector<int> PlsqlParser::parseTargets() {
    std::vector<int> targets;
    do {
        const SqlToken* target = peek();
        if (target == nullptr || target->kind != SqlTokenKind::Placeholder) {
            if (target != nullptr && target->isName()) refuse(*target);
            unexpected(pos_, "<a bind variable>");
        }
        targets.push_back(placeholdersBefore(pos_++));
    } while (acceptSymbol(","));
    return targets;
}

// [SYS.]{DBMS_SESSION|DBMS_LOCK}.SLEEP ( number | :name )
// Any other call names what it calls in the compiler's error, since the engine
// has no stored procedures.
PlsqlStatement PlsqlParser::parseSleep(std::size_t end) {
    const std::size_t start = pos_;
    const bool prefixOk = !acceptWord("SYS") || acceptSymbol(".");
    const bool sleep = prefixOk && (acceptWord("DBMS_SESSION") || acceptWord("DBMS_LOCK")) && acceptSymbol(".") &&
                       acceptWord("SLEEP") && acceptSymbol("(");
    const std::size_t argument = pos_;
    const bool placeholder = peek() != nullptr && peek()->kind == SqlTokenKind::Placeholder;
    if (sleep && (placeholder ? (++pos_, true) : acceptNumber().has_value()) && acceptSymbol(")") && pos_ == end) {
        return translated(PlsqlStatement::Kind::Sleep, "SELECT ", {{argument, end - 1}}, " FROM DUAL");
    }
    pos_ = start;
    refuse(tokens_[start]);
}

// The ';' that ends the statement starting at pos_.
std::size_t PlsqlParser::statementEnd() const {
    for (std::size_t i = pos_; i < tokens_.size(); ++i) {
        if (tokens_[i].isSymbol(";")) return i;
    }
    unexpected(tokens_.size(), ";");
}

// The INTO of the query's own select list (not a subquery's) before `end`, or `end`.
std::size_t PlsqlParser::intoClause(std::size_t end) const {
    int depth = 0;
    for (std::size_t i = pos_; i < end; ++i) {
        depth += tokens_[i].isSymbol("(") ? 1 : tokens_[i].isSymbol(")") ? -1 : 0;
        if (depth == 0 && tokens_[i].isWord("INTO")) return i;
    }
    return end;
}

// A statement the engine does not run: the compiler's restriction for a
// PL/SQL statement word, an undeclared identifier for anything named (a
// procedure call, a local variable), a syntax error otherwise.
void PlsqlParser::refuse(const SqlToken& at) {
    for (std::string_view word : kUnsupportedStatements) {
        if (at.isWord(word)) {
            fail(at.offset, "PLS-00999: implementation restriction (may be temporary) " + std::string(word) +
                                " is not supported in the engine's anonymous blocks");
        }
    }
    if (!at.isName()) unexpected(pos_, kStatementStarts);
    std::string called = *acceptName();
    while (acceptSymbol(".") && peek() != nullptr) called += "." + acceptName().value_or("");
    fail(at.offset, "PLS-00201: identifier '" + called + "' must be declared");
}

// The statement made of `prefix`, the block's text over `ranges` and `suffix`,
// in SQLite's dialect, with the block's placeholder occurrence behind each of
// its parameters.
PlsqlStatement PlsqlParser::translated(PlsqlStatement::Kind kind, const std::string& prefix,
                                       std::vector<Range> ranges, const std::string& suffix) const {
    std::string text = prefix;
    PlsqlStatement statement;
    statement.kind = kind;
    for (const Range& range : ranges) {
        if (range.first >= range.end) continue;
        const std::size_t from = tokens_[range.first].offset;
        const SqlToken& last = tokens_[range.end - 1];
        text += std::string(sql_.substr(from, last.offset + last.text.size() - from)) + " ";
        for (std::size_t i = range.first; i < range.end; ++i) {
            if (tokens_[i].kind == SqlTokenKind::Placeholder) statement.parameters.push_back(placeholdersBefore(i));
        }
    }
    TranslatedSql sql = translateSql(text + suffix);
    if (sql.error) throw *sql.error;
    assert(sql.placeholders.size() == statement.parameters.size());
    statement.sql = std::move(sql.sql);
    return statement;
}

void PlsqlParser::unexpected(std::size_t index, const char* expected) const {
    const bool atEndOfText = index >= tokens_.size();
    const std::string symbol = atEndOfText ? "end-of-file" : std::string(tokens_[index].text);
    fail(atEndOfText ? sql_.size() : tokens_[index].offset,
         "PLS-00103: Encountered the symbol \"" + symbol + "\" when expecting one of the following: " + expected);
}

void PlsqlParser::fail(std::size_t offset, const std::string& plsText) const {
    const auto [line, column] = lineAndColumn(offset);
    throw OraError(OraCode::PlsqlCompilation, {std::to_string(line), std::to_string(column), plsText});
}

}  // namespace engine
