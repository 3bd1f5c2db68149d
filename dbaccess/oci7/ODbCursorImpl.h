// A statement cursor over the release-7 call interface: one cursor data area,
// binds, execution, and LONG values sent piece by piece.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ociapr.h>

#include "ItemList.h"
#include "ODbCursor.h"
#include "OciCheck.h"
#include "PieceExchange.h"

namespace Oracle {

class ODbConnectImpl;
class OciStatement;

class ODbCursorImpl : public ODbCursor {
public:
    explicit ODbCursorImpl(ODbConnect& connection);
    // An open cursor is closed.
    ~ODbCursorImpl() override;

    void open(const char* stmText) override;
    void close() override;
    void exec(ODbIndex iters) override;
    void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) override;
    void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) override;
    ODbIndex getRowProc() const override;
    ODbConnect& getConnection() const override;

protected:
    // Forgets everything the open statement held; the area is closed by close.
    virtual void forgetState();
    OciStatement& statement() const;
    cda_def* area() const;
    OciCheck check() const;
    // Records the outcome of an execute or fetch: 0, or the end-of-rows code.
    void setResult(ub2 result);
    ub2 lastResult() const { return lastResult_; }
    // A LONG or LONG RAW variable whose pieces the call interface may ask for
    // with the variable as its context.
    void addPieceVariable(ODbDynamicVariable& var) { pieceVariables_.add(&var); }
    // Runs `call` (an execute or fetch of this cursor), serving the pieces it
    // asks for until it completes. Returns 0, or the end-of-rows code when
    // `endAccepted`.
    ub2 runPiecewise(const std::function<sword()>& call, bool endAccepted);

private:
    // A PL/SQL table bound by name; bound again before every execute, as its
    // buffer may have been resized since.
    struct TableBind {
        std::string name;
        ODbDynamicVariable* var;
        ODbIndex sizeBefore; // the table's size before the last execute
    };

    void bindVariable(const std::string& name, ODbDynamicVariable& var);
    void bindLong(const std::string& name, ODbDynamicVariable& var);
    void bindArray(const std::string& name, ODbDynamicVariable& var, ub4 maxElements, ub4* curElements);
    void bindTable(const TableBind& table, ub4 maxElements);
    // The name of the placeholder at 1-based `pos`, with its colon.
    std::string placeholderAt(int pos) const;
    ub2 execute(ODbIndex iters);
    bool isBlock() const; // the statement is a PL/SQL block
    void prepareTables();
    void settleTables(bool executed);
    void exchangePiece(bool in);
    ODbDynamicVariable& pieceVariable(const void* context) const;

    ODbConnectImpl* connection_;                   // not owned
    std::unique_ptr<OciStatement> statement_;      // null while closed
    ODbIndex rowsProcessed_;                       // row count after the last execute or fetch
    ub2 lastResult_;                               // 0 or the end-of-rows code of the last execute or fetch
    ItemList<ODbDynamicVariable> pieceVariables_;  // LONG and LONG RAW variables bound or defined here
    std::vector<TableBind> tables_;                // PL/SQL tables bound here
    PieceExchange pieces_;                         // the chain side of the piecewise protocol
};

} // namespace Oracle
