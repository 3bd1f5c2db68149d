// The grammar of the statements the engine runs itself. Each parse function
// reads one statement form and says in its comment which.
#include "EngineCommandParser.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace engine {

EngineCommandParser::EngineCommandParser(const std::vector<SqlToken>& significant,
                                         std::string_view sql)
    : tokens_(significant), sql_(sql) {}

bool EngineCommandParser::parse(TranslatedSql& result) {
    pos_ = 0;
    if (acceptWord("CREATE") && acceptWord("SEQUENCE")) return parseCreateSequence(result);
    pos_ = 0;
    if (acceptWord("DROP") && acceptWord("SEQUENCE")) return parseDropSequence(result);
    pos_ = 0;
    if (result.kind == StatementKind::Commit || result.kind == StatementKind::Rollback)
        return parseTransactionEnd(result);
    if (result.kind == StatementKind::Begin || result.kind == StatementKind::Declare)
        return parseBlock(result);
    if (acceptWord("SET") && acceptWord("TRANSACTION")) return parseSetTransaction(result);
    return false;
}

// SET TRANSACTION {READ ONLY | READ WRITE | ISOLATION LEVEL {SERIALIZABLE |
//   READ COMMITTED} | USE ROLLBACK SEGMENT name} [NAME 'text']
// SQLite's transactions are serializable and its readers see one snapshot,
// which serves every mode; running the statement as a change opens the
// session's transaction, as the server's does. So it becomes a statement that
// does nothing else.
bool EngineCommandParser::parseSetTransaction(TranslatedSql& result) {
    bool known = false;
    if (acceptWord("READ")) {
        known = acceptWord("ONLY") || acceptWord("WRITE");
    } else if (acceptWord("ISOLATION")) {
        known = acceptWord("LEVEL") && (acceptWord("SERIALIZABLE") || (acceptWord("READ") && acceptWord("COMMITTED")));
    } else if (acceptWord("USE")) {
        known = acceptWord("ROLLBACK") && acceptWord("SEGMENT") && acceptName().has_value();
    }
    if (known && acceptWord("NAME")) known = acceptString();
    if (!known || !atEnd()) {
        result.error = OraError(OraCode::NotProperlyEnded);
    } else {
        result.sql = "SELECT NULL WHERE 0";
    }
    return true;
}

// CREATE SEQUENCE name [START WITH n | INCREMENT BY n | MINVALUE n | NOMINVALUE |
//   MAXVALUE n | NOMAXVALUE | CACHE n | NOCACHE | CYCLE | NOCYCLE | ORDER | NOORDER]...
// Only START WITH and INCREMENT BY change what NEXTVAL gives; the others are
// accepted for scripts written for the server and have no effect here.
bool EngineCommandParser::parseCreateSequence(TranslatedSql& result) {
    EngineCommand command;
    command.kind = EngineCommandKind::CreateSequence;
    auto name = acceptName();
    bool startGiven = false;
    while (name && !atEnd()) {
        if (!parseSequenceOption(command, startGiven)) {
            result.error = OraError(OraCode::NotProperlyEnded);
            return true;
        }
    }
    if (!name) {
        result.error = OraError(OraCode::InvalidIdentifier, {peek() ? std::string(peek()->text) : ""});
    } else if (command.increment == 0) {
        result.error = OraError(OraCode::SequenceIncrementZero);
    } else {
        command.name = *name;
        // A descending sequence starts at its top (-1 by default), as the server's does.
        if (!startGiven) command.start = command.increment > 0 ? 1 : -1;
        result.command = command;
    }
    return true;
}

bool EngineCommandParser::parseSequenceOption(EngineCommand& command, bool& startGiven) {
    if (acceptWord("START")) {
        auto value = acceptWord("WITH") ? acceptInteger() : std::nullopt;
        startGiven = value.has_value();
        command.start = value.value_or(command.start);
        return startGiven;
    }
    if (acceptWord("INCREMENT")) {
        auto value = acceptWord("BY") ? acceptInteger() : std::nullopt;
        command.increment = value.value_or(command.increment);
        return value.has_value();
    }
    if (acceptWord("MINVALUE") || acceptWord("MAXVALUE") || acceptWord("CACHE"))
        return acceptInteger().has_value();
    for (const char* flag : {"NOMINVALUE", "NOMAXVALUE", "NOCACHE", "CYCLE", "NOCYCLE", "ORDER",
                             "NOORDER"}) {
        if (acceptWord(flag)) return true;
    }
    return false;
}

// DROP SEQUENCE name
bool EngineCommandParser::parseDropSequence(TranslatedSql& result) {
    auto name = acceptName();
    if (!name) {
        result.error = OraError(OraCode::InvalidIdentifier, {peek() ? std::string(peek()->text) : ""});
    } else if (!atEnd()) {
        result.error = OraError(OraCode::NotProperlyEnded);
    } else {
        result.command.kind = EngineCommandKind::DropSequence;
        result.command.name = *name;
    }
    return true;
}

// COMMIT [WORK] [COMMENT 'text'] | ROLLBACK [WORK] | ROLLBACK [WORK] TO [SAVEPOINT] name
bool EngineCommandParser::parseTransactionEnd(TranslatedSql& result) {
    const bool commit = acceptWord("COMMIT");
    if (!commit) acceptWord("ROLLBACK");
    acceptWord("WORK");
    if (commit && acceptWord("COMMENT")) acceptString();
    if (!commit && acceptWord("TO")) {
        acceptWord("SAVEPOINT");
        auto name = acceptName();
        if (name && atEnd()) {
            result.sql = "ROLLBACK TO " + quoteStored(encodeName(*name));
        } else {
            result.error = OraError(OraCode::NotProperlyEnded);
        }
        return true;
    }
    if (!atEnd()) {
        result.error = OraError(OraCode::NotProperlyEnded);
    } else {
        result.command.kind = commit ? EngineCommandKind::Commit : EngineCommandKind::Rollback;
    }
    return true;
}

// BEGIN [SYS.]{DBMS_SESSION|DBMS_LOCK}.SLEEP(seconds); END;
// Any other block names what it calls in the server's compilation error, since
// the engine has no stored procedures yet.
bool EngineCommandParser::parseBlock(TranslatedSql& result) {
    if (result.kind == StatementKind::Begin && acceptWord("BEGIN")) {
        const std::size_t callStart = pos_;
        EngineCommand command;
        if (parseSleepCall(command) && acceptSymbol(";") && acceptWord("END") && atEnd()) {
            result.command = command;
            return true;
        }
        pos_ = callStart;
        const SqlToken* first = peek();
        if (first != nullptr && first->isName()) {
            std::string called = *acceptName();
            while (acceptSymbol(".") && peek() != nullptr) called += "." + acceptName().value_or("");
            result.error = blockError(*first, "PLS-00201: identifier '" + called + "' must be declared");
            return true;
        }
    }
    const SqlToken& at = tokens_.empty() ? SqlToken{SqlTokenKind::Word, sql_, 0} : tokens_.front();
    result.error = blockError(at, "PLS-00999: implementation restriction (may be temporary) "
                                  "only procedure calls are supported in PL/SQL blocks");
    return true;
}

// [SYS.]{DBMS_SESSION|DBMS_LOCK}.SLEEP ( number | :placeholder )
bool EngineCommandParser::parseSleepCall(EngineCommand& command) {
    if (acceptWord("SYS") && !acceptSymbol(".")) return false;
    if (!(acceptWord("DBMS_SESSION") || acceptWord("DBMS_LOCK"))) return false;
    if (!(acceptSymbol(".") && acceptWord("SLEEP") && acceptSymbol("("))) return false;
    command.kind = EngineCommandKind::Sleep;
    if (peek() != nullptr && peek()->kind == SqlTokenKind::Placeholder) {
        command.secondsPlaceholder = placeholdersBefore(pos_++);
    } else {
        auto seconds = acceptNumber();
        if (!seconds) return false;
        command.seconds = *seconds;
    }
    return acceptSymbol(")");
}

OraError EngineCommandParser::blockError(const SqlToken& at, const std::string& plsText) const {
    const std::string_view before = sql_.substr(0, at.offset);
    const auto line = std::count(before.begin(), before.end(), '\n') + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = lineStart == std::string_view::npos ? at.offset + 1 : at.offset - lineStart;
    return OraError(OraCode::PlsqlCompilation, {std::to_string(line), std::to_string(column), plsText});
}

const SqlToken* EngineCommandParser::peek(std::size_t ahead) const {
    return pos_ + ahead < tokens_.size() ? &tokens_[pos_ + ahead] : nullptr;
}

bool EngineCommandParser::acceptWord(std::string_view upperCase) {
    if (peek() == nullptr || !peek()->isWord(upperCase)) return false;
    ++pos_;
    return true;
}

bool EngineCommandParser::acceptSymbol(std::string_view symbol) {
    if (peek() == nullptr || !peek()->isSymbol(symbol)) return false;
    ++pos_;
    return true;
}

bool EngineCommandParser::acceptString() {
    if (peek() == nullptr || peek()->kind != SqlTokenKind::String) return false;
    ++pos_;
    return true;
}

std::optional<std::string> EngineCommandParser::acceptName() {
    const SqlToken* token = peek();
    if (token == nullptr || !token->isName())
        return std::nullopt;
    ++pos_;
    return identifierName(std::string(token->text));
}

// Integers are read exactly (not through a double) so that sequence bounds
// near the 64-bit limits keep every digit.
std::optional<std::int64_t> EngineCommandParser::acceptInteger() {
    const std::size_t start = pos_;
    const bool negative = acceptSymbol("-");
    if (!negative) acceptSymbol("+");
    const SqlToken* token = peek();
    if (token != nullptr && token->kind == SqlTokenKind::Number &&
        token->text.find_first_not_of("0123456789") == std::string_view::npos) {
        errno = 0;
        const std::string digits = (negative ? "-" : "") + std::string(token->text);
        const long long value = std::strtoll(digits.c_str(), nullptr, 10);
        if (errno == 0) {
            ++pos_;
            return value;
        }
    }
    pos_ = start;
    return std::nullopt;
}

std::optional<double> EngineCommandParser::acceptNumber() {
    const std::size_t start = pos_;
    const bool negative = acceptSymbol("-");
    if (!negative) acceptSymbol("+");
    const SqlToken* token = peek();
    if (token == nullptr || token->kind != SqlTokenKind::Number) {
        pos_ = start;
        return std::nullopt;
    }
    ++pos_;
    const double value = std::strtod(std::string(token->text).c_str(), nullptr);
    return negative ? -value : value;
}

bool EngineCommandParser::atEnd() const {
    return pos_ == tokens_.size() || (pos_ + 1 == tokens_.size() && tokens_[pos_].isSymbol(";"));
}

int EngineCommandParser::placeholdersBefore(std::size_t index) const {
    return static_cast<int>(std::count_if(tokens_.begin(), tokens_.begin() + index, [](const SqlToken& t) {
        return t.kind == SqlTokenKind::Placeholder;
    }));
}

}  // namespace engine
