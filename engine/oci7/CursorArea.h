// The object behind a cursor data area: one statement handle of its session,
// with the binds, defines and piece transfers of the release-7 calls mapped
// onto the release-8 statement.
//
// The area's fields report each call: `ft` the statement's function type
// after a parse, `rpc` the rows processed (a query's rows fetched since its
// execute, a change's rows), `rc` the error number of a failure.
#pragma once

#include "base/CallError.h"
#include "oci/ClientBuffers.h"
#include "oci7/DataArea.h"
#include "oci7/LoginArea.h"

#include <map>
#include <memory>
#include <string>

namespace engine {

// One select-list item as odescr reports it.
struct SelectItem {
    sb4 size = 0;         // the column's maximum size in bytes
    sb2 type = 0;         // internal datatype code
    std::string name;     // the column's name as the server reports it
    sb4 displaySize = 0;  // characters needed to show any value
    sb2 precision = 0;
    sb2 scale = 0;
    sb2 nullable = 0;     // 1 when NULL values are allowed
};

// What ogetpi reports: the piece asked for and whose it is.
struct PieceInfo {
    ub1 piece = OCI_FIRST_PIECE;
    void* context = nullptr;  // the context pointer of the bind or define
    ub4 iteration = 0;
    ub4 index = 0;
};

// Bytes between the elements of an array of structures (0: packed).
struct ElementSkips {
    sb4 value = 0;
    sb4 indicator = 0;
    sb4 length = 0;
    sb4 returnCode = 0;
};

class CursorArea : public DataArea {
public:
    CursorArea(cda_def& fields, std::shared_ptr<LoginArea> session);
    ~CursorArea() override;

    static CallError notOpen() { return CallError(CallCode::InvalidCursor); }
    LoginArea& login() override { return *session_; }
    // A cursor's failure is also its session's: oerhms on the login area
    // gives its text too.
    void remember(const ErrorRecord& failure) override;

    // Prepares `text`; unless `deferred`, checks it at once, and runs a
    // definition (CREATE, DROP, ALTER) there and then, as the server does.
    void parse(const std::string& text, bool deferred);

    // obndrn: placeholder ":number" when the statement has one, else the
    // placeholder at that position.
    void bindNumber(ub4 number, const ClientBuffers& buffers);
    void bindName(const std::string& name, const BindSpec& spec);
    // An array (of structures, `skips` apart) or a PL/SQL table.
    void bindArray(const std::string& name, const BindSpec& spec, const ElementSkips& skips);
    // A LONG or LONG RAW value written in pieces; `context` is what ogetpi
    // hands back for it.
    void bindPieces(const std::string& name, void* context, const ClientBuffers& buffers);
    void define(ub4 position, const ClientBuffers& buffers);
    void definePieces(ub4 position, void* context, const ClientBuffers& buffers);

    // Runs the statement for elements rowOffset .. iterations - 1 of the bound
    // arrays; a query is opened, not fetched. ORA-03129/03130 when a piece is
    // needed.
    void execute(ub4 iterations, ub4 rowOffset);
    // Opens a query and fetches `rows` rows; `cancel` closes it afterwards.
    void executeAndFetch(ub4 rows, bool cancel);
    void fetch(ub4 rows);
    // Closes the open query; nothing when none is open.
    void cancel();
    // Select-list item `position` (1-based); ORA-01007 past the last.
    SelectItem describeItem(ub4 position);

    PieceInfo pendingPiece();
    // Hands the pending piece's buffer (or data) over; the interrupted call
    // is then repeated.
    void setPiece(ub1 piece, void* buffer, ub4* length);

private:
    // What a piecewise bind or define was given besides its handle.
    struct PieceTarget {
        ub4 handleType = OCI_HTYPE_BIND;
        void* context = nullptr;
        sb2* indicators = nullptr;
        ub2* returnCodes = nullptr;
    };
    struct PendingRequest {
        void* handle = nullptr;
        ub4 handleType = 0;
        ub1 direction = 0;
        PieceInfo info;
    };

    OCIBind* bindByName(const std::string& name, const BindSpec& spec);
    bool isDefinition() const;
    void checkStatus(sword status);
    void updateRowCount();
    void ensureDescribed();
    PendingRequest pendingRequest();

    std::shared_ptr<LoginArea> session_;  // kept alive while this cursor is
    OCIError* errors_ = nullptr;
    OCIStmt* statement_ = nullptr;
    ub2 statementType_ = 0;         // OCI_STMT_* of the parsed text, 0 before
    bool executed_ = false;         // executed since the last parse
    bool ranAtParse_ = false;       // a definition the parse ran; the next execute has nothing to do
    std::map<const void*, PieceTarget> pieceTargets_;  // by bind or define handle
};

}  // namespace engine
