// The token-by-token rewrite of the server's dialect into SQLite's.
#include "sql/SqlRewriter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace engine {
namespace {

// A stored name SQLite can read without quotes: letters, digits and '_' only.
bool isPlainName(std::string_view stored) {
    for (char c : stored) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    return true;
}

std::string quoteLiteral(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace

void SqlRewriter::run(TranslatedSql& result) {
    offsets_.assign(tokens_.size() + 1, 0);
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (tokens_[i].significant()) words_.push_back(i);
    }
    findAddedColumnParentheses();
    findSizedColumns();
    findNumberColumns();
    const std::size_t end = statementEnd();
    for (std::size_t i = 0; i < end;) {
        offsets_[i] = out_.size();
        const std::size_t next = emitToken(i);
        for (std::size_t j = i + 1; j < next; ++j) offsets_[j] = out_.size();
        i = next;
    }
    std::fill(offsets_.begin() + static_cast<std::ptrdiff_t>(end), offsets_.end(), out_.size());
    if (rowLimit_) out_ += " LIMIT " + std::to_string(*rowLimit_);
    result.placeholders = std::move(placeholders_);
    if (error_) {
        result.error = error_;
    } else {
        result.sql = std::move(out_);
    }
}

// Emits token `index` (or the dotted name it starts), with the calls of the
// additive chains and divisors it opens or closes; returns the index after.
// A divisor lies inside any chain that starts or ends with it.
std::size_t SqlRewriter::emitToken(std::size_t index) {
    for (int n = chains_.startingAt(index); n > 0; --n) out_ += quoteStored(kChainFunction) + "(";
    if (divisors_.startAt(index)) out_ += quoteStored(kDivisorFunction) + "(";
    std::size_t next = index + 1;
    if (const std::string_view op = chains_.joins(index); !op.empty()) {
        out_ += ", '" + std::string(op) + "',";
    } else {
        next = emitPlain(index);
    }
    for (std::size_t i = index; i < next; ++i) {
        for (int n = divisors_.endingAt(i) + chains_.endingAt(i); n > 0; --n) out_ += ")";
        const auto check = columnChecks_.find(i);
        if (check != columnChecks_.end()) out_ += check->second;
    }
    return next;
}

std::size_t SqlRewriter::emitPlain(std::size_t index) {
    const SqlToken& token = tokens_[index];
    if (token.isWord("SELECT") || token.isWord("FROM")) {
        selectListAt_.resize(static_cast<std::size_t>(std::max(depth_, 0)) + 1, false);
        selectListAt_[static_cast<std::size_t>(std::max(depth_, 0))] = token.isWord("SELECT");
    }
    if (token.isName()) return rewriteName(index);
    if (token.kind == SqlTokenKind::Placeholder) {
        placeholders_.push_back(identifierName(std::string(token.text.substr(1))));
        out_ += "?" + std::to_string(placeholders_.size());
        return index + 1;
    }
    depth_ += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
    if (unwrapped_.count(index) != 0) return index + 1;
    if (token.isSymbol("/")) {
        // The server divides exactly where SQLite divides integers to an
        // integer; "* 1.0" makes the left operand real, and as "*" and "/"
        // bind alike and from the left it changes no other operand.
        out_ += "* 1.0 /";
    } else {
        // The server has no empty text: '' is NULL wherever it is written.
        out_ += token.kind == SqlTokenKind::String && token.text == "''" ? std::string_view("NULL") : token.text;
    }
    return index + 1;
}

// Where the SQLite text ends. A final ";" goes, so that a LIMIT can follow the
// query. So do clauses SQLite lacks that change nothing here: a DROP's CASCADE
// CONSTRAINTS or PURGE (there is no recycle bin, and SQLite checks no foreign
// key against a dropped table) and a query's FOR UPDATE [...] (the engine keeps
// no row locks; a session's later change still waits for other writers).
std::size_t SqlRewriter::statementEnd() const {
    int depth = 0;
    for (std::size_t i : words_) {
        depth += tokens_[i].isSymbol("(") ? 1 : tokens_[i].isSymbol(")") ? -1 : 0;
        const bool forUpdate = kind_ == StatementKind::Select && depth == 0 && tokens_[i].isWord("FOR") &&
                               nextIsWord(i, "UPDATE");
        if (forUpdate) return i;
    }
    const bool block = kind_ == StatementKind::Begin || kind_ == StatementKind::Declare;
    std::size_t end = words_.size();
    if (end > 0 && !block && tokens_[words_[end - 1]].isSymbol(";")) --end;
    if (kind_ == StatementKind::Drop) {
        constexpr std::size_t kShortestDrop = 3;  // DROP TABLE name: a clause needs a name before it
        if (end > kShortestDrop && tokens_[words_[end - 1]].isWord("PURGE")) --end;
        if (end > kShortestDrop + 1 && tokens_[words_[end - 1]].isWord("CONSTRAINTS") &&
            tokens_[words_[end - 2]].isWord("CASCADE"))
            end -= 2;
    }
    return end == words_.size() ? tokens_.size() : words_[end];
}

// ALTER TABLE t ADD (column type): SQLite adds one column per statement and
// without parentheses, so the parentheses around a single column go.
void SqlRewriter::findAddedColumnParentheses() {
    if (kind_ != StatementKind::Alter) return;
    std::vector<std::size_t> words = words_;
    if (!words.empty() && tokens_[words.back()].isSymbol(";")) words.pop_back();
    const auto add = std::find_if(words.begin(), words.end(), [this](std::size_t i) { return tokens_[i].isWord("ADD"); });
    if (add == words.end() || add + 1 == words.end() || !tokens_[*(add + 1)].isSymbol("(")) return;
    int depth = 0;
    for (auto it = add + 1; it != words.end(); ++it) {
        const SqlToken& token = tokens_[*it];
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (depth == 1 && token.isSymbol(",")) return;  // several columns: left for SQLite to refuse
        if (depth == 0) {
            if (it + 1 != words.end()) return;
            unwrapped_ = {*(add + 1), *it};
        }
    }
}

// The server refuses text longer than a VARCHAR2 or CHAR column is declared;
// SQLite keeps any length. So each such column of CREATE TABLE and ALTER
// TABLE ... ADD gets a CHECK of its length, named so that its failure reads as
// the server's error (see OraError). RAW gets none: a raw written as hex text
// would count twice its bytes.
void SqlRewriter::findSizedColumns() {
    if (kind_ != StatementKind::Create && kind_ != StatementKind::Alter) return;
    const std::vector<std::size_t>& words = words_;
    if (words.size() < 2 || !tokens_[words[1]].isWord("TABLE")) return;
    for (std::size_t w = 1; w + 3 < words.size(); ++w) {
        const SqlToken& column = tokens_[words[w - 1]];
        const SqlToken& type = tokens_[words[w]];
        const bool sized = type.isWord("VARCHAR2") || type.isWord("VARCHAR") || type.isWord("NVARCHAR2") ||
                           type.isWord("CHAR") || type.isWord("NCHAR");
        if (!sized || !isColumnDefinition(w) || !tokens_[words[w + 1]].isSymbol("(") ||
            tokens_[words[w + 2]].kind != SqlTokenKind::Number)
            continue;
        const std::size_t close = tokens_[words[w + 3]].isSymbol(")") ? words[w + 3]
                                  : w + 4 < words.size() && tokens_[words[w + 4]].isSymbol(")") ? words[w + 4]
                                                                                                : 0;
        if (close == 0) continue;
        const std::string stored = quoteStored(encodeName(identifierName(std::string(column.text))));
        addColumnCheck(w, kSizeConstraint, "length(" + stored + ") <= " + std::string(tokens_[words[w + 2]].text));
    }
}

// SQLite keeps an infinity that arithmetic produced (1e308 * 10) in a
// numeric column, where the server has no such number; so each NUMBER-like
// column of CREATE TABLE and ALTER TABLE ... ADD gets a CHECK that the value
// is finite, named so that its failure reads as the server's ORA-01426. (NaN
// needs none: SQLite stores it as NULL, and the binds refuse it.)
void SqlRewriter::findNumberColumns() {
    if (kind_ != StatementKind::Create && kind_ != StatementKind::Alter) return;
    if (words_.size() < 2 || !tokens_[words_[1]].isWord("TABLE")) return;
    for (std::size_t w = 1; w < words_.size(); ++w) {
        const SqlToken& column = tokens_[words_[w - 1]];
        const SqlToken& type = tokens_[words_[w]];
        const bool numeric = type.isWord("NUMBER") || type.isWord("FLOAT") || type.isWord("INTEGER") ||
                             type.isWord("DECIMAL") || type.isWord("REAL");
        if (!numeric || !isColumnDefinition(w)) continue;
        const std::string stored = quoteStored(encodeName(identifierName(std::string(column.text))));
        addColumnCheck(w, kFiniteConstraint, "typeof(" + stored + ") <> 'real' OR abs(" + stored + ") < 1e999");
    }
}

// True when word `w` is the type of a column definition: a name after "(",
// "," or ADD, not a query's alias (CREATE TABLE ... AS SELECT).
bool SqlRewriter::isColumnDefinition(std::size_t w) const {
    if (w < 2 || !tokens_[words_[w - 1]].isName() || tokens_[words_[w - 1]].isWord("AS")) return false;
    const SqlToken& before = tokens_[words_[w - 2]];
    const bool asQuery = std::any_of(words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(w),
                                     [this](std::size_t i) { return tokens_[i].isWord("SELECT"); });
    return !asQuery && (before.isSymbol("(") || before.isSymbol(",") || before.isWord("ADD"));
}

// Adds the engine's check named `name` to the column definition whose type is
// word `w`, after the definition's last token: SQLite gives a constraint name
// to every unnamed constraint that follows it in the same definition, so the
// client's own checks must come first.
void SqlRewriter::addColumnCheck(std::size_t w, const char* name, const std::string& condition) {
    int depth = 0;
    std::size_t last = words_[w];
    for (std::size_t at = w + 1; at < words_.size(); ++at) {
        const SqlToken& token = tokens_[words_[at]];
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (depth < 0 || (depth == 0 && (token.isSymbol(",") || token.isSymbol(";")))) break;
        last = words_[at];
    }
    columnChecks_[last] += " CONSTRAINT " + quoteStored(name) + " CHECK (" + condition + ")";
}

// ROWNUM <= n, ROWNUM < n and ROWNUM = n as an AND-ed condition of the outer
// query's WHERE become LIMIT n (the condition itself 1 = 1); in a select list
// ROWNUM numbers the result rows. The server numbers rows before it sorts them
// and SQLite's LIMIT applies after ORDER BY, which gives the top-n query its
// usual meaning.
std::size_t SqlRewriter::rewriteRownum(std::size_t index) {
    const std::size_t op = nextSignificant(index);
    const std::size_t number = op < tokens_.size() ? nextSignificant(op) : op;
    const SqlToken* before = previousSignificant(index);
    const bool condition = kind_ == StatementKind::Select && depth_ == 0 && !rowLimit_ && !topLevelOr() &&
                           before != nullptr && (before->isWord("WHERE") || before->isWord("AND")) &&
                           number < tokens_.size() && tokens_[number].kind == SqlTokenKind::Number &&
                           tokens_[number].text.find_first_not_of("0123456789") == std::string_view::npos &&
                           endsCondition(nextSignificant(number));
    const std::string_view comparison = op < tokens_.size() ? tokens_[op].text : std::string_view();
    if (!condition || (comparison != "<=" && comparison != "<" && comparison != "=")) {
        // Elsewhere SQLite reports ROWNUM as an unknown column, which is as
        // clear as the engine can be about a use it does not support.
        out_ += inSelectList() ? "ROW_NUMBER() OVER ()" : "ROWNUM";
        return index + 1;
    }
    const long long n = std::strtoll(std::string(tokens_[number].text).c_str(), nullptr, 10);
    // ROWNUM = n holds for no row when n > 1: the first row fails it, so no row is ever numbered 2.
    rowLimit_ = std::max(0LL, comparison == "<=" ? n : comparison == "<" ? n - 1 : (n == 1 ? 1 : 0));
    out_ += "1 = 1";
    return number + 1;
}

// True when token `index` (the token count: the end) closes an AND-ed condition.
bool SqlRewriter::endsCondition(std::size_t index) const {
    if (index >= tokens_.size()) return true;
    const SqlToken& token = tokens_[index];
    return token.isSymbol(";") || token.isWord("AND") || token.isWord("ORDER") || token.isWord("GROUP") ||
           token.isWord("FOR");
}

bool SqlRewriter::inSelectList() const {
    const auto depth = static_cast<std::size_t>(std::max(depth_, 0));
    return depth < selectListAt_.size() && selectListAt_[depth];
}

bool SqlRewriter::topLevelOr() const {
    int depth = 0;
    for (const SqlToken& token : tokens_) {
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (depth == 0 && token.isWord("OR")) return true;
    }
    return false;
}

// A name, possibly dotted; returns the index after what it consumed.
// seq.NEXTVAL / seq.CURRVAL ([schema.]seq) become calls of the engine's sequence
// functions, [SYS.]DUAL and the dictionary views the engine's objects; anything else is emitted
// one token at a time.
std::size_t SqlRewriter::rewriteName(std::size_t index) {
    const std::vector<std::size_t> parts = dottedName(index);
    const SqlToken& last = tokens_[parts.back()];
    if (!previousIsDot(index) && parts.size() >= 2 && (last.isWord("NEXTVAL") || last.isWord("CURRVAL"))) {
        const std::string sequence = identifierName(std::string(tokens_[parts[parts.size() - 2]].text));
        checkLength(sequence);
        out_ += quoteStored(last.isWord("NEXTVAL") ? kNextvalFunction : kCurrvalFunction);
        out_ += "(" + quoteLiteral(sequence) + ")";
        return parts.back() + 1;
    }
    const bool sysQualified = parts.size() == 2 && tokens_[index].isWord("SYS");
    if (!previousIsDot(index) && (parts.size() == 1 || sysQualified)) {
        for (const DictionaryObject& object : kDictionaryObjects) {
            if (!last.isWord(object.name)) continue;
            out_ += quoteStored(object.stored);
            return parts.back() + 1;
        }
    }
    if (!previousIsDot(index) && parts.size() == 1 && last.isWord("ROWNUM")) return rewriteRownum(index);
    emitWord(index);
    return index + 1;
}

// One word or quoted name, with the dialect's special words translated.
void SqlRewriter::emitWord(std::size_t index) {
    const SqlToken& token = tokens_[index];
    const bool qualified = previousIsDot(index);
    if (token.kind == SqlTokenKind::QuotedName) {
        emitName(identifierName(std::string(token.text)));
    } else if (!qualified && token.isWord("SYSDATE") && !nextIs(index, "(")) {
        // SQLite takes a function call as a column default only in parentheses.
        const bool inDefault = previousIs(index, "DEFAULT");
        out_ += (inDefault ? "(" : "") + quoteStored(kSysdateFunction) + "()" + (inDefault ? ")" : "");
    } else if (!qualified && token.isWord("NVL") && nextIs(index, "(")) {
        out_ += "IFNULL";
    } else if (!qualified && token.isWord("SUBSTR") && nextIs(index, "(")) {
        out_ += quoteStored(kSubstrFunction);
    } else if (!qualified && token.isWord("MINUS")) {
        out_ += "EXCEPT";
    } else if (isLengthSemantics(index)) {
        // VARCHAR2(20 BYTE) and VARCHAR2(20 CHAR) keep the length alone: SQLite
        // reads only numbers in a type's parentheses.
    } else if (token.isWord("LONG") && (kind_ == StatementKind::Create || kind_ == StatementKind::Alter) &&
               !nextIsWord(index, "RAW")) {
        // LONG keeps its name but gets text affinity: SQLite's numeric affinity
        // for an unknown type name would turn the text "007" into 7.
        out_ += "LONG TEXT";
    } else {
        emitName(identifierName(std::string(token.text)));
    }
}

void SqlRewriter::emitName(const std::string& dictionaryName) {
    checkLength(dictionaryName);
    const std::string stored = encodeName(dictionaryName);
    out_ += isPlainName(stored) ? stored : quoteStored(stored);
}

void SqlRewriter::checkLength(const std::string& dictionaryName) {
    if (dictionaryName.size() > kMaxIdentifierLength && !error_) error_ = OraError(OraCode::IdentifierTooLong);
}

// The index of the first significant token after `index` (the token count when none).
std::size_t SqlRewriter::nextSignificant(std::size_t index) const {
    std::size_t next = index + 1;
    while (next < tokens_.size() && !tokens_[next].significant()) ++next;
    return next;
}

const SqlToken* SqlRewriter::previousSignificant(std::size_t index) const {
    while (index > 0) {
        const SqlToken& token = tokens_[--index];
        if (token.significant()) return &token;
    }
    return nullptr;
}

bool SqlRewriter::previousIsDot(std::size_t index) const {
    const SqlToken* previous = previousSignificant(index);
    return previous != nullptr && previous->isSymbol(".");
}

bool SqlRewriter::previousIs(std::size_t index, std::string_view word) const {
    const SqlToken* previous = previousSignificant(index);
    return previous != nullptr && previous->isWord(word);
}

bool SqlRewriter::nextIsWord(std::size_t index, std::string_view word) const {
    const std::size_t next = nextSignificant(index);
    return next < tokens_.size() && tokens_[next].isWord(word);
}

bool SqlRewriter::isLengthSemantics(std::size_t index) const {
    const SqlToken& token = tokens_[index];
    if (kind_ != StatementKind::Create && kind_ != StatementKind::Alter) return false;
    if (!token.isWord("BYTE") && !token.isWord("CHAR")) return false;
    const SqlToken* previous = previousSignificant(index);
    return previous != nullptr && previous->kind == SqlTokenKind::Number && nextIs(index, ")");
}

bool SqlRewriter::nextIs(std::size_t index, std::string_view symbol) const {
    const std::size_t next = nextSignificant(index);
    return next < tokens_.size() && tokens_[next].isSymbol(symbol);
}

// The token indexes of the dotted name that starts at `index` (a.b.c).
std::vector<std::size_t> SqlRewriter::dottedName(std::size_t index) const {
    std::vector<std::size_t> parts{index};
    while (true) {
        const std::size_t dot = nextSignificant(parts.back());
        if (dot >= tokens_.size() || !tokens_[dot].isSymbol(".")) return parts;
        const std::size_t name = nextSignificant(dot);
        if (name >= tokens_.size() || !tokens_[name].isName()) return parts;
        parts.push_back(name);
    }
}

}  // namespace engine
