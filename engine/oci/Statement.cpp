// Preparing, binding, executing and fetching a statement.
#include "oci/Statement.h"

#include "base/CallError.h"
#include "base/OraError.h"
#include "base/ScopeExit.h"
#include "oci/ErrorRecords.h"
#include "oci/ServiceContext.h"
#include "plsql/PlsqlExecution.h"
#include "plsql/PlsqlSession.h"
#include "session/Connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace engine {
namespace {

constexpr int kInvalidIdentifier = 904;  // ORA-00904, also SQLite's unknown function

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

Statement::~Statement() {
    if (!connection_) return;
    auto hold = connection_->holdCalls();
    release();
}

// Lets go of everything compiled on connection_; the caller holds its calls off.
void Statement::release() {
    cursor_.close();
    execution_.abandon();
    block_.reset();
    compiled_ = SqliteStatement();
}

void Statement::getAttribute(ub4 attribute, void* value, ub4* size) const {
    switch (attribute) {
    case OCI_ATTR_STMT_TYPE:
        if (state_ == State::Unprepared) throw CallError(CallCode::NotPrepared);
        return putAttribute<ub2>(value, size, ociStatementType(translated_.kind));
    case OCI_ATTR_ROW_COUNT:
        return putAttribute<ub4>(value, size,
                                 translated_.kind == StatementKind::Select ? cursor_.rowCount()
                                 : changeRan_                             ? execution_.rowCount()
                                                                          : 0);
    case OCI_ATTR_PARAM_COUNT:
        if (state_ != State::Described && state_ != State::Executed) throw CallError(CallCode::NotExecuted);
        return putAttribute<ub4>(value, size, static_cast<ub4>(columnCount_));
    case OCI_ATTR_PREFETCH_ROWS: return putAttribute<ub4>(value, size, 0);
    default: Handle::getAttribute(attribute, value, size);
    }
}

void Statement::setAttribute(ub4 attribute, void* value, ub4 size) {
    // Rows are read from a local file on demand: there is nothing to prefetch.
    if (attribute != OCI_ATTR_PREFETCH_ROWS) Handle::setAttribute(attribute, value, size);
}

void Statement::prepare(const std::string& text) {
    if (connection_) {
        auto hold = connection_->holdCalls();
        release();
    }
    connection_.reset();
    selectList_.clear();
    bindsByKey_.clear();
    binds_.clear();
    defines_.clear();
    definesChanged_ = true;
    text_ = text;
    translated_ = translateSql(text);
    state_ = State::Prepared;
    changeRan_ = false;
}

BindHandle& Statement::bindByPosition(ub4 position, const BindSpec& spec) {
    if (state_ == State::Unprepared) throw CallError(CallCode::NotPrepared);
    if (position == 0 || position > translated_.placeholders.size()) throw OraError(OraCode::IllegalVariable);
    return bindParameters("#" + std::to_string(position), {static_cast<int>(position)}, spec);
}

BindHandle& Statement::bindByName(const std::string& name, const BindSpec& spec) {
    if (state_ == State::Unprepared) throw CallError(CallCode::NotPrepared);
    const std::string wanted = upperCase(!name.empty() && name[0] == ':' ? name.substr(1) : name);
    std::vector<int> parameters;
    for (std::size_t i = 0; i < translated_.placeholders.size(); ++i) {
        if (translated_.placeholders[i] == wanted) parameters.push_back(static_cast<int>(i + 1));
    }
    if (parameters.empty()) throw OraError(OraCode::IllegalVariable);
    return bindParameters(":" + wanted, std::move(parameters), spec);
}

BindHandle& Statement::bindParameters(const std::string& key, std::vector<int> parameters, const BindSpec& spec) {
    auto found = bindsByKey_.find(key);
    if (found != bindsByKey_.end()) {
        found->second->rebind(spec);
        return *found->second;
    }
    binds_.push_back(std::make_unique<BindHandle>(*this, spec, std::move(parameters)));
    bindsByKey_.emplace(key, binds_.back().get());
    return *binds_.back();
}

DefineHandle& Statement::define(ub4 position, const DefineSpec& spec) {
    if (state_ == State::Unprepared) throw CallError(CallCode::NotPrepared);
    if (position == 0) throw CallError(CallCode::InvalidArgument, "position");
    definesChanged_ = true;
    auto& slot = defines_[position];
    if (slot) {
        slot->redefine(spec);
    } else {
        slot = std::make_unique<DefineHandle>(*this, position, spec);
    }
    return *slot;
}

std::vector<BindHandle*> Statement::bindList() const {
    std::vector<BindHandle*> list;
    for (const auto& bind : binds_) list.push_back(bind.get());
    return list;
}

void Statement::checkAllBound() const {
    std::set<int> bound;
    for (const auto& bind : binds_) bound.insert(bind->parameters().begin(), bind->parameters().end());
    const int count = sqlite3_bind_parameter_count(compiled_.get());
    for (int parameter = 1; parameter <= count; ++parameter) {
        if (bound.count(parameter) == 0) throw CallError(CallCode::NotAllVariablesBound);
    }
}

void Statement::compile(const std::shared_ptr<Connection>& connection) {
    if (connection_ == connection && compiled_) return;
    if (connection_ && connection_ != connection) {
        auto hold = connection_->holdCalls();
        cursor_.close();
        compiled_ = SqliteStatement();
    }
    connection_ = connection;
    try {
        compiled_ = SqliteStatement(*connection, translated_.sql);
    } catch (const OraError& error) {
        // A stored function made by another session since this one began is
        // not yet known to its SQL.
        if (error.number() != kInvalidIdentifier) throw;
        PlsqlSession::of(*connection).registerFunctions();
        compiled_ = SqliteStatement(*connection, translated_.sql);
    }
    columnCount_ = sqlite3_column_count(compiled_.get());
    selectList_.clear();
}

sword Statement::execute(const ServiceContext& context, ub4 iterations, ub4 rowOffset, ub4 mode,
                         ErrorRecords& errors) {
    if (state_ == State::Unprepared) throw CallError(CallCode::NotPrepared);
    if (execution_.awaitingPiece() || fetchingInExecute_) return resumePieces(errors);
    std::shared_ptr<Connection> connection = context.connection();
    Connection::Call call(*connection);
    if (connection_ == connection) {
        cursor_.close();
        execution_.abandon();
    } else if (connection_ && block_) {
        // The block's statements were compiled on the other session.
        auto hold = connection_->holdCalls();
        block_.reset();
    }
    state_ = State::Prepared;
    changeRan_ = false;
    if (!translated_.sql.empty()) compile(connection);
    connection_ = connection;
    const sword status = run(iterations, rowOffset, mode, errors);
    if (status == OCI_SUCCESS && (mode & OCI_COMMIT_ON_SUCCESS)) connection_->commit();
    return status;
}

sword Statement::run(ub4 iterations, ub4 rowOffset, ub4 mode, ErrorRecords& errors) {
    if (translated_.error) throw *translated_.error;
    if (mode & OCI_DESCRIBE_ONLY) {
        state_ = State::Described;
        return OCI_SUCCESS;
    }
    if (translated_.command.kind == EngineCommandKind::Block) return runBlock(iterations, rowOffset);
    if (translated_.command.kind != EngineCommandKind::None) {
        const bool complete = runCommand();
        state_ = State::Executed;
        if (complete) return OCI_SUCCESS;
        const OraError warning(OraCode::CompiledWithErrors);
        errors.set(warning.number(), warning.what());
        return OCI_SUCCESS_WITH_INFO;
    }
    if (!compiled_) throw OraError(OraCode::InvalidSqlStatement);
    switch (translated_.kind) {
    case StatementKind::Select: return runQuery(iterations, rowOffset, errors);
    case StatementKind::Create:
    case StatementKind::Drop:
    case StatementKind::Alter: runDefinition(); return OCI_SUCCESS;
    default: return runChange(iterations, rowOffset);
    }
}

sword Statement::runQuery(ub4 iterations, ub4 rowOffset, ErrorRecords& errors) {
    checkAllBound();
    sqlite3_stmt* stmt = compiled_.get();
    sqlite3_reset(stmt);
    for (const auto& bind : binds_) bind->bindElement(stmt, rowOffset, true);
    cursor_.open(*connection_, stmt);
    definesChanged_ = true;
    applyDefines();
    state_ = State::Executed;
    if (iterations == 0) return OCI_SUCCESS;
    OnUnwind closeCursor([this] { cursor_.close(); });
    const sword status = cursor_.fetch(iterations);
    fetchingInExecute_ = status == OCI_NEED_DATA;
    return fetchStatus(status, errors);
}

void Statement::applyDefines() {
    if (!definesChanged_) return;
    std::vector<const DefineHandle*> byColumn(static_cast<std::size_t>(columnCount_), nullptr);
    for (const auto& [position, define] : defines_) {
        if (position > byColumn.size()) throw CallError(CallCode::NotInSelectList);
        byColumn[position - 1] = define.get();
    }
    cursor_.setDefines(byColumn);
    definesChanged_ = false;
}

sword Statement::runChange(ub4 iterations, ub4 rowOffset) {
    if (iterations == 0) throw CallError(CallCode::ZeroIterations);
    checkAllBound();
    connection_->beforeChange();
    changeRan_ = true;
    execution_.start(*connection_, compiled_.get(), bindList(), iterations, rowOffset);
    return resumeIterations();
}

// Runs (or goes on running) the iterations execution_ was started with.
sword Statement::resumeIterations() {
    OnUnwind abandon([this] { execution_.abandon(); });
    const sword status = execution_.resume();
    if (status == OCI_SUCCESS) state_ = State::Executed;
    return status;
}

void Statement::runDefinition() {
    // The server's DDL commits the session's open work first.
    connection_->beforeDdl();
    execution_.start(*connection_, compiled_.get(), {}, 1, 0);
    OnUnwind abandon([this] { execution_.abandon(); });
    execution_.resume();
    state_ = State::Executed;
}

// Carries out an engine command; false when a program was stored with
// compilation errors.
bool Statement::runCommand() {
    const EngineCommand& command = translated_.command;
    switch (command.kind) {
    case EngineCommandKind::CreateProgram: return PlsqlSession::of(*connection_).create(command);
    case EngineCommandKind::DropProgram: PlsqlSession::of(*connection_).drop(command); break;
    case EngineCommandKind::CreateSequence:
        connection_->beforeDdl();
        connection_->catalog().createSequence(command);
        break;
    case EngineCommandKind::DropSequence:
        connection_->beforeDdl();
        connection_->catalog().dropSequence(command.name);
        break;
    case EngineCommandKind::Commit: connection_->commit(); break;
    case EngineCommandKind::Rollback: connection_->rollback(); break;
    case EngineCommandKind::SetTransaction: connection_->startTransaction(command.transactionFlags); break;
    case EngineCommandKind::Block:
    case EngineCommandKind::None: break;
    }
    return true;
}

// The block runs once per iteration, each time with that iteration's elements
// (data-at-exec values gathered first, as for a change).
sword Statement::runBlock(ub4 iterations, ub4 rowOffset) {
    if (iterations == 0) throw CallError(CallCode::ZeroIterations);
    if (!block_) block_ = std::make_unique<PlsqlExecution>(*connection_, text_);
    const std::vector<BlockBind*> binds = occurrenceBinds();
    execution_.start(bindList(), iterations, rowOffset, [this, binds](ub4 element) {
        block_->run(element, binds);
        return ub4{0};
    });
    return resumeIterations();
}

// The bind of each placeholder occurrence (SQLite parameter i + 1); ORA-01008
// when one has none.
std::vector<BlockBind*> Statement::occurrenceBinds() const {
    std::vector<BlockBind*> byOccurrence(translated_.placeholders.size(), nullptr);
    for (const auto& bind : binds_) {
        for (int parameter : bind->parameters()) byOccurrence[static_cast<std::size_t>(parameter - 1)] = bind.get();
    }
    if (std::find(byOccurrence.begin(), byOccurrence.end(), nullptr) != byOccurrence.end()) {
        throw CallError(CallCode::NotAllVariablesBound);
    }
    return byOccurrence;
}

sword Statement::resumePieces(ErrorRecords& errors) {
    Connection::Call call(*connection_);
    if (execution_.awaitingPiece()) return resumeIterations();
    OnUnwind closeCursor([this] {
        cursor_.close();
        fetchingInExecute_ = false;
    });
    const sword status = cursor_.fetch(0);
    fetchingInExecute_ = status == OCI_NEED_DATA;
    return fetchStatus(status, errors);
}

sword Statement::fetch(ub4 rows, ub2 orientation, ErrorRecords& errors) {
    if (state_ != State::Executed) throw CallError(CallCode::NotExecuted);
    if (translated_.kind != StatementKind::Select || fetchingInExecute_) {
        throw CallError(CallCode::FetchOutOfSequence);
    }
    if (orientation != OCI_FETCH_NEXT && orientation != OCI_DEFAULT) {
        throw CallError(CallCode::InvalidArgument, "orientation");
    }
    Connection::Call call(*connection_);
    if (rows == 0) {
        cursor_.close();
        return OCI_SUCCESS;
    }
    OnUnwind closeCursor([this] { cursor_.close(); });
    if (!cursor_.awaitingPiece()) applyDefines();
    return fetchStatus(cursor_.fetch(rows), errors);
}

sword Statement::fetchStatus(sword status, ErrorRecords& errors) const {
    if (status == OCI_NEED_DATA) return status;
    if (cursor_.truncated()) {
        const CallError truncated(CallCode::FetchedTruncated);
        errors.set(truncated.number(), truncated.what());
        return OCI_SUCCESS_WITH_INFO;
    }
    if (status == OCI_NO_DATA) {
        const OraError noData(OraCode::NoDataFound);
        errors.set(noData.number(), noData.what());
    }
    return status;
}

const PieceRequest& Statement::pieceRequest() const {
    if (execution_.awaitingPiece()) return execution_.request();
    if (cursor_.awaitingPiece()) return cursor_.request();
    throw CallError(CallCode::FetchOutOfSequence);
}

void Statement::answerPiece(Handle& target, const void* buffer, ub4* length, ub1 piece, const void* indicator,
                            ub2* returnCode) {
    if (execution_.awaitingPiece() && target.type() == OCI_HTYPE_BIND) {
        execution_.answer(static_cast<BindHandle&>(target), buffer, length != nullptr ? *length : 0, piece,
                          indicator);
    } else if (cursor_.awaitingPiece() && target.type() == OCI_HTYPE_DEFINE) {
        cursor_.answer(target, const_cast<void*>(buffer), length, indicator, returnCode);
    } else {
        throw CallError(CallCode::FetchOutOfSequence);
    }
}

ParamDescriptor& Statement::selectItem(ub4 position) {
    if (state_ != State::Described && state_ != State::Executed) throw CallError(CallCode::NotExecuted);
    if (position == 0 || position > static_cast<ub4>(columnCount_)) throw CallError(CallCode::NoDescriptor);
    if (selectList_.empty()) {
        Connection::Call call(*connection_);
        for (int column = 0; column < columnCount_; ++column) {
            const ColumnDescription description =
                connection_->catalog().describeResultColumn(compiled_.get(), column, translated_);
            selectList_.push_back(ParamDescriptor::column(description, static_cast<ub2>(column + 1), true));
        }
    }
    return *selectList_[position - 1];
}

}  // namespace engine
