// Runs an anonymous block (PlsqlBlock.h) on a session, once per iteration of
// an execute, with that iteration's elements of the statement's binds.
//
// Within an iteration the binds are the block's variables: a placeholder reads
// the bind's element (or what the block assigned to it so far). A value is
// converted to the bind's type when it is assigned, as a define converts a
// column (so a value that does not fit fails that statement), and goes into
// the client's buffers only when the whole block has run. A block that fails
// leaves the client's buffers as they were and undoes its own changes, as the
// server rolls back a failed call; the session's earlier work stays.
//
// Errors come in the server's form: SQL the block's statements cannot compile
// is ORA-06550 naming the statement, an error raised while one runs carries
// the frame "ORA-06512: at line N".
#pragma once

#include "oci.h"
#include "plsql/BlockBind.h"
#include "plsql/PlsqlBlock.h"
#include "session/SqliteStatement.h"

#include <map>
#include <memory>
#include <vector>

struct sqlite3_value;

namespace engine {

class Connection;

class PlsqlExecution {
public:
    // `binds[i]` is the bind of the block's placeholder occurrence i; all must
    // be set. The block, the binds and the connection outlive the execution.
    // Compiles the block's SQL.
    PlsqlExecution(Connection& connection, const PlsqlBlock& block, std::vector<const BlockBind*> binds);

    // Runs the block with element `element` of the binds.
    void run(ub4 element);

private:
    struct ValueFree {
        void operator()(sqlite3_value* value) const;
    };
    using Value = std::unique_ptr<sqlite3_value, ValueFree>;
    class Savepoint;

    SqliteStatement compiled(const PlsqlStatement& statement);
    static void checkColumns(const PlsqlStatement& statement, sqlite3_stmt* stmt);
    void runStatement(std::size_t index, Savepoint& savepoint);
    void runBody(std::size_t index, Savepoint& savepoint);
    sqlite3_stmt* started(std::size_t index);
    void assignRow(std::size_t index);
    void runChange(std::size_t index);
    void sleep(std::size_t index);
    bool step(sqlite3_stmt* stmt);
    sqlite3_value* valueOf(int occurrence);
    void assign(int occurrence, Value value);
    void storeAssigned();

    Connection& connection_;                 // the session the block runs on
    const PlsqlBlock& block_;                // what runs
    std::vector<const BlockBind*> binds_;   // bind of each placeholder occurrence
    std::vector<SqliteStatement> compiled_;  // per statement; empty for NULL
    SqliteStatement probe_;                  // "SELECT ?1": reads a bound element as SQLite sees it
    ub4 element_ = 0;                        // element of the running iteration
    std::map<const BlockBind*, Value> values_;  // the binds' values in the running iteration
    std::map<const BlockBind*, BlockBind::OutValue> assigned_;  // what goes back to the client after it
};

}  // namespace engine
