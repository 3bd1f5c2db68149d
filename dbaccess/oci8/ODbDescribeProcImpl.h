// Description of the arguments of one stored procedure or function over the
// release-8 call interface.
#pragma once

#include "ODbDescribeProc.h"
#include "OciParam.h"

namespace Oracle {

class ODbConnect;
class ODbConnectImpl;

class ODbDescribeProcImpl : public ODbDescribeProc {
public:
    // Describes completely: a standalone function or procedure named `name`,
    // or, with a package, the first of its subprograms of that name (any case).
    ODbDescribeProcImpl(ODbConnect& connection, const char* name, const char* package);

protected:
    ~ODbDescribeProcImpl() override;

private:
    void describeStandalone(const char* name);
    void describePackaged(const char* name, const char* package);
    // Procedure (true) or function (false); anything else is refused.
    static bool isProc(ub1 type);
    // The argument list of `object` into the tables (no parent) or into the
    // elements of `parent`, nested arguments recursively.
    void doProcess(const OciParam& object, ODbColumnDesc* parent);

    ODbConnectImpl* connection_; // not owned
};

} // namespace Oracle
