// Description of the arguments of one stored procedure or function, standalone
// or in a package, in the result shape of the other describes.
#pragma once

#include "ODbDescribeTv.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;

// Arguments are keyed by position: a function's return value is at 0 (with an
// empty name) and its arguments follow from 1; a procedure's arguments start
// at 1. The nested arguments of a record or PL/SQL table argument are in its
// elements list, not in the tables.
class VORDB_API ODbDescribeProc : public ODbDescribeTv {
public:
    // True for a function, false for a procedure.
    bool isFunction() const;

protected:
    // `name` is the procedure or function, `package` its package (null or
    // empty for a standalone one); the back end describes them.
    ODbDescribeProc(ODbConnect& connection, const char* name, const char* package);
    ~ODbDescribeProc() override;

    void setProcedure(bool isProcedure);

private:
    bool isProcedure_; // false until the back end has described a procedure
};

} // namespace Oracle
