// The grammar of the statements the engine runs itself. Each parse function
// reads one statement form and says in its comment which.
#include "sql/EngineCommandParser.h"

#include "oci.h"

#include <memory>

namespace engine {

EngineCommandParser::EngineCommandParser(const std::vector<SqlToken>& significant,
                                         std::string_view sql)
    : SqlTokenCursor(significant, sql) {}

bool EngineCommandParser::parse(TranslatedSql& result) {
    pos_ = 0;
    if (acceptWord("CREATE") && acceptWord("SEQUENCE")) return parseCreateSequence(result);
    pos_ = 0;
    if (acceptWord("DROP") && acceptWord("SEQUENCE")) return parseDropSequence(result);
    pos_ = 0;
    if (acceptWord("CREATE")) return parseCreateProgram(result);
    pos_ = 0;
    if (acceptWord("DROP")) return parseDropProgram(result);
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
// The session starts the transaction in that mode: read only refuses changes,
// serializable keeps one snapshot; read write and read committed are what a
// transaction is anyway, and rollback segments do not exist here.
bool EngineCommandParser::parseSetTransaction(TranslatedSql& result) {
    bool known = false;
    ub4 flags = 0;
    if (acceptWord("READ")) {
        if (acceptWord("ONLY")) {
            known = true;
            flags = OCI_TRANS_READONLY;
        } else {
            known = acceptWord("WRITE");
        }
    } else if (acceptWord("ISOLATION")) {
        if (acceptWord("LEVEL") && acceptWord("SERIALIZABLE")) {
            known = true;
            flags = OCI_TRANS_SERIALIZABLE;
        } else {
            known = acceptWord("READ") && acceptWord("COMMITTED");
        }
    } else if (acceptWord("USE")) {
        known = acceptWord("ROLLBACK") && acceptWord("SEGMENT") && acceptName().has_value();
    }
    if (known && acceptWord("NAME")) known = acceptString();
    if (!known || !atEnd()) {
        result.error = OraError(OraCode::NotProperlyEnded);
    } else {
        result.command.kind = EngineCommandKind::SetTransaction;
        result.command.transactionFlags = flags;
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

// An anonymous block (PlsqlParser reads it), or the compiler's error for it.
// PROCEDURE | FUNCTION | PACKAGE [BODY]
std::optional<std::string> EngineCommandParser::programKind() {
    for (const char* kind : {"PROCEDURE", "FUNCTION"}) {
        if (acceptWord(kind)) return std::string(kind);
    }
    if (!acceptWord("PACKAGE")) return std::nullopt;
    return std::string(acceptWord("BODY") ? "PACKAGE BODY" : "PACKAGE");
}

// CREATE [OR REPLACE] kind name ...: the text from the kind on is the
// program's source, compiled by the block language. What the dialect's
// rewriter said of the text does not count: it is no SQL.
bool EngineCommandParser::parseCreateProgram(TranslatedSql& result) {
    const bool replace = acceptWord("OR") && acceptWord("REPLACE");
    if (!replace) pos_ = 1;
    const std::size_t kindStart = pos_;
    const std::optional<std::string> kind = programKind();
    if (!kind) return false;
    result.error.reset();
    const std::optional<std::string> name = acceptName();
    if (!name) {
        result.error = OraError(OraCode::InvalidSqlStatement);
        return true;
    }
    result.command.kind = EngineCommandKind::CreateProgram;
    result.command.name = *name;
    result.command.programKind = *kind;
    result.command.replace = replace;
    std::string_view source = sql_.substr(tokens_[kindStart].offset);
    while (!source.empty() && (source.back() == '/' || source.back() == ' ' || source.back() == '\n' ||
                               source.back() == '\t' || source.back() == '\r'))
        source.remove_suffix(1);
    result.command.source = std::string(source);
    return true;
}

// DROP kind name
bool EngineCommandParser::parseDropProgram(TranslatedSql& result) {
    const std::optional<std::string> kind = programKind();
    if (!kind) return false;
    const std::optional<std::string> name = acceptName();
    if (!name || !atEnd()) {
        result.error = OraError(name ? OraCode::NotProperlyEnded : OraCode::InvalidSqlStatement);
        return true;
    }
    result.command.kind = EngineCommandKind::DropProgram;
    result.command.name = *name;
    result.command.programKind = *kind;
    return true;
}

bool EngineCommandParser::parseBlock(TranslatedSql& result) {
    result.command.kind = EngineCommandKind::Block;
    return true;
}

}  // namespace engine
