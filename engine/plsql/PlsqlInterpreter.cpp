// Running the block language's compiled programs.
#include "plsql/PlsqlInterpreter.h"

#include "base/ScopeExit.h"
#include "base/StoredNames.h"
#include "plsql/PlsqlSession.h"
#include "session/Connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace engine {
namespace {

constexpr int kUserRequestedCancel = 1013;
constexpr int kNoDataFound = 1403;
constexpr int kInvalidNumber = 1722;
// Nesting of program calls a session allows: deep enough for real
// recursion, shallow enough that the interpreter's own stack never runs out.
constexpr int kMaxCallDepth = 200;

// The savepoint is named like the engine's own objects, apart from any user's.
const std::string kTakeSavepoint = "SAVEPOINT \"^$BLOCK\"";
const std::string kReleaseSavepoint = "RELEASE \"^$BLOCK\"";
constexpr char kRollBackToSavepoint[] = "ROLLBACK TO \"^$BLOCK\"; RELEASE \"^$BLOCK\"";

bool truth(const PlsqlValue& value) { return value.kind == PlsqlValue::Kind::Boolean && value.boolean; }

PlsqlValue booleanOrNull(std::optional<bool> value) {
    return value ? PlsqlValue::ofBoolean(*value) : PlsqlValue();
}

bool matchesHandler(const PlsqlHandler& handler, const OraError& error) {
    const auto* user = dynamic_cast<const PlsqlUserException*>(&error);
    for (const std::string& name : handler.exceptions) {
        if (name == kOthers) return true;
        if (user != nullptr ? user->key() == name : predefinedExceptionNumber(name) == error.number()) return true;
    }
    return false;
}

// The error's own text, without the frames it gathered on its way.
std::string withoutFrames(const OraError& error) {
    const std::string text = error.what();
    return text.substr(0, text.find("\nORA-06512: "));
}

std::string pieceAt(const std::string& text, const char* separator) {
    return text.substr(0, text.find(separator));
}

}  // namespace

PlsqlUserException::PlsqlUserException(std::string key)
    : OraError(OraCode::UnhandledUserException), key_(std::move(key)) {}

// The block's own savepoint, taken at its first change: a block that fails
// rolls back to it, one that succeeds lets it go. A block that changes
// nothing never opens the session's transaction; one that commits or rolls
// back has ended it, savepoint included.
class PlsqlInterpreter::Savepoint {
public:
    explicit Savepoint(PlsqlSession& session) : session_(session), connection_(session.connection()) {}
    ~Savepoint() {
        // The failure that unwinds is what the caller hears of.
        if (open_) sqlite3_exec(connection_.db(), kRollBackToSavepoint, nullptr, nullptr, nullptr);
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    // `alone`: the change is one self-contained statement after which nothing
    // of the block runs; if it is the block's first, SQLite's undoing of a
    // failed statement is all a failure needs, and success lets go anyway.
    void beforeChange(bool alone) {
        if (open_) return;
        connection_.beforeChange();
        if (alone) return;
        run(kTakeSavepoint);
        open_ = true;
    }
    void transactionEnded() { open_ = false; }
    void release() {
        if (open_) run(kReleaseSavepoint);
        open_ = false;
    }

private:
    // Calls happen often: their savepoint statements are prepared once.
    void run(const std::string& sql) {
        PlsqlSession::Lease lease(session_, sql);
        if (sqlite3_step(lease.get()) != SQLITE_DONE) connection_.fail(sqlite3_reset(lease.get()));
    }

    PlsqlSession& session_;
    Connection& connection_;
    bool open_ = false;
};

PlsqlInterpreter::PlsqlInterpreter(PlsqlSession& session, PlsqlHost* host) : session_(session), host_(host) {}

PlsqlInterpreter::~PlsqlInterpreter() = default;

void PlsqlInterpreter::runBlock(const PlsqlUnit& block) {
    Savepoint savepoint(session_);
    savepoint_ = &savepoint;
    OnUnwind forget([this] { savepoint_ = nullptr; });
    const PlsqlRoutine& routine = *block.routines.front();
    Frame frame;
    frame.unit = &block;
    frame.slots.resize(static_cast<std::size_t>(routine.frameSize));
    frame.endsBlock = true;
    try {
        run(*routine.body, frame);
    } catch (const PlsqlUserException& error) {
        throw PlsqlUserException(error.raisedAtBlockLine(frame.line), error.key());
    } catch (const OraError& error) {
        if (error.number() == kUserRequestedCancel) throw;
        throw error.raisedAtBlockLine(frame.line);
    }
    if (host_ != nullptr) host_->deliver();
    savepoint.release();
    savepoint_ = nullptr;
}

PlsqlValue PlsqlInterpreter::callFunction(const std::string& name, std::vector<PlsqlValue> arguments) {
    std::shared_ptr<const PlsqlUnit> unit = session_.unit(name, PlsqlUnit::Kind::Function);
    if (!unit || !unit->valid || unit->routines.empty())
        throw OraError(OraCode::ProgramUnitMissing, {session_.connection().userName() + "." + name});
    const PlsqlRoutine& routine = *unit->routines.front();
    if (arguments.size() > routine.arguments.size())
        throw OraError(OraCode::InvalidNumberOfArgs);
    for (std::size_t i = 0; i < routine.arguments.size(); ++i) {
        if (i < arguments.size()) {
            arguments[i] = arguments[i].convertedTo(*routine.arguments[i].type);
        } else if (routine.arguments[i].defaultValue) {
            Frame empty;
            arguments.push_back(eval(*routine.arguments[i].defaultValue, empty));
        } else {
            throw OraError(OraCode::InvalidNumberOfArgs);
        }
    }
    return invoke(*unit, routine, arguments);
}

void PlsqlInterpreter::initializePackage(const PlsqlUnit& header, const PlsqlUnit* body, std::vector<PlsqlValue>& slots) {
    Frame frame;
    for (const PlsqlUnit* unit : {&header, body}) {
        if (unit == nullptr) continue;
        frame.unit = unit;
        for (const PlsqlDeclaration& declaration : unit->variables) {
            PlsqlValue value = declaration.initial ? eval(*declaration.initial, frame).convertedTo(*declaration.type)
                                                   : PlsqlValue::emptyOf(*declaration.type);
            slots[static_cast<std::size_t>(declaration.slot)] = std::move(value);
        }
    }
    if (body != nullptr && body->initialization) run(*body->initialization, frame);
}

// ---------------------------------------------------------------- statements

PlsqlInterpreter::Flow PlsqlInterpreter::run(const StmtList& statements, Frame& frame) {
    for (const StmtPtr& stmt : statements) {
        const Flow flow = run(*stmt, frame);
        if (flow != Flow::Next) return flow;
    }
    return Flow::Next;
}

PlsqlInterpreter::Flow PlsqlInterpreter::run(const PlsqlStmt& stmt, Frame& frame) {
    frame.line = stmt.at.line;
    switch (stmt.kind) {
    case PlsqlStmt::Kind::Null: return Flow::Next;
    case PlsqlStmt::Kind::Assign: assign(stmt.target, frame, eval(*stmt.value, frame)); return Flow::Next;
    case PlsqlStmt::Kind::If: return runIf(stmt, frame);
    case PlsqlStmt::Kind::Loop:
    case PlsqlStmt::Kind::While: return runLoop(stmt, frame);
    case PlsqlStmt::Kind::ForRange: return runForRange(stmt, frame);
    case PlsqlStmt::Kind::ForQuery: return runForQuery(stmt, frame);
    case PlsqlStmt::Kind::Exit:
        if (stmt.value && !truth(eval(*stmt.value, frame))) return Flow::Next;
        frame.exitLabel = stmt.label;
        return Flow::Exit;
    case PlsqlStmt::Kind::Return:
        if (stmt.value) frame.result = eval(*stmt.value, frame);
        return Flow::Return;
    case PlsqlStmt::Kind::Call: call(stmt.call, frame, stmt.at, frame.endsBlock && stmt.endsRoutine); return Flow::Next;
    case PlsqlStmt::Kind::Sql: runSql(stmt.sql, frame, frame.endsBlock && stmt.endsRoutine); return Flow::Next;
    case PlsqlStmt::Kind::Raise: raise(stmt, frame); return Flow::Next;
    case PlsqlStmt::Kind::Block: return runBlockStatement(stmt, frame);
    case PlsqlStmt::Kind::Sleep: {
        const PlsqlValue seconds = eval(*stmt.value, frame);
        session_.connection().cancelState().sleep(seconds.isNull() ? 0 : seconds.toNumber());
        return Flow::Next;
    }
    case PlsqlStmt::Kind::Evaluate: eval(*stmt.value, frame); return Flow::Next;
    }
    return Flow::Next;
}

// A nested block: its declarations, its statements, and its handlers for
// what they raise (not for what the declarations raise, as on the server).
PlsqlInterpreter::Flow PlsqlInterpreter::runBlockStatement(const PlsqlStmt& stmt, Frame& frame) {
    for (const PlsqlDeclaration& declaration : stmt.declarations) {
        PlsqlValue value = declaration.initial ? eval(*declaration.initial, frame).convertedTo(*declaration.type)
                                               : PlsqlValue::emptyOf(*declaration.type);
        frame.slots[static_cast<std::size_t>(declaration.slot)] = std::move(value);
    }
    if (!stmt.hasHandlers) return run(stmt.body, frame);
    try {
        return run(stmt.body, frame);
    } catch (const OraError& error) {
        return handle(stmt, frame, error);
    }
}

PlsqlInterpreter::Flow PlsqlInterpreter::handle(const PlsqlStmt& stmt, Frame& frame, const OraError& error) {
    if (error.number() == kUserRequestedCancel) throw;
    for (const PlsqlHandler& handler : stmt.handlers) {
        if (!matchesHandler(handler, error)) continue;
        handling_.push_back(&error);
        OnExit done([this] { handling_.pop_back(); });
        return run(handler.body, frame);
    }
    throw;
}

PlsqlInterpreter::Flow PlsqlInterpreter::runIf(const PlsqlStmt& stmt, Frame& frame) {
    for (std::size_t i = 0; i < stmt.conditions.size(); ++i) {
        if (truth(eval(*stmt.conditions[i], frame))) return run(stmt.branches[i], frame);
    }
    if (stmt.branches.size() > stmt.conditions.size()) return run(stmt.branches.back(), frame);
    return Flow::Next;
}

// Whether `flow` out of the body of `loop` ends it; an EXIT for an outer
// loop, and a RETURN, go on up.
bool PlsqlInterpreter::leavesLoop(Flow flow, const PlsqlStmt& loop, Frame& frame) const {
    if (flow != Flow::Exit) return false;
    if (frame.exitLabel.empty() || frame.exitLabel == loop.label) {
        frame.exitLabel.clear();
        return true;
    }
    return false;
}

PlsqlInterpreter::Flow PlsqlInterpreter::runLoop(const PlsqlStmt& stmt, Frame& frame) {
    CancelState& cancel = session_.connection().cancelState();
    for (;;) {
        cancel.throwIfRequested();
        if (stmt.kind == PlsqlStmt::Kind::While && !truth(eval(*stmt.value, frame))) return Flow::Next;
        const Flow flow = run(stmt.body, frame);
        if (leavesLoop(flow, stmt, frame)) return Flow::Next;
        if (flow != Flow::Next) return flow;
    }
}

PlsqlInterpreter::Flow PlsqlInterpreter::runForRange(const PlsqlStmt& stmt, Frame& frame) {
    const PlsqlValue low = eval(*stmt.value, frame);
    const PlsqlValue high = eval(*stmt.second, frame);
    if (low.isNull() || high.isNull()) throw OraError(OraCode::NumericOrValue, {""});
    const auto first = static_cast<std::int64_t>(std::llround(low.toNumber()));
    const auto last = static_cast<std::int64_t>(std::llround(high.toNumber()));
    CancelState& cancel = session_.connection().cancelState();
    PlsqlValue& index = frame.slots[static_cast<std::size_t>(stmt.loopSlot)];
    const std::int64_t step = stmt.reverse ? -1 : 1;
    for (std::int64_t i = stmt.reverse ? last : first; stmt.reverse ? i >= first : i <= last; i += step) {
        cancel.throwIfRequested();
        index = PlsqlValue::ofNumber(static_cast<double>(i));
        const Flow flow = run(stmt.body, frame);
        if (leavesLoop(flow, stmt, frame)) return Flow::Next;
        if (flow != Flow::Next) return flow;
    }
    return Flow::Next;
}

PlsqlInterpreter::Flow PlsqlInterpreter::runForQuery(const PlsqlStmt& stmt, Frame& frame) {
    PlsqlSession::Lease lease(session_, stmt.sql.sql);
    sqlite3_stmt* query = lease.get();
    bindParameters(query, stmt.sql, frame);
    CancelState& cancel = session_.connection().cancelState();
    while (step(query)) {
        cancel.throwIfRequested();
        PlsqlValue record;
        record.kind = PlsqlValue::Kind::Record;
        record.composite = std::make_shared<PlsqlComposite>();
        for (int c = 0; c < sqlite3_column_count(query); ++c)
            record.composite->fields.push_back(PlsqlValue::fromSqlite(sqlite3_column_value(query, c)));
        frame.slots[static_cast<std::size_t>(stmt.loopSlot)] = std::move(record);
        const Flow flow = run(stmt.body, frame);
        if (leavesLoop(flow, stmt, frame)) return Flow::Next;
        if (flow != Flow::Next) return flow;
    }
    return Flow::Next;
}

void PlsqlInterpreter::raise(const PlsqlStmt& stmt, Frame& frame) {
    if (stmt.exception.empty()) {
        if (handling_.empty()) throw OraError(OraCode::UnhandledUserException);
        const OraError& current = *handling_.back();
        if (const auto* user = dynamic_cast<const PlsqlUserException*>(&current)) throw PlsqlUserException(*user);
        throw current;
    }
    if (stmt.exception == kApplicationError) {
        const double number = eval(*stmt.value, frame).toNumber();
        const std::string text = eval(*stmt.second, frame).toText();
        if (number > -20000 || number < -20999)
            throw OraError(OraCode::ApplicationErrorRange, {PlsqlValue::ofNumber(number).toText()});
        throw OraError::withNumber(static_cast<int>(number), text);
    }
    if (const int number = predefinedExceptionNumber(stmt.exception)) {
        switch (number) {
        case kNoDataFound: throw OraError(OraCode::NoDataFound);
        case 1422: throw OraError(OraCode::TooManyRows);
        case 1476: throw OraError(OraCode::DivisorIsZero);
        case 6502: throw OraError(OraCode::NumericOrValue, {""});
        case kInvalidNumber: throw OraError(OraCode::InvalidNumber);
        default: throw OraError::withNumber(number, stmt.exception);
        }
    }
    throw PlsqlUserException(stmt.exception);
}

// ---------------------------------------------------------------- SQL

void PlsqlInterpreter::runSql(const PlsqlSql& sql, Frame& frame, bool endsBlock) {
    Connection& connection = session_.connection();
    if (sql.isCommit || sql.isRollback) {
        sql.isCommit ? connection.commit() : connection.rollback();
        if (savepoint_ != nullptr) savepoint_->transactionEnded();
        rowCount_ = 0;
        return;
    }
    PlsqlSession::Lease lease(session_, sql.sql);
    sqlite3_stmt* stmt = lease.get();
    bindParameters(stmt, sql, frame);
    if (sql.kind == PlsqlSql::Kind::SelectInto) {
        assignRow(sql, stmt, frame);
        rowCount_ = 1;
        return;
    }
    beforeChange(sql, endsBlock);
    while (step(stmt)) {
    }
    rowCount_ = sqlite3_changes(connection.db());
}

// A change the block ends with needs no savepoint of its own when nothing
// can fail after it, the client's values included.
void PlsqlInterpreter::beforeChange(const PlsqlSql& sql, bool endsBlock) {
    if (savepoint_ == nullptr) {
        session_.connection().beforeChange();
        return;
    }
    const bool alone = endsBlock && sql.selfContained && (host_ == nullptr || !host_->deliveryMayFail());
    savepoint_->beforeChange(alone);
}

void PlsqlInterpreter::bindParameters(sqlite3_stmt* stmt, const PlsqlSql& sql, Frame& frame) {
    for (std::size_t k = 0; k < sql.parameters.size(); ++k)
        eval(*sql.parameters[k], frame).bindTo(stmt, static_cast<int>(k + 1));
}

// Steps `stmt`: true on a row, false at its end; throws the session's error.
bool PlsqlInterpreter::step(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int error = sqlite3_reset(stmt);
    session_.connection().fail(error != SQLITE_OK ? error : rc);
}

// SELECT INTO: exactly one row, whose columns go to the targets (or to the
// fields of one record).
void PlsqlInterpreter::assignRow(const PlsqlSql& sql, sqlite3_stmt* stmt, Frame& frame) {
    if (!step(stmt)) {
        rowCount_ = 0;
        throw OraError(OraCode::NoDataFound);
    }
    std::vector<PlsqlValue> row;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) row.push_back(PlsqlValue::fromSqlite(sqlite3_column_value(stmt, c)));
    if (step(stmt)) throw OraError(OraCode::TooManyRows);
    const bool oneRecord = sql.into.size() == 1 && sql.into[0].type && sql.into[0].type->kind == PlsqlType::Kind::Record;
    if (!oneRecord) {
        for (std::size_t c = 0; c < sql.into.size(); ++c) assign(sql.into[c], frame, std::move(row[c]));
        return;
    }
    PlsqlValue record = PlsqlValue::emptyOf(*sql.into[0].type);
    for (std::size_t c = 0; c < row.size(); ++c) {
        const TypeRef& type = sql.into[0].type->fields[c].type;
        record.composite->fields[c] = type ? row[c].convertedTo(*type) : std::move(row[c]);
    }
    assign(sql.into[0], frame, std::move(record));
}

// ---------------------------------------------------------------- expressions

PlsqlValue PlsqlInterpreter::eval(const PlsqlExpr& expr, Frame& frame) {
    switch (expr.op) {
    case PlsqlExpr::Op::Literal: return expr.literal;
    case PlsqlExpr::Op::Read: return read(expr.place, frame);
    case PlsqlExpr::Op::Negate: {
        const PlsqlValue value = eval(*expr.args[0], frame);
        return value.isNull() ? value : PlsqlValue::ofNumber(-value.toNumber());
    }
    case PlsqlExpr::Op::Arith: return arithmetic(expr, frame);
    case PlsqlExpr::Op::Concat:
        return PlsqlValue::ofText(eval(*expr.args[0], frame).toText() + eval(*expr.args[1], frame).toText());
    case PlsqlExpr::Op::Compare: return comparison(expr, frame);
    case PlsqlExpr::Op::And:
    case PlsqlExpr::Op::Or:
    case PlsqlExpr::Op::Not: return logical(expr, frame);
    case PlsqlExpr::Op::IsNull: return PlsqlValue::ofBoolean(eval(*expr.args[0], frame).isNull() != expr.negated);
    case PlsqlExpr::Op::Like: {
        std::vector<PlsqlValue> operands{eval(*expr.args[0], frame), eval(*expr.args[1], frame)};
        PlsqlValue matched = sqlValue("SELECT ?1 LIKE ?2", operands);
        if (matched.isNull()) return matched;
        return PlsqlValue::ofBoolean((matched.number != 0) != expr.negated);
    }
    case PlsqlExpr::Op::Case: return caseValue(expr, frame);
    case PlsqlExpr::Op::Call: return call(expr.call, frame, expr.at);
    case PlsqlExpr::Op::SqlFunction: {
        std::vector<PlsqlValue> arguments;
        for (const ExprPtr& argument : expr.args) arguments.push_back(eval(*argument, frame));
        return sqlValue(expr.sql, arguments);
    }
    case PlsqlExpr::Op::Method: return method(expr, frame);
    case PlsqlExpr::Op::SqlCode: return errorCode();
    case PlsqlExpr::Op::SqlErrm: return errorMessage(expr, frame);
    case PlsqlExpr::Op::Cursor:
        if (expr.symbol == "ROWCOUNT") return rowCount_ < 0 ? PlsqlValue() : PlsqlValue::ofNumber(static_cast<double>(rowCount_));
        if (expr.symbol == "ISOPEN") return PlsqlValue::ofBoolean(false);
        if (rowCount_ < 0) return {};
        return PlsqlValue::ofBoolean((rowCount_ > 0) == (expr.symbol == "FOUND"));
    }
    return {};
}

// + - * /: numbers here; a date or text operand of + and - goes the way the
// session's SQL takes it (date arithmetic, text read as a number).
PlsqlValue PlsqlInterpreter::arithmetic(const PlsqlExpr& expr, Frame& frame) {
    const PlsqlValue left = eval(*expr.args[0], frame);
    const PlsqlValue right = eval(*expr.args[1], frame);
    if (left.isNull() || right.isNull()) return {};
    const char op = expr.symbol[0];
    const bool numbers = left.kind == PlsqlValue::Kind::Number && right.kind == PlsqlValue::Kind::Number;
    if (!numbers && (op == '+' || op == '-')) {
        try {
            return sqlValue("SELECT " + quoteStored(kChainFunction) + "(?1, ?3, ?2)",
                            {left, right, PlsqlValue::ofText(expr.symbol)});
        } catch (const OraError& error) {
            if (error.number() != kInvalidNumber) throw;
            throw OraError(OraCode::NumericOrValue, {": character to number conversion error"});
        }
    }
    const double a = left.toNumber();
    const double b = right.toNumber();
    double result = 0;
    switch (op) {
    case '+': result = a + b; break;
    case '-': result = a - b; break;
    case '*': result = a * b; break;
    default:
        if (b == 0) throw OraError(OraCode::DivisorIsZero);
        result = a / b;
    }
    if (!std::isfinite(result)) throw OraError(OraCode::NumericOverflow);
    return PlsqlValue::ofNumber(result);
}

PlsqlValue PlsqlInterpreter::comparison(const PlsqlExpr& expr, Frame& frame) {
    const PlsqlValue left = eval(*expr.args[0], frame);
    if (expr.symbol == "IN") {
        bool unknown = left.isNull();
        for (std::size_t i = 1; i < expr.args.size() && !unknown; ++i) {
            const std::optional<int> c = compareValues(left, eval(*expr.args[i], frame));
            if (c && *c == 0) return PlsqlValue::ofBoolean(!expr.negated);
            unknown = unknown || !c;
        }
        return unknown ? PlsqlValue() : PlsqlValue::ofBoolean(expr.negated);
    }
    if (expr.symbol == "BETWEEN") {
        const std::optional<int> low = compareValues(left, eval(*expr.args[1], frame));
        const std::optional<int> high = compareValues(left, eval(*expr.args[2], frame));
        if (!low || !high) return {};
        return PlsqlValue::ofBoolean((*low >= 0 && *high <= 0) != expr.negated);
    }
    const std::optional<int> c = compareValues(left, eval(*expr.args[1], frame));
    if (!c) return {};
    const std::string& op = expr.symbol;
    if (op == "=") return PlsqlValue::ofBoolean(*c == 0);
    if (op == "<>") return PlsqlValue::ofBoolean(*c != 0);
    if (op == "<") return PlsqlValue::ofBoolean(*c < 0);
    if (op == "<=") return PlsqlValue::ofBoolean(*c <= 0);
    if (op == ">") return PlsqlValue::ofBoolean(*c > 0);
    return PlsqlValue::ofBoolean(*c >= 0);
}

// AND, OR and NOT over TRUE, FALSE and NULL, the left operand first.
PlsqlValue PlsqlInterpreter::logical(const PlsqlExpr& expr, Frame& frame) {
    auto boolean = [](const PlsqlValue& value) -> std::optional<bool> {
        if (value.isNull()) return std::nullopt;
        if (value.kind != PlsqlValue::Kind::Boolean) throw OraError(OraCode::NumericOrValue, {""});
        return value.boolean;
    };
    const std::optional<bool> left = boolean(eval(*expr.args[0], frame));
    if (expr.op == PlsqlExpr::Op::Not) return booleanOrNull(left ? std::optional<bool>(!*left) : std::nullopt);
    const bool isAnd = expr.op == PlsqlExpr::Op::And;
    if (left && *left != isAnd) return PlsqlValue::ofBoolean(*left);
    const std::optional<bool> right = boolean(eval(*expr.args[1], frame));
    if (right && *right != isAnd) return PlsqlValue::ofBoolean(*right);
    if (!left || !right) return {};
    return PlsqlValue::ofBoolean(isAnd);
}

PlsqlValue PlsqlInterpreter::caseValue(const PlsqlExpr& expr, Frame& frame) {
    const bool simple = expr.symbol == "simple";
    const std::size_t pairsEnd = expr.args.size() - (expr.negated ? 1 : 0);
    const PlsqlValue operand = simple ? eval(*expr.args[0], frame) : PlsqlValue();
    for (std::size_t i = simple ? 1 : 0; i + 1 < pairsEnd; i += 2) {
        const PlsqlValue when = eval(*expr.args[i], frame);
        const bool hit = simple ? compareValues(operand, when) == std::optional<int>(0) : truth(when);
        if (hit) return eval(*expr.args[i + 1], frame);
    }
    return expr.negated ? eval(*expr.args.back(), frame) : PlsqlValue();
}

// The one value of the SQLite query `sql` over `arguments` (parameters ?1 ...).
PlsqlValue PlsqlInterpreter::sqlValue(const std::string& sql, const std::vector<PlsqlValue>& arguments) {
    PlsqlSession::Lease lease(session_, sql);
    sqlite3_stmt* stmt = lease.get();
    for (std::size_t i = 0; i < arguments.size(); ++i) arguments[i].bindTo(stmt, static_cast<int>(i + 1));
    if (!step(stmt)) return {};
    return PlsqlValue::fromSqlite(sqlite3_column_value(stmt, 0));
}

// A table's COUNT, FIRST, LAST, NEXT(i), PRIOR(i), EXISTS(i) and DELETE[(i)].
PlsqlValue PlsqlInterpreter::method(const PlsqlExpr& expr, Frame& frame) {
    const std::string& name = expr.symbol;
    if (name == "DELETE") {
        PlsqlValue& table = locate(expr.place, frame, true);
        auto& elements = table.mutableComposite().elements;
        if (expr.args.empty()) {
            elements.clear();
        } else {
            elements.erase(index(*expr.args[0], frame));
        }
        return {};
    }
    const PlsqlValue table = read(expr.place, frame);
    const auto& elements = table.composite->elements;
    if (name == "COUNT") return PlsqlValue::ofNumber(static_cast<double>(elements.size()));
    auto key = [](auto it) { return PlsqlValue::ofNumber(static_cast<double>(it->first)); };
    if (name == "FIRST") return elements.empty() ? PlsqlValue() : key(elements.begin());
    if (name == "LAST") return elements.empty() ? PlsqlValue() : key(std::prev(elements.end()));
    const std::int64_t at = index(*expr.args.at(0), frame);
    if (name == "EXISTS") return PlsqlValue::ofBoolean(elements.count(at) != 0);
    if (name == "NEXT") {
        const auto next = elements.upper_bound(at);
        return next == elements.end() ? PlsqlValue() : key(next);
    }
    auto prior = elements.lower_bound(at);
    return prior == elements.begin() ? PlsqlValue() : key(--prior);
}

PlsqlValue PlsqlInterpreter::errorCode() const {
    if (handling_.empty()) return PlsqlValue::ofNumber(0);
    const OraError& error = *handling_.back();
    if (dynamic_cast<const PlsqlUserException*>(&error) != nullptr) return PlsqlValue::ofNumber(1);
    if (error.number() == kNoDataFound) return PlsqlValue::ofNumber(100);
    return PlsqlValue::ofNumber(-error.number());
}

PlsqlValue PlsqlInterpreter::errorMessage(const PlsqlExpr& expr, Frame& frame) {
    if (!expr.args.empty()) {
        const double code = eval(*expr.args[0], frame).toNumber();
        if (code == 0) return PlsqlValue::ofText("ORA-0000: normal, successful completion");
        if (code == 1) return PlsqlValue::ofText("User-Defined Exception");
        return PlsqlValue::ofText(pieceAt(OraError::withNumber(static_cast<int>(code), "").what(), "\n") +
                                  "Message " + PlsqlValue::ofNumber(-code).toText() + " not found");
    }
    if (handling_.empty()) return PlsqlValue::ofText("ORA-0000: normal, successful completion");
    const OraError& error = *handling_.back();
    if (dynamic_cast<const PlsqlUserException*>(&error) != nullptr) return PlsqlValue::ofText("User-Defined Exception");
    return PlsqlValue::ofText(withoutFrames(error));
}

// ---------------------------------------------------------------- places

PlsqlValue PlsqlInterpreter::read(const PlsqlPlace& place, Frame& frame) {
    if (place.root == PlsqlPlace::Root::Host) return host_->read(place.slot);
    return locate(place, frame, false);
}

void PlsqlInterpreter::assign(const PlsqlPlace& place, Frame& frame, PlsqlValue value) {
    if (place.type) value = value.convertedTo(*place.type);
    if (place.root == PlsqlPlace::Root::Host) {
        host_->write(place.slot, value);
        return;
    }
    locate(place, frame, true) = std::move(value);
}

// The value behind `place`: a table element read that does not exist is
// NO_DATA_FOUND; one written is made. Every index is evaluated before the
// walk starts: a function called in an index may change the very tables the
// walk goes through, and no element reached may move under it.
PlsqlValue& PlsqlInterpreter::locate(const PlsqlPlace& place, Frame& frame, bool forWrite) {
    constexpr std::size_t kInlineKeys = 4;
    std::int64_t inlineKeys[kInlineKeys];
    std::vector<std::int64_t> moreKeys;
    std::int64_t* keys = inlineKeys;
    if (place.steps.size() > kInlineKeys) {
        moreKeys.resize(place.steps.size());
        keys = moreKeys.data();
    }
    for (std::size_t i = 0; i < place.steps.size(); ++i)
        if (place.steps[i].index) keys[i] = index(*place.steps[i].index, frame);
    PlsqlValue* value = place.root == PlsqlPlace::Root::Local
                            ? &frame.slots[static_cast<std::size_t>(place.slot)]
                            : &session_.packageState(place.package, *this)[static_cast<std::size_t>(place.slot)];
    for (std::size_t i = 0; i < place.steps.size(); ++i) {
        const PlsqlPlace::Step& step = place.steps[i];
        if (!value->composite) throw OraError(OraCode::NumericOrValue, {""});
        if (step.index) {
            if (!forWrite) {
                const auto found = value->composite->elements.find(keys[i]);
                if (found == value->composite->elements.end()) throw OraError(OraCode::NoDataFound);
                value = &found->second;
            } else {
                PlsqlComposite& table = value->mutableComposite();
                value = &table.elements[keys[i]];
                // A new element of records or tables, reached to write one of its parts.
                if (!value->composite && table.elementType && table.elementType->isComposite())
                    *value = PlsqlValue::emptyOf(*table.elementType);
            }
        } else {
            value = forWrite ? &value->mutableComposite().fields[static_cast<std::size_t>(step.field)]
                             : &value->composite->fields[static_cast<std::size_t>(step.field)];
        }
    }
    return *value;
}

std::int64_t PlsqlInterpreter::index(const PlsqlExpr& expr, Frame& frame) {
    const PlsqlValue value = eval(expr, frame);
    if (value.isNull()) throw OraError(OraCode::NumericOrValue, {": NULL index table key value"});
    return static_cast<std::int64_t>(std::llround(value.toNumber()));
}

// ---------------------------------------------------------------- calls

// `endsBlock`: nothing of the block runs after the call. Nor after the
// routine's end then, unless it has values to give back.
PlsqlValue PlsqlInterpreter::call(const PlsqlCall& call, Frame& frame, const SourcePlace& at, bool endsBlock) {
    auto [unit, routine] = resolve(call, at);
    const std::vector<const PlsqlExpr*> actual = actuals(call, *routine, at);
    std::vector<PlsqlValue> arguments;
    for (std::size_t i = 0; i < routine->arguments.size(); ++i) {
        const PlsqlArgument& formal = routine->arguments[i];
        if (formal.mode == PlsqlArgument::Mode::Out) {
            arguments.push_back(PlsqlValue::emptyOf(*formal.type));
        } else {
            arguments.push_back(eval(*actual[i], frame).convertedTo(*formal.type));
        }
    }
    const bool givesBack = routine->isFunction ||
                           std::any_of(routine->arguments.begin(), routine->arguments.end(),
                                       [](const PlsqlArgument& formal) { return formal.mode != PlsqlArgument::Mode::In; });
    PlsqlValue result = invoke(*unit, *routine, arguments, endsBlock && !givesBack);
    for (std::size_t i = 0; i < routine->arguments.size(); ++i) {
        if (routine->arguments[i].mode != PlsqlArgument::Mode::In) assign(actual[i]->place, frame, std::move(arguments[i]));
    }
    return result;
}

// The unit and routine a call reaches now; of overloads, the first whose
// arguments fit by number and names.
std::pair<std::shared_ptr<const PlsqlUnit>, const PlsqlRoutine*> PlsqlInterpreter::resolve(const PlsqlCall& call,
                                                                                          const SourcePlace& at) {
    const std::string& owner = session_.connection().userName();
    std::shared_ptr<const PlsqlUnit> unit;
    if (call.package.empty()) {
        unit = session_.standalone(call.name);
    } else {
        session_.packageState(call.package, *this);
        unit = session_.unit(call.package, PlsqlUnit::Kind::PackageBody);
    }
    const std::string& shown = call.package.empty() ? call.name : call.package;
    if (unit && !unit->valid)
        throw OraError(OraCode::PlsqlCompilation, {std::to_string(at.line), std::to_string(at.column),
                                                   "PLS-00905: object " + owner + "." + shown + " is invalid"});
    if (!unit) throw OraError(OraCode::ProgramUnitMissing, {owner + "." + shown});
    for (const auto& routine : unit->routines) {
        if (routine->name != call.name || !routine->body) continue;
        bool fits = call.arguments.size() <= routine->arguments.size();
        for (std::size_t i = 0; fits && i < routine->arguments.size(); ++i) {
            const bool given = i < call.argumentNames.size() && call.argumentNames[i].empty();
            bool named = false;
            for (const std::string& name : call.argumentNames) named = named || name == routine->arguments[i].name;
            fits = given || named || routine->arguments[i].defaultValue != nullptr;
        }
        if (fits) return {unit, routine.get()};
    }
    throw OraError(OraCode::PlsqlCompilation, {std::to_string(at.line), std::to_string(at.column),
                                               "PLS-00306: wrong number or types of arguments in call to '" +
                                                   call.name + "'"});
}

// The actual argument of each formal one (a default where none is given);
// an OUT or IN OUT argument must be a variable.
std::vector<const PlsqlExpr*> PlsqlInterpreter::actuals(const PlsqlCall& call, const PlsqlRoutine& routine,
                                                        const SourcePlace& at) const {
    std::vector<const PlsqlExpr*> actual(routine.arguments.size(), nullptr);
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        std::size_t position = i;
        if (!call.argumentNames[i].empty()) {
            for (position = 0; position < routine.arguments.size(); ++position) {
                if (routine.arguments[position].name == call.argumentNames[i]) break;
            }
        }
        actual.at(position) = call.arguments[i].get();
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const PlsqlArgument& formal = routine.arguments[i];
        if (actual[i] == nullptr) actual[i] = formal.defaultValue.get();
        if (formal.mode != PlsqlArgument::Mode::In && actual[i]->op != PlsqlExpr::Op::Read)
            throw OraError(OraCode::PlsqlCompilation,
                           {std::to_string(at.line), std::to_string(at.column),
                            "PLS-00363: expression cannot be used as an assignment target"});
    }
    return actual;
}

// Runs `routine` of `unit` with its arguments in the first slots; OUT and IN
// OUT values are left there for the caller.
PlsqlValue PlsqlInterpreter::invoke(const PlsqlUnit& unit, const PlsqlRoutine& routine,
                                    std::vector<PlsqlValue>& arguments, bool endsBlock) {
    int& depth = session_.callDepth();
    if (depth >= kMaxCallDepth) throw OraError(OraCode::PlsqlStorageError);
    session_.connection().cancelState().throwIfRequested();
    ++depth;
    OnExit leave([&depth] { --depth; });
    Frame frame;
    frame.unit = &unit;
    frame.slots.resize(static_cast<std::size_t>(routine.frameSize));
    frame.endsBlock = endsBlock;
    for (std::size_t i = 0; i < arguments.size(); ++i) frame.slots[i] = std::move(arguments[i]);
    auto place = [&] {
        return "\"" + session_.connection().userName() + "." + unit.name + "\", line " + std::to_string(frame.line);
    };
    try {
        const Flow flow = run(*routine.body, frame);
        if (routine.isFunction && flow != Flow::Return) throw OraError(OraCode::FunctionWithoutValue);
    } catch (const PlsqlUserException& error) {
        throw PlsqlUserException(error.withFrame(place()), error.key());
    } catch (const OraError& error) {
        if (error.number() == kUserRequestedCancel) throw;
        throw error.withFrame(place());
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) arguments[i] = std::move(frame.slots[i]);
    if (!routine.isFunction) return {};
    return frame.result.convertedTo(*routine.returnType);
}

void PlsqlInterpreter::resultTo(sqlite3_context* context, const PlsqlValue& value) {
    switch (value.kind) {
    case PlsqlValue::Kind::Null: sqlite3_result_null(context); break;
    case PlsqlValue::Kind::Number:
        if (value.isExactInteger())
            sqlite3_result_int64(context, static_cast<sqlite3_int64>(value.number));
        else
            sqlite3_result_double(context, value.number);
        break;
    case PlsqlValue::Kind::Raw:
        sqlite3_result_blob(context, value.text.data(), static_cast<int>(value.text.size()), SQLITE_TRANSIENT);
        break;
    case PlsqlValue::Kind::Text:
    case PlsqlValue::Kind::Date:
        sqlite3_result_text(context, value.text.data(), static_cast<int>(value.text.size()), SQLITE_TRANSIENT);
        break;
    default: sqlite3_result_error(context, OraError(OraCode::InconsistentTypes, {"-", "BOOLEAN"}).what(), -1);
    }
}

}  // namespace engine
