// A define handle (OCI_HTYPE_DEFINE): the client buffers that receive one column
// of a query's rows. Owned by its statement. Row i of a fetch batch goes to
// element i (valuep + i * value_sz; indicator, length, return code likewise).
// A dynamic-fetch define (OCI_DYNAMIC_FETCH) has no buffer: each value is
// handed over in pieces into buffers the client supplies on request, and its
// indicator and return code go where OCIStmtSetPieceInfo points, never into
// the arrays given at define time (which may be shorter than a batch).
#pragma once

#include "base/ValueCodec.h"
#include "oci/ClientBuffers.h"
#include "oci/Handle.h"

namespace engine {

class Statement;

class DefineHandle : public Handle {
public:
    DefineHandle(Statement& statement, ub4 position, const DefineSpec& spec);

    Statement& statement() const { return statement_; }

    void redefine(const DefineSpec& spec);
    ub4 position() const { return position_; }
    bool dynamic() const { return (spec_.mode & OCI_DYNAMIC_FETCH) != 0; }

    // Moves `value` (this define's column of the current row) into element
    // `row`; true when the value was truncated. ORA-01405 for a NULL without
    // an indicator.
    bool fetchInto(const ColumnValue& value, ub4 row) const;

private:

    Statement& statement_;     // the owner
    ub4 position_;             // 1-based select-list position
    DefineSpec spec_;          // the client's buffers
    const ValueCodec* codec_;  // conversion to spec_.type
};

}  // namespace engine
