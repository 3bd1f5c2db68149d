// Stored programs for one session: DDL, compiled units, package state.
#include "plsql/PlsqlSession.h"

#include "base/OraError.h"
#include "base/StoredNames.h"
#include "plsql/PlsqlCompiler.h"
#include "plsql/PlsqlInterpreter.h"
#include "sql/SqlTokenizer.h"
#include "store/ProgramStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>

namespace engine {
namespace {

constexpr std::array<std::pair<PlsqlUnit::Kind, const char*>, 4> kKindTexts{{
    {PlsqlUnit::Kind::Procedure, "PROCEDURE"},
    {PlsqlUnit::Kind::Function, "FUNCTION"},
    {PlsqlUnit::Kind::Package, "PACKAGE"},
    {PlsqlUnit::Kind::PackageBody, "PACKAGE BODY"},
}};

const char* kindText(PlsqlUnit::Kind kind) {
    for (const auto& [each, text] : kKindTexts) {
        if (each == kind) return text;
    }
    return "";
}

PlsqlUnit::Kind kindOf(const std::string& text) {
    for (const auto& [each, name] : kKindTexts) {
        if (text == name) return each;
    }
    return PlsqlUnit::Kind::Anonymous;
}

TypeRef typeOfColumn(const ColumnDescription& column) {
    switch (column.type) {
    case InternalType::Number: return PlsqlType::scalar(PlsqlType::Kind::Number, 0, column.precision, std::max(0, column.scale));
    case InternalType::Date: return PlsqlType::scalar(PlsqlType::Kind::Date);
    case InternalType::Raw: return PlsqlType::scalar(PlsqlType::Kind::Raw, column.size);
    case InternalType::LongRaw: return PlsqlType::scalar(PlsqlType::Kind::LongRaw);
    case InternalType::Long:
    case InternalType::Clob: return PlsqlType::scalar(PlsqlType::Kind::Long);
    case InternalType::Char: return PlsqlType::scalar(PlsqlType::Kind::Char, column.size);
    case InternalType::Blob: return PlsqlType::scalar(PlsqlType::Kind::LongRaw);
    default: return PlsqlType::scalar(PlsqlType::Kind::Varchar2, column.size);
    }
}

// A transaction of the program tables' own, committed as DDL commits.
class DdlTransaction {
public:
    explicit DdlTransaction(Connection& connection) : connection_(connection) {
        connection_.beforeDdl();
        connection_.execute("BEGIN IMMEDIATE");
    }
    ~DdlTransaction() {
        if (!committed_) sqlite3_exec(connection_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    DdlTransaction(const DdlTransaction&) = delete;
    DdlTransaction& operator=(const DdlTransaction&) = delete;
    void commit() {
        connection_.execute("COMMIT");
        committed_ = true;
    }

private:
    Connection& connection_;
    bool committed_ = false;
};

struct FunctionEntry {
    PlsqlSession* session;
    std::string name;
};

}  // namespace

PlsqlSession::PlsqlSession(Connection& connection) : connection_(connection) {}

PlsqlSession::~PlsqlSession() = default;

PlsqlSession& PlsqlSession::of(Connection& connection) {
    std::unique_ptr<SessionExtension>& slot = connection.extension();
    if (!slot) {
        auto session = std::make_unique<PlsqlSession>(connection);
        PlsqlSession& made = *session;
        slot = std::move(session);
        made.registerFunctions();
    }
    return static_cast<PlsqlSession&>(*slot);
}

// ---------------------------------------------------------------- DDL

bool PlsqlSession::create(const EngineCommand& command) {
    DdlTransaction transaction(connection_);
    checkNameFree(command);
    const PlsqlUnit::Kind kind = kindOf(command.programKind);
    std::vector<ProgramError> errors;
    try {
        std::shared_ptr<const PlsqlUnit> header;
        if (kind == PlsqlUnit::Kind::PackageBody) {
            header = unit(command.name, PlsqlUnit::Kind::Package);
            if (!header || !header->valid)
                throw PlsqlCompileError{{1, 1}, "PLS-00304: cannot compile body of '" + command.name +
                                                    "' without its package header"};
        }
        const SqlTokenizer tokenizer(command.source);
        if (tokenizer.error()) throw PlsqlCompileError{{1, 1}, tokenizer.error()->what()};
        const std::vector<SqlToken> tokens = tokenizer.significantTokens();
        PlsqlCompiler(tokens, command.source, *this).compileUnit(header);
    } catch (const PlsqlCompileError& error) {
        errors.push_back(ProgramError{error.at.line, error.at.column, error.text});
    }
    ProgramStore(connection_.db()).save(StoredProgram{command.name, command.programKind, command.source, errors.empty(), 0},
                                         errors);
    transaction.commit();
    ++ownChanges_;
    forget(command.name);
    if (kind == PlsqlUnit::Kind::Function && errors.empty()) registerFunction(command.name);
    return errors.empty();
}

void PlsqlSession::drop(const EngineCommand& command) {
    DdlTransaction transaction(connection_);
    if (!ProgramStore(connection_.db()).drop(command.name, command.programKind))
        throw OraError(OraCode::ObjectMissing, {command.name});
    transaction.commit();
    ++ownChanges_;
    forget(command.name);
}

// ORA-00955 when a table, view or sequence has the name, or a program of
// another kind, or one of the same kind that is not to be replaced.
void PlsqlSession::checkNameFree(const EngineCommand& command) {
    if (connection_.catalog().objectKind(quoteStored(command.name))) throw OraError(OraCode::NameAlreadyUsed);
    const ProgramStore store(connection_.db());
    if (command.programKind == "PACKAGE BODY") {
        if (!command.replace && store.find(command.name, command.programKind)) throw OraError(OraCode::NameAlreadyUsed);
        return;
    }
    const std::optional<std::string> taken = store.kindOf(command.name, {"PROCEDURE", "FUNCTION", "PACKAGE"});
    if (taken && (*taken != command.programKind || !command.replace)) throw OraError(OraCode::NameAlreadyUsed);
}

void PlsqlSession::forget(const std::string& name) {
    for (auto it = units_.begin(); it != units_.end();) it = it->first.first == name ? units_.erase(it) : std::next(it);
    packages_.erase(name);
}

// ---------------------------------------------------------------- units

std::shared_ptr<const PlsqlUnit> PlsqlSession::compileBlock(const std::string& text) {
    refresh();
    const SqlTokenizer tokenizer(text);
    if (tokenizer.error()) throw *tokenizer.error();
    const std::vector<SqlToken> tokens = tokenizer.significantTokens();
    try {
        return PlsqlCompiler(tokens, text, *this).compileAnonymous();
    } catch (const PlsqlCompileError& error) {
        throw OraError(OraCode::PlsqlCompilation,
                       {std::to_string(error.at.line), std::to_string(error.at.column), error.text});
    }
}

// Nothing to look at while the session has held the write lock since the
// last look: no other session can have committed.
void PlsqlSession::refresh() {
    const std::uint64_t lock = connection_.writeLockHeld();
    if (lock == 0 || lock != lookedUnderLock_) generation_ = -1;
}

// PRAGMA data_version changes when another connection commits; the session's
// own program DDL counts apart, as its own commits do not change it.
std::int64_t PlsqlSession::generation() {
    if (generation_ >= 0) return generation_ + ownChanges_;
    lookedUnderLock_ = connection_.writeLockHeld();
    if (!dataVersion_) dataVersion_ = SqliteStatement(connection_, "PRAGMA data_version");
    sqlite3_stmt* stmt = dataVersion_.get();
    sqlite3_reset(stmt);
    const std::int64_t version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    generation_ = version << 24;
    return generation_ + ownChanges_;
}

std::shared_ptr<const PlsqlUnit> PlsqlSession::unit(const std::string& name, PlsqlUnit::Kind kind) {
    CachedUnit& cached = units_[{name, kind}];  // map nodes stay put while compileStored adds others
    const std::int64_t now = generation();
    if (cached.checkedAt == now) return cached.unit;
    if (!current(cached, name, kind)) cached.unit = compileStored(name, kind);
    cached.checkedAt = now;
    return cached.unit;
}

// Whether the cached unit is the stored program's current version.
bool PlsqlSession::current(const CachedUnit& cached, const std::string& name, PlsqlUnit::Kind kind) {
    if (cached.checkedAt < 0) return false;
    const std::optional<StoredProgram> stored = ProgramStore(connection_.db()).find(name, kindText(kind));
    if (!stored) return !cached.unit;
    return cached.unit && cached.unit->version == stored->version;
}

std::shared_ptr<const PlsqlUnit> PlsqlSession::compileStored(const std::string& name, PlsqlUnit::Kind kind) {
    const std::optional<StoredProgram> stored = ProgramStore(connection_.db()).find(name, kindText(kind));
    if (!stored) return nullptr;
    auto invalid = std::make_shared<PlsqlUnit>();
    invalid->kind = kind;
    invalid->name = name;
    invalid->valid = false;
    invalid->version = stored->version;
    if (!stored->valid) return invalid;
    // A unit that calls itself finds its own (still invalid) entry meanwhile.
    units_[{name, kind}] = CachedUnit{invalid, generation()};
    try {
        std::shared_ptr<const PlsqlUnit> header;
        if (kind == PlsqlUnit::Kind::PackageBody) header = unit(name, PlsqlUnit::Kind::Package);
        const SqlTokenizer tokenizer(stored->source);
        const std::vector<SqlToken> tokens = tokenizer.significantTokens();
        std::shared_ptr<PlsqlUnit> unit = PlsqlCompiler(tokens, stored->source, *this).compileUnit(header);
        unit->version = stored->version;
        return unit;
    } catch (const PlsqlCompileError&) {
        return invalid;
    }
}

std::shared_ptr<const PlsqlUnit> PlsqlSession::packageHeader(const std::string& name) {
    std::shared_ptr<const PlsqlUnit> header = unit(name, PlsqlUnit::Kind::Package);
    return header && header->valid ? header : nullptr;
}

std::shared_ptr<const PlsqlUnit> PlsqlSession::standalone(const std::string& name) {
    if (std::shared_ptr<const PlsqlUnit> procedure = unit(name, PlsqlUnit::Kind::Procedure)) return procedure;
    return unit(name, PlsqlUnit::Kind::Function);
}

std::vector<PlsqlValue>& PlsqlSession::packageState(const std::string& name, PlsqlInterpreter& interpreter) {
    std::shared_ptr<const PlsqlUnit> header = unit(name, PlsqlUnit::Kind::Package);
    if (!header || !header->valid) throw OraError(OraCode::ProgramUnitMissing, {connection_.userName() + "." + name});
    std::shared_ptr<const PlsqlUnit> body = unit(name, PlsqlUnit::Kind::PackageBody);
    if (body && !body->valid) body = nullptr;
    PackageState& state = packages_[name];
    const std::int64_t bodyVersion = body ? body->version : 0;
    if (state.headerVersion == header->version && state.bodyVersion == bodyVersion) return state.slots;
    state.headerVersion = header->version;
    state.bodyVersion = bodyVersion;
    state.slots.assign(static_cast<std::size_t>(body ? body->stateSize : header->stateSize), PlsqlValue());
    try {
        interpreter.initializePackage(*header, body.get(), state.slots);
    } catch (...) {
        packages_.erase(name);
        throw;
    }
    return packages_[name].slots;
}

// ---------------------------------------------------------------- statements

PlsqlSession::Lease::Lease(PlsqlSession& session, const std::string& sql) : idle_(session.idleStatements_[sql]) {
    if (idle_.empty()) {
        statement_ = std::make_unique<SqliteStatement>(session.connection_, sql);
    } else {
        statement_ = std::move(idle_.back());
        idle_.pop_back();
    }
}

PlsqlSession::Lease::~Lease() {
    statement_->reset();
    sqlite3_clear_bindings(statement_->get());
    idle_.push_back(std::move(statement_));
}

// ---------------------------------------------------------------- the catalog

TypeRef PlsqlSession::columnType(const std::string& table, const std::string& column) {
    try {
        for (const ColumnDescription& each : connection_.catalog().describeObject(quoteStored(table))) {
            if (each.name == column) return typeOfColumn(each);
        }
    } catch (const OraError& error) {
        if (error.number() == 1013) throw;
    }
    return nullptr;
}

std::vector<std::string> PlsqlSession::checkSql(const std::string& sql) {
    Lease lease(*this, sql);
    std::vector<std::string> columns;
    const int count = sqlite3_column_count(lease.get());
    for (int i = 0; i < count; ++i) columns.push_back(decodeIdentifier(sqlite3_column_name(lease.get(), i)));
    return columns;
}

// ---------------------------------------------------------------- functions in SQL

void PlsqlSession::registerFunctions() {
    for (const StoredProgram& program : ProgramStore(connection_.db()).list()) {
        if (program.kind == "FUNCTION" && program.valid) registerFunction(program.name);
    }
}

void PlsqlSession::registerFunction(const std::string& name) {
    auto* entry = new FunctionEntry{this, name};
    sqlite3_create_function_v2(connection_.db(), name.c_str(), -1, SQLITE_UTF8, entry, &PlsqlSession::callFromSql,
                               nullptr, nullptr, [](void* data) { delete static_cast<FunctionEntry*>(data); });
}

void PlsqlSession::callFromSql(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const auto& entry = *static_cast<FunctionEntry*>(sqlite3_user_data(context));
    try {
        std::vector<PlsqlValue> arguments;
        for (int i = 0; i < argc; ++i) arguments.push_back(PlsqlValue::fromSqlite(argv[i]));
        if (entry.session->callDepth() == 0) entry.session->refresh();
        PlsqlInterpreter interpreter(*entry.session, nullptr);
        const PlsqlValue result = interpreter.callFunction(entry.name, std::move(arguments));
        interpreter.resultTo(context, result);
    } catch (const OraError& error) {
        sqlite3_result_error(context, error.what(), -1);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace engine
