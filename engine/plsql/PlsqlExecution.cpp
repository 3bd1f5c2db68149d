// Running an anonymous block statement by statement.
#include "plsql/PlsqlExecution.h"

#include "base/CallError.h"
#include "base/ColumnValue.h"
#include "base/OraError.h"
#include "base/ScopeExit.h"
#include "base/ValueCodec.h"
#include "session/Connection.h"

#include <sqlite3.h>

#include <new>
#include <string>

namespace engine {
namespace {

// The savepoint is named like the engine's own objects, apart from any user's.
constexpr char kTakeSavepoint[] = "SAVEPOINT \"^$BLOCK\"";
constexpr char kReleaseSavepoint[] = "RELEASE \"^$BLOCK\"";
constexpr char kRollBackToSavepoint[] = "ROLLBACK TO \"^$BLOCK\"; RELEASE \"^$BLOCK\"";

constexpr int kUserRequestedCancel = 1013;  // ORA-01013

}  // namespace

// The block's own savepoint, taken at its first change: a block that fails
// rolls back to it, one that succeeds lets it go. A block that changes
// nothing never opens the session's transaction.
class PlsqlExecution::Savepoint {
public:
    explicit Savepoint(Connection& connection) : connection_(connection) {}
    ~Savepoint() {
        // The failure that unwinds is what the caller hears of; the rollback's
        // own result adds nothing to it.
        if (open_) sqlite3_exec(connection_.db(), kRollBackToSavepoint, nullptr, nullptr, nullptr);
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void beforeChange() {
        if (open_) return;
        connection_.beforeChange();
        connection_.execute(kTakeSavepoint);
        open_ = true;
    }
    void release() {
        if (open_) connection_.execute(kReleaseSavepoint);
        open_ = false;
    }

private:
    Connection& connection_;  // the session
    bool open_ = false;       // the savepoint is taken
};

void PlsqlExecution::ValueFree::operator()(sqlite3_value* value) const { sqlite3_value_free(value); }

PlsqlExecution::PlsqlExecution(Connection& connection, const PlsqlBlock& block,
                               std::vector<const BlockBind*> binds)
    : connection_(connection), block_(block), binds_(std::move(binds)) {
    for (const PlsqlStatement& statement : block_.statements) compiled_.push_back(compiled(statement));
}

// The statement's SQL compiled; what SQLite refuses is the block's
// compilation error, as the server's compiler reports SQL it cannot compile.
// A cancel that arrives meanwhile stays a cancel.
SqliteStatement PlsqlExecution::compiled(const PlsqlStatement& statement) {
    if (statement.sql.empty()) return {};
    try {
        SqliteStatement compiled(connection_, statement.sql);
        checkColumns(statement, compiled.get());
        return compiled;
    } catch (const OraError& error) {
        if (error.number() == kUserRequestedCancel) throw;
        const std::string line = std::to_string(statement.line);
        const std::string column = std::to_string(statement.column);
        throw OraError(OraCode::PlsqlCompilation,
                       {line, column,
                        "PL/SQL: " + std::string(error.what()) + "\nORA-06550: line " + line + ", column " + column +
                            ":\nPL/SQL: SQL Statement ignored"});
    }
}

void PlsqlExecution::run(ub4 element) {
    element_ = element;
    values_.clear();
    assigned_.clear();
    Savepoint savepoint(connection_);
    for (std::size_t i = 0; i < block_.statements.size(); ++i) runStatement(i, savepoint);
    storeAssigned();
    savepoint.release();
}

// A cancel is the client's own request, not an error of the block: it keeps
// its plain text, which clients look for.
void PlsqlExecution::runStatement(std::size_t index, Savepoint& savepoint) {
    try {
        runBody(index, savepoint);
    } catch (const OraError& error) {
        if (error.number() == kUserRequestedCancel) throw;
        throw error.raisedAtBlockLine(block_.statements[index].line);
    }
}

void PlsqlExecution::runBody(std::size_t index, Savepoint& savepoint) {
    switch (block_.statements[index].kind) {
    case PlsqlStatement::Kind::Null: break;
    case PlsqlStatement::Kind::Assign:
    case PlsqlStatement::Kind::SelectInto: assignRow(index); break;
    case PlsqlStatement::Kind::Change:
        savepoint.beforeChange();
        runChange(index);
        break;
    case PlsqlStatement::Kind::Sleep: sleep(index); break;
    }
}

// Statement `index` compiled, reset, and bound to the current values.
sqlite3_stmt* PlsqlExecution::started(std::size_t index) {
    const PlsqlStatement& statement = block_.statements[index];
    sqlite3_stmt* stmt = compiled_[index].get();
    sqlite3_reset(stmt);
    for (std::size_t k = 0; k < statement.parameters.size(); ++k) {
        sqlite3_bind_value(stmt, static_cast<int>(k + 1), valueOf(statement.parameters[k]));
    }
    return stmt;
}

// An assignment or SELECT INTO has one column for each of its targets.
void PlsqlExecution::checkColumns(const PlsqlStatement& statement, sqlite3_stmt* stmt) {
    if (statement.kind != PlsqlStatement::Kind::Assign && statement.kind != PlsqlStatement::Kind::SelectInto) return;
    const auto columns = static_cast<std::size_t>(sqlite3_column_count(stmt));
    if (columns < statement.targets.size()) throw OraError(OraCode::NotEnoughValues);
    if (columns > statement.targets.size()) throw OraError(OraCode::TooManyValues);
}

// An assignment or SELECT INTO: exactly one row, whose columns go to the targets.
void PlsqlExecution::assignRow(std::size_t index) {
    const std::vector<int>& targets = block_.statements[index].targets;
    sqlite3_stmt* stmt = started(index);
    OnUnwind reset([stmt] { sqlite3_reset(stmt); });
    if (!step(stmt)) throw OraError(OraCode::NoDataFound);
    const std::size_t columns = targets.size();
    std::vector<Value> row;
    for (std::size_t c = 0; c < columns; ++c) {
        row.emplace_back(sqlite3_value_dup(sqlite3_column_value(stmt, static_cast<int>(c))));
        if (!row.back()) throw std::bad_alloc();
    }
    if (step(stmt)) throw OraError(OraCode::TooManyRows);
    sqlite3_reset(stmt);
    for (std::size_t c = 0; c < columns; ++c) assign(targets[c], std::move(row[c]));
}

void PlsqlExecution::runChange(std::size_t index) {
    sqlite3_stmt* stmt = started(index);
    OnUnwind reset([stmt] { sqlite3_reset(stmt); });
    while (step(stmt)) {
    }
    sqlite3_reset(stmt);
}

// The sleep call: its argument read as a number, as SQLite converts it; NULL sleeps not at all.
void PlsqlExecution::sleep(std::size_t index) {
    sqlite3_stmt* stmt = started(index);
    OnUnwind reset([stmt] { sqlite3_reset(stmt); });
    double seconds = 0;
    if (step(stmt) && sqlite3_column_type(stmt, 0) != SQLITE_NULL) {
        const ColumnValue value(stmt, 0);
        FetchTarget target{reinterpret_cast<ub1*>(&seconds), sizeof seconds, value.type()};
        ValueCodec::forType(SQLT_FLT).fetch(value, target);
    }
    sqlite3_reset(stmt);
    connection_.cancelState().sleep(seconds);
}

// Steps `stmt`: true on a row, false at its end; throws the session's error.
bool PlsqlExecution::step(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int error = sqlite3_reset(stmt);
    connection_.fail(error != SQLITE_OK ? error : rc);
}

// The current value of the bind behind placeholder occurrence `occurrence`:
// what the block assigned to it, else the client's element (for a data-at-exec
// bind, the value gathered for the iteration).
sqlite3_value* PlsqlExecution::valueOf(int occurrence) {
    const BlockBind* bind = binds_[static_cast<std::size_t>(occurrence)];
    auto found = values_.find(bind);
    if (found != values_.end()) return found->second.get();
    if (!probe_) probe_ = SqliteStatement(connection_, "SELECT ?1");
    sqlite3_stmt* probe = probe_.get();
    OnUnwind reset([probe] { sqlite3_reset(probe); });
    bind->bindValue(probe, 1, element_, true);
    if (!step(probe)) throw OraError(OraCode::InternalError, {"block variable"});
    Value value(sqlite3_value_dup(sqlite3_column_value(probe, 0)));
    if (!value) throw std::bad_alloc();
    sqlite3_reset(probe);
    return values_.insert_or_assign(bind, std::move(value)).first->second.get();
}

void PlsqlExecution::assign(int occurrence, Value value) {
    const BlockBind* bind = binds_[static_cast<std::size_t>(occurrence)];
    assigned_.insert_or_assign(bind, bind->convertOut(ColumnValue(value.get())));
    values_.insert_or_assign(bind, std::move(value));
}

void PlsqlExecution::storeAssigned() {
    for (const auto& [bind, value] : assigned_) bind->storeOut(value, element_);
}

}  // namespace engine
