// The statement handle (OCI_HTYPE_STMT): one prepared SQL text with its binds,
// defines, select-list description and execution state.
//
// OCIStmtPrepare translates the text into SQLite's dialect (the kind and the
// placeholders are known from then on); the SQLite statement is compiled at
// the first execute, on that call's session, and kept for re-execution.
// Queries hand their rows to a QueryCursor, changes run through an
// ArrayExecution; engine commands (sequences, COMMIT, ROLLBACK) are carried
// out by the session, PL/SQL blocks by a PlsqlExecution. Binds, defines and select-list
// descriptors belong to the statement and die with it.
#pragma once

#include "oci/ArrayExecution.h"
#include "oci/BindHandle.h"
#include "oci/DefineHandle.h"
#include "oci/Handle.h"
#include "oci/ParamDescriptor.h"
#include "oci/QueryCursor.h"
#include "plsql/PlsqlExecution.h"
#include "session/SqliteStatement.h"
#include "sql/SqlDialect.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class Connection;
class ErrorRecords;
class ServiceContext;

class Statement : public Handle {
public:
    Statement() : Handle(OCI_HTYPE_STMT) {}
    ~Statement() override;

    void getAttribute(ub4 attribute, void* value, ub4* size) const override;
    void setAttribute(ub4 attribute, void* value, ub4 size) override;

    void prepare(const std::string& text);
    // Binds by position (1-based occurrence) or by name (case-insensitive,
    // with or without the leading colon); a second bind of the same
    // placeholder reuses its handle. ORA-01036 for a placeholder the
    // statement does not have.
    BindHandle& bindByPosition(ub4 position, const BindSpec& spec);
    BindHandle& bindByName(const std::string& name, const BindSpec& spec);
    DefineHandle& define(ub4 position, const DefineSpec& spec);

    sword execute(const ServiceContext& context, ub4 iterations, ub4 rowOffset, ub4 mode, ErrorRecords& errors);
    sword fetch(ub4 rows, ub2 orientation, ErrorRecords& errors);

    // OCIStmtGetPieceInfo: the pending piece request; ORA-01002 when none.
    const PieceRequest& pieceRequest() const;
    // OCIStmtSetPieceInfo for `target`, a bind or define of this statement.
    void answerPiece(Handle& target, const void* buffer, ub4* length, ub1 piece, const void* indicator,
                     ub2* returnCode);
    // OCIParamGet on the statement: select-list item `position` (1-based).
    ParamDescriptor& selectItem(ub4 position);

private:
    enum class State { Unprepared, Prepared, Described, Executed };

    BindHandle& bindParameters(const std::string& key, std::vector<int> parameters, const BindSpec& spec);
    void compile(const std::shared_ptr<Connection>& connection);
    void checkAllBound() const;
    std::vector<BindHandle*> bindList() const;
    void applyDefines();
    sword run(ub4 iterations, ub4 rowOffset, ub4 mode, ErrorRecords& errors);
    sword runQuery(ub4 iterations, ub4 rowOffset, ErrorRecords& errors);
    sword runChange(ub4 iterations, ub4 rowOffset);
    void runDefinition();
    bool runCommand();
    sword runBlock(ub4 iterations, ub4 rowOffset);
    std::vector<BlockBind*> occurrenceBinds() const;
    sword resumeIterations();
    void release();
    sword resumePieces(ErrorRecords& errors);
    sword fetchStatus(sword status, ErrorRecords& errors) const;

    TranslatedSql translated_;    // its SQLite form, kind and placeholders
    State state_ = State::Unprepared;
    std::vector<std::unique_ptr<BindHandle>> binds_;  // in order of first bind
    std::map<std::string, BindHandle*> bindsByKey_;   // ":NAME" or "#position" -> bind
    std::map<ub4, std::unique_ptr<DefineHandle>> defines_;  // by 1-based position
    std::shared_ptr<Connection> connection_;  // session of the last execute
    SqliteStatement compiled_;                // translated_.sql compiled on connection_
    int columnCount_ = 0;                     // select-list length of compiled_
    std::vector<std::unique_ptr<ParamDescriptor>> selectList_;  // built on first OCIParamGet
    QueryCursor cursor_;           // rows of an executed query
    ArrayExecution execution_;     // iterations of a change or a PL/SQL block
    std::unique_ptr<PlsqlExecution> block_;  // the PL/SQL block those iterations run, compiled on connection_
    std::string text_;                       // the prepared text
    bool fetchingInExecute_ = false;  // a query's execute-time fetch waits for a piece
    bool definesChanged_ = true;   // defines_ changed since the cursor last took them
    bool changeRan_ = false;       // the last execute ran a change: its rows are the row count
};

}  // namespace engine
