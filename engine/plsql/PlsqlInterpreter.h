// Runs compiled programs (PlsqlProgram.h) on a session: anonymous blocks for
// the call interface, stored functions for the session's SQL, and package
// initialization.
//
// Errors are the server's: an error escaping a stored program gains the frame
// 'ORA-06512: at "OWNER.NAME", line N', one escaping the anonymous block
// 'ORA-06512: at line N'. A failed block undoes what it changed (the session's
// earlier work stays). A cancel (ORA-01013) is never caught by a handler, so
// that a break always ends the call, loops included.
#pragma once

#include "base/OraError.h"
#include "plsql/PlsqlProgram.h"

#include <memory>
#include <string>
#include <vector>

struct sqlite3_context;
struct sqlite3_stmt;

namespace engine {

class PlsqlSession;

// The client's placeholders as a running block sees them, by occurrence.
class PlsqlHost {
public:
    virtual PlsqlValue read(int occurrence) = 0;
    virtual void write(int occurrence, const PlsqlValue& value) = 0;
    // Hands the values written to the client once the block has run, before
    // its changes are let go: a failure here still undoes them.
    virtual void deliver() = 0;
    // Whether deliver() can still fail (a table that may not fit).
    virtual bool deliveryMayFail() const = 0;

protected:
    ~PlsqlHost() = default;
};

// A user exception on its way out: SQLCODE 1, and unhandled ORA-06510.
class PlsqlUserException : public OraError {
public:
    PlsqlUserException(const OraError& error, std::string key) : OraError(error), key_(std::move(key)) {}
    explicit PlsqlUserException(std::string key);
    const std::string& key() const { return key_; }

private:
    std::string key_;  // the exception's declaration
};

class PlsqlInterpreter {
public:
    // `host` gives the placeholders' values; null where there are none.
    PlsqlInterpreter(PlsqlSession& session, PlsqlHost* host);
    ~PlsqlInterpreter();
    PlsqlInterpreter(const PlsqlInterpreter&) = delete;
    PlsqlInterpreter& operator=(const PlsqlInterpreter&) = delete;

    // Runs an anonymous block once.
    void runBlock(const PlsqlUnit& block);
    // Calls the standalone function `name` with `arguments` (from SQL).
    PlsqlValue callFunction(const std::string& name, std::vector<PlsqlValue> arguments);
    // Gives a package's variables their initial values and runs its body's
    // initialization part.
    void initializePackage(const PlsqlUnit& header, const PlsqlUnit* body, std::vector<PlsqlValue>& slots);
    // Sets an SQL function's result to `value`.
    static void resultTo(sqlite3_context* context, const PlsqlValue& value);

private:
    enum class Flow { Next, Exit, Return };
    struct Frame {
        const PlsqlUnit* unit = nullptr;
        std::vector<PlsqlValue> slots;
        std::size_t line = 1;       // of the statement running
        PlsqlValue result;          // a function's return value
        std::string exitLabel;      // the loop an EXIT leaves; empty for the innermost
        bool endsBlock = false;     // the routine's last statement is the block's last action
    };
    class Savepoint;

    Flow run(const StmtList& statements, Frame& frame);
    Flow run(const PlsqlStmt& stmt, Frame& frame);
    Flow runBlockStatement(const PlsqlStmt& stmt, Frame& frame);
    Flow handle(const PlsqlStmt& stmt, Frame& frame, const OraError& error);
    Flow runIf(const PlsqlStmt& stmt, Frame& frame);
    Flow runLoop(const PlsqlStmt& stmt, Frame& frame);
    Flow runForRange(const PlsqlStmt& stmt, Frame& frame);
    Flow runForQuery(const PlsqlStmt& stmt, Frame& frame);
    bool leavesLoop(Flow flow, const PlsqlStmt& loop, Frame& frame) const;
    void raise(const PlsqlStmt& stmt, Frame& frame);
    void runSql(const PlsqlSql& sql, Frame& frame, bool endsBlock);
    void beforeChange(const PlsqlSql& sql, bool endsBlock);
    void bindParameters(sqlite3_stmt* stmt, const PlsqlSql& sql, Frame& frame);
    bool step(sqlite3_stmt* stmt);
    void assignRow(const PlsqlSql& sql, sqlite3_stmt* stmt, Frame& frame);

    PlsqlValue eval(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue arithmetic(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue comparison(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue logical(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue caseValue(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue sqlValue(const std::string& sql, const std::vector<PlsqlValue>& arguments);
    PlsqlValue method(const PlsqlExpr& expr, Frame& frame);
    PlsqlValue errorCode() const;
    PlsqlValue errorMessage(const PlsqlExpr& expr, Frame& frame);

    PlsqlValue read(const PlsqlPlace& place, Frame& frame);
    void assign(const PlsqlPlace& place, Frame& frame, PlsqlValue value);
    PlsqlValue& locate(const PlsqlPlace& place, Frame& frame, bool forWrite);
    std::int64_t index(const PlsqlExpr& expr, Frame& frame);

    PlsqlValue call(const PlsqlCall& call, Frame& frame, const SourcePlace& at, bool endsBlock = false);
    std::pair<std::shared_ptr<const PlsqlUnit>, const PlsqlRoutine*> resolve(const PlsqlCall& call,
                                                                              const SourcePlace& at);
    std::vector<const PlsqlExpr*> actuals(const PlsqlCall& call, const PlsqlRoutine& routine,
                                          const SourcePlace& at) const;
    PlsqlValue invoke(const PlsqlUnit& unit, const PlsqlRoutine& routine, std::vector<PlsqlValue>& arguments,
                      bool endsBlock = false);

    PlsqlSession& session_;
    PlsqlHost* host_;
    Savepoint* savepoint_ = nullptr;            // the running block's, if any
    std::vector<const OraError*> handling_;     // the exceptions whose handlers run, innermost last
    std::int64_t rowCount_ = -1;                // SQL%ROWCOUNT of the last SQL statement; -1 before one
};

}  // namespace engine
