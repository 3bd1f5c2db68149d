// The block language's part of one session: the stored programs compiled so
// far (each once, until it is replaced), the packages' variables, the SQL
// statements programs run (prepared once), and the stored functions made
// callable from the session's SQL. It is the catalog the compiler asks.
//
// Compiled units are checked against the database before use: a program
// replaced by this session or by another one is compiled again.
#pragma once

#include "plsql/PlsqlCatalog.h"
#include "plsql/PlsqlProgram.h"
#include "session/Connection.h"
#include "session/SqliteStatement.h"
#include "sql/SqlDialect.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct sqlite3_context;
struct sqlite3_value;

namespace engine {

class PlsqlInterpreter;

class PlsqlSession : public SessionExtension, public PlsqlCatalog {
public:
    explicit PlsqlSession(Connection& connection);
    ~PlsqlSession() override;

    // The session's block language state, made at its first use.
    static PlsqlSession& of(Connection& connection);

    Connection& connection() { return connection_; }

    // CREATE [OR REPLACE] of a stored program: false when it was stored with
    // compilation errors (the server's "success with compilation error").
    bool create(const EngineCommand& command);
    void drop(const EngineCommand& command);

    // An anonymous block compiled; ORA-06550 with the compiler's error.
    std::shared_ptr<const PlsqlUnit> compileBlock(const std::string& text);
    // A stored unit compiled; null when there is none. An invalid one is a
    // unit without routines, marked by `valid` false.
    std::shared_ptr<const PlsqlUnit> unit(const std::string& name, PlsqlUnit::Kind kind);

    // A package's variables, initialized by `interpreter` at their first use.
    std::vector<PlsqlValue>& packageState(const std::string& name, PlsqlInterpreter& interpreter);

    // A prepared statement of `sql` for the length of one use; a statement
    // still in use (a query loop's, a recursive call's) is not handed out twice.
    class Lease {
    public:
        Lease(PlsqlSession& session, const std::string& sql);
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        sqlite3_stmt* get() const { return statement_->get(); }

    private:
        std::vector<std::unique_ptr<SqliteStatement>>& idle_;  // the session's idle statements of the SQL
        std::unique_ptr<SqliteStatement> statement_;
    };

    // Nesting of program calls, bounded so that runaway recursion fails
    // with the server's error instead of exhausting the stack.
    int& callDepth() { return callDepth_; }

    // Looks once whether other sessions changed the database's programs; the
    // units found until the next look are taken as current. Called at the
    // start of every call from outside (a block, a function in SQL); no look
    // is needed while the session holds the write lock.
    void refresh();

    // Makes every stored function of the database callable from SQL.
    void registerFunctions();

    // PlsqlCatalog
    std::shared_ptr<const PlsqlUnit> packageHeader(const std::string& name) override;
    std::shared_ptr<const PlsqlUnit> standalone(const std::string& name) override;
    TypeRef columnType(const std::string& table, const std::string& column) override;
    std::vector<std::string> checkSql(const std::string& sql) override;
    std::string owner() override { return connection_.userName(); }

private:
    struct CachedUnit {
        std::shared_ptr<const PlsqlUnit> unit;  // null: no such stored unit
        std::int64_t checkedAt = -1;            // the generation it was last checked at
    };
    struct PackageState {
        std::vector<PlsqlValue> slots;
        std::int64_t headerVersion = -1;
        std::int64_t bodyVersion = -1;
    };

    std::shared_ptr<const PlsqlUnit> compileStored(const std::string& name, PlsqlUnit::Kind kind);
    bool current(const CachedUnit& cached, const std::string& name, PlsqlUnit::Kind kind);
    std::int64_t generation();
    void forget(const std::string& name);
    void registerFunction(const std::string& name);
    void checkNameFree(const EngineCommand& command);
    static void callFromSql(sqlite3_context* context, int argc, sqlite3_value** argv);

    Connection& connection_;
    std::map<std::pair<std::string, PlsqlUnit::Kind>, CachedUnit> units_;
    std::map<std::string, PackageState> packages_;
    std::map<std::string, std::vector<std::unique_ptr<SqliteStatement>>> idleStatements_;
    SqliteStatement dataVersion_;      // PRAGMA data_version: changes with other sessions' commits
    std::int64_t ownChanges_ = 0;      // this session's program DDL
    std::int64_t generation_ = -1;     // as of the last refresh()
    std::uint64_t lookedUnderLock_ = 0;  // the write lock held at the last look (Connection::writeLockHeld)
    int callDepth_ = 0;
};

}  // namespace engine
