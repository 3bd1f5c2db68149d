// A statement cursor over the release-8 call interface: one statement handle,
// binds, execution, and LONG values sent piece by piece.
#pragma once

#include <memory>

#include <oci.h>

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
    // An open cursor is closed; its handle freed.
    ~ODbCursorImpl() override;

    void open(const char* stmText) override;
    void close() override;
    void exec(ODbIndex iters) override;
    void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) override;
    void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) override;
    ODbIndex getRowProc() const override;
    ODbConnect& getConnection() const override;

protected:
    // What OCIStmtGetPieceInfo reports about the piece the call interface wants.
    struct PieceRequest {
        void* handle;    // the bind or define handle
        ub4 handleType;  // OCI_HTYPE_BIND or OCI_HTYPE_DEFINE
        ub1 direction;   // OCI_PARAM_IN or OCI_PARAM_OUT
        ub4 iteration;   // row the piece belongs to
        ub4 index;       // PL/SQL table element
        ub1 piece;       // OCI_FIRST_PIECE, OCI_NEXT_PIECE, ...
    };

    // Forgets everything the open statement held; the handle is freed by close.
    virtual void forgetState();
    OciStatement& statement() const;
    OciCheck check() const;
    ODbConnectImpl& connectionImpl() const { return *connection_; }
    ub4 readRowCount() const;
    void setResult(sword status);
    sword lastStatus() const { return lastStatus_; }

    PieceRequest getPieceInfo() const;
    // Appends a chunk for the request's row to `var`'s chain and hands it to
    // the call interface to fill.
    void receivePiece(const PieceRequest& request, ODbDynamicVariable& var);

private:
    void bindVariable(int pos, const char* name, ODbDynamicVariable& var, ODbIndex iters);
    OCIBind* bindCall(int pos, const char* name, ODbDynamicVariable& var);
    sword execute(ODbIndex iters);
    bool isBlock() const; // the statement is a PL/SQL block
    sword executePiecewise(ODbIndex iters);
    void sendPiece(const PieceRequest& request, ODbDynamicVariable& var, const PieceExchange::Transfer& transfer);

    ODbConnectImpl* connection_;               // not owned; supplies the handles
    std::unique_ptr<OciStatement> statement_;  // null while closed
    ub4 rowsProcessed_;                        // row count after the last execute or fetch
    sword lastStatus_;                         // status of the last successful execute or fetch
    ItemList<ODbDynamicVariable> longBinds_;   // LONG and LONG RAW variables bound here
    PieceExchange pieces_;                     // the chain side of the piecewise protocol
};

} // namespace Oracle
