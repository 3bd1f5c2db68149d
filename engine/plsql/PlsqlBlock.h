// An anonymous PL/SQL block in the small form the engine runs itself:
// BEGIN statement; ... END; where each statement is NULL, an assignment to a
// placeholder, a SELECT ... INTO placeholders, an INSERT, UPDATE or DELETE, or
// the sleep call. PlsqlParser builds it from the block's text, PlsqlExecution
// runs it. Every statement that touches data is kept as translated SQLite
// text, so the block's SQL means what the same SQL means outside a block.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace engine {

struct PlsqlStatement {
    enum class Kind {
        Null,        // NULL;
        Assign,      // :target := expression;  (sql is "SELECT expression FROM DUAL")
        SelectInto,  // SELECT list INTO :t1, :t2 ... FROM ...;  (sql is the query without INTO)
        Change,      // INSERT, UPDATE or DELETE
        Sleep        // [SYS.]DBMS_SESSION|DBMS_LOCK.SLEEP(seconds);  (sql is "SELECT seconds FROM DUAL")
    };

    Kind kind = Kind::Null;
    std::string sql;              // the SQLite text run for the statement; empty for NULL
    // For SQLite parameter ?(k+1) of sql: the block's placeholder occurrence
    // (0-based, in the order the block's text has them) whose value it reads.
    std::vector<int> parameters;
    // Assign and SelectInto: the placeholder occurrences that receive the
    // result's columns, in column order.
    std::vector<int> targets;
    std::size_t line = 1;    // where the statement starts in the block's text, 1-based,
    std::size_t column = 1;  // as the server's error messages name it
};

struct PlsqlBlock {
    std::vector<PlsqlStatement> statements;  // in the order they run
};

}  // namespace engine
