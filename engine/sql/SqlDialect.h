// Translation of the server's SQL dialect into SQLite's.
//
// translateSql() reads one statement as a client writes it for the vendor's
// server and gives the SQLite text that means the same, the statement's kind,
// its placeholders, and, for statements SQLite cannot run as such (sequences,
// COMMIT/ROLLBACK, PL/SQL blocks), an engine command for the session to carry
// out itself. The catalog (Catalog.h) installs the tables and SQL functions the
// translated text relies on.
//
// Identifiers are stored in the encoding of StoredNames.h.
//
// Other translations: DUAL, the USER_ dictionary views, SYSDATE, NVL, SUBSTR and
// seq.NEXTVAL/CURRVAL become the engine's tables, views and functions; "||"
// keeps the server's NULL rule and precedence; "+" and "-" do the server's
// date arithmetic; division is exact; '' is NULL; MINUS is EXCEPT;
// ROWNUM conditions of the outer query become LIMIT; LONG columns keep their
// text; clauses SQLite lacks and that change nothing here (FOR UPDATE, CASCADE
// CONSTRAINTS, PURGE, BYTE/CHAR length semantics) are left out.
#pragma once

#include "base/InternalApi.h"
#include "base/OraError.h"
#include "base/StoredNames.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The server's dictionary objects the engine provides: the name a client
// writes (alone or after "SYS.") and the engine object that stands for it.
struct DictionaryObject {
    const char* name;
    const char* stored;
};
inline constexpr DictionaryObject kDictionaryObjects[] = {
    {"DUAL", kDualTable},
    {"USER_OBJECTS", kUserObjectsView},     // OBJECT_NAME, OBJECT_TYPE, STATUS, CREATED, LAST_DDL_TIME
    {"USER_SOURCE", kUserSourceView},       // NAME, TYPE, LINE, TEXT
    {"USER_ERRORS", kUserErrorsView},       // NAME, TYPE, SEQUENCE, LINE, POSITION, TEXT
    {"USER_TABLES", kUserTablesView},       // TABLE_NAME
    {"USER_VIEWS", kUserViewsView},         // VIEW_NAME
    {"USER_SEQUENCES", kUserSequencesView}  // SEQUENCE_NAME, INCREMENT_BY, LAST_NUMBER
};

// The server's longest identifier, in bytes; longer names are refused as it
// refuses them, so that scripts stay portable to it.
inline constexpr std::size_t kMaxIdentifierLength = 30;

// The kind of a statement, from its first keyword. Values 1 to 9 are the call
// interface's statement types (OCI_STMT_SELECT .. OCI_STMT_DECLARE).
enum class StatementKind : unsigned short {
    Other = 0,     // anything else (TRUNCATE, GRANT, SAVEPOINT, ...)
    Select = 1,    // SELECT, WITH
    Update = 2,
    Delete = 3,
    Insert = 4,
    Create = 5,
    Drop = 6,
    Alter = 7,
    Begin = 8,     // a PL/SQL block starting with BEGIN
    Declare = 9,   // a PL/SQL block starting with DECLARE
    Commit = 100,  // COMMIT [WORK]
    Rollback = 101 // ROLLBACK [WORK]
};

// The call interface's statement type for `kind` (1..9), or 0 when it has none.
ENGINE_INTERNAL_API unsigned short ociStatementType(StatementKind kind);

// What the session must do itself instead of (or besides) running SQL text.
enum class EngineCommandKind {
    None,            // run the SQL text
    CreateSequence,  // create `name` starting at `start`, stepping by `increment`
    DropSequence,    // drop `name`
    Commit,          // commit the session's transaction
    Rollback,        // roll the session's transaction back
    Block,           // run the anonymous PL/SQL block (the statement's text)
    CreateProgram,   // store the program `name` of kind `programKind` from `source`
    DropProgram,     // drop the program `name` of kind `programKind`
    SetTransaction   // start a transaction of mode `transactionFlags`
};

struct EngineCommand {
    EngineCommandKind kind = EngineCommandKind::None;
    std::string name;            // sequence or program name, decoded (as the dictionary holds it)
    std::int64_t start = 1;      // CREATE SEQUENCE: first value NEXTVAL gives
    std::int64_t increment = 1;  // CREATE SEQUENCE: step, never 0
    std::string programKind;     // PROCEDURE, FUNCTION, PACKAGE or PACKAGE BODY
    std::string source;          // CREATE: the text from the kind's keyword to the end
    bool replace = false;        // CREATE OR REPLACE
    std::uint32_t transactionFlags = 0;  // SET TRANSACTION: OCI_TRANS_READONLY, _SERIALIZABLE or 0
};

// One item of a query's select list.
struct SelectItem {
    std::string expression;  // its translated text, without the alias
    // The column name the server reports for it: the alias, else the column a
    // plain (dotted) name reads, else the expression as written with unquoted
    // words in upper case and blanks removed, e.g. "COUNT(*)", "NVL(A,0)".
    std::string name;
    bool star = false;       // "*" or "T.*"
};

struct TranslatedSql {
    // The SQLite text; empty when the statement is an engine command alone.
    std::string sql;
    StatementKind kind = StatementKind::Other;
    // Placeholder names in order of appearance, one entry per occurrence, folded
    // to upper case ("1" for ":1"). Occurrence i is SQLite parameter ?(i+1), so a
    // bind by name sets every occurrence whose name matches, case-insensitively.
    std::vector<std::string> placeholders;
    EngineCommand command;
    // The top-level select-list items of a query, in order ("*" and "T.*" are
    // items too, so the list matches the result columns only without them);
    // empty for other statements.
    std::vector<SelectItem> selectList;
    // A statement the engine recognises but cannot run (an unsupported PL/SQL
    // block, a malformed sequence statement): reported when it is executed, as
    // the server reports it then, not when it is prepared.
    std::optional<OraError> error;
};

// Translates one statement. Never throws for bad SQL text: a statement SQLite
// will refuse is left for sqlite3_prepare to report; what the translator itself
// finds wrong (an unterminated literal or quoted name, an identifier over the
// server's length limit, an unsupported PL/SQL block) goes into `error`.
ENGINE_INTERNAL_API TranslatedSql translateSql(const std::string& oracleSql);

}  // namespace engine
