// A bind handle (OCI_HTYPE_BIND): one client buffer (or array of buffers) bound
// to the placeholders of one name or position. Owned by its statement.
//
// Element i of the arrays is at valuep + i * valueSkip (indicator, length and
// return code likewise with their skips), so plain arrays and arrays of
// structures (OCIBindArrayOfStruct) are read the same way. A data-at-exec bind
// has no buffer: its value arrives in pieces (OCIStmtSetPieceInfo) or from the
// client's callback (OCIBindDynamic) while the statement executes.
#pragma once

#include "base/ValueCodec.h"
#include "oci/ClientBuffers.h"
#include "oci/Handle.h"
#include "plsql/BlockBind.h"

#include <string>
#include <vector>

struct sqlite3_stmt;

namespace engine {

class Statement;

class BindHandle : public Handle, public BlockBind {
public:
    // `parameters` are the SQLite parameter numbers (1-based) this bind sets.
    BindHandle(Statement& statement, const BindSpec& spec, std::vector<int> parameters);

    Statement& statement() const { return statement_; }

    // Replaces the buffers (a second bind of the same placeholder).
    void rebind(const BindSpec& spec);
    void setSkips(ub4 value, ub4 indicator, ub4 length, ub4 returnCode);
    void setCallbacks(void* inContext, OCICallbackInBind in, void* outContext, OCICallbackOutBind out);

    const std::vector<int>& parameters() const { return parameters_; }
    bool dataAtExec() const { return (spec_.mode & OCI_DATA_AT_EXEC) != 0; }
    bool hasInCallback() const { return inCallback_ != nullptr; }

    // Binds element `iteration` to every parameter of this bind. `copy` asks
    // SQLite to copy the value (queries read it after the call returns).
    void bindElement(sqlite3_stmt* stmt, ub4 iteration, bool copy) const;
    // Binds element `iteration` to SQLite parameter `parameter` only.
    void bindValue(sqlite3_stmt* stmt, int parameter, ub4 iteration, bool copy) const;
    // Sets `target` to element `iteration`, as a parameter would be bound.
    void element(BindTarget& target, ub4 iteration, bool copy) const override;

    // Data-at-exec values, gathered per iteration.
    void startPieces();
    bool piecesComplete() const { return piecesComplete_; }
    bool piecesStarted() const { return piecesStarted_; }
    void addPiece(const void* data, ub4 length, ub1 piece, const void* indicator);
    // Asks the client's in-bind callback for the whole value of `iteration`.
    void pullFromCallback(ub4 iteration);

    // What a PL/SQL block hands back through this bind, converted to its
    // external type as a define converts a column.
    void convertOut(const ColumnValue& value, ConvertedElements& into) const override;
    void storeOut(const OutValue& value, ub4 iteration) const override;

    bool isTable() const override { return spec_.currentElements != nullptr; }
    ub4 tableLength() const override;
    void tableElement(BindTarget& target, ub4 index) override;
    void storeTable(const ConvertedElements& elements) override;

private:
    void gatheredElement(BindTarget& target) const;
    void storeThroughCallback(const OutValue& value, ub4 index);
    bool isNull(ub4 iteration) const;

    Statement& statement_;          // the owner
    BindSpec spec_;                 // the client's buffers
    std::vector<int> parameters_;   // SQLite parameters set by this bind
    const ValueCodec* codec_;       // conversion of spec_.type
    ub4 valueSkip_;                 // bytes between elements of value
    StatusSkips statusSkips_;       // bytes between elements of the status arrays
    void* inContext_ = nullptr;               // OCIBindDynamic in-bind context
    OCICallbackInBind inCallback_ = nullptr;  // OCIBindDynamic in-bind callback
    void* outContext_ = nullptr;              // kept for OUT binds of PL/SQL calls
    OCICallbackOutBind outCallback_ = nullptr;
    std::string gathered_;          // data-at-exec value of the current iteration
    bool gatheredNull_ = false;     // the client's indicator said NULL
    bool piecesStarted_ = false;    // a piece of the current iteration arrived
    bool piecesComplete_ = false;   // its last piece arrived
};

}  // namespace engine
