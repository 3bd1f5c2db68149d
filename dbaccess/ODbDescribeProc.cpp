// Description of the arguments of one stored procedure or function.
#include "ODbDescribeProc.h"

namespace Oracle {

ODbDescribeProc::ODbDescribeProc(ODbConnect&, const char*, const char*) : isProcedure_(false) {}

ODbDescribeProc::~ODbDescribeProc() = default;

bool ODbDescribeProc::isFunction() const
{
    return !isProcedure_;
}

void ODbDescribeProc::setProcedure(bool isProcedure)
{
    isProcedure_ = isProcedure;
}

} // namespace Oracle
