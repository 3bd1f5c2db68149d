// Description of the arguments of one stored procedure or function over the
// release-7 call interface: one row per argument and per nested field.
#pragma once

#include <cstddef>

#include "ODbDescribeProc.h"

namespace Oracle {

class ODbConnect;
class ODbConnectImpl;
struct ProcedureRows;

class ODbDescribeProcImpl : public ODbDescribeProc {
public:
    // Describes completely: a standalone function or procedure named `name`,
    // or, with a package, its first subprogram of that name.
    ODbDescribeProcImpl(ODbConnect& connection, const char* name, const char* package);

protected:
    ~ODbDescribeProcImpl() override;

private:
    // The rows of the first overload, starting at `row`, into the tables (no
    // parent) or into the elements of `parent`; returns the first row past
    // them: the next row of a lower level, or the end.
    std::size_t doProcess(const ProcedureRows& rows, std::size_t row, ODbColumnDesc* parent);

    ODbConnectImpl* connection_; // not owned
};

} // namespace Oracle
