// One explicit describe of a named object.
#include "OciDescribeAny.h"

#include <cstring>

#include "ODbConnectImpl.h"
#include "OciLimits.h"

namespace Oracle {

OciDescribeAny::OciDescribeAny(ODbConnectImpl& connection, const char* name, ub1 objectType)
    : connection_(connection), handle_(connection.envHandle())
{
    connection_.check(nullptr)(OCIDescribeAny(
        connection_.serviceContext(), connection_.errorHandle(), const_cast<char*>(name),
        static_cast<ub4>(std::strlen(name)), OCI_OTYPE_NAME, OciLimits::DescribeInfoLevel, objectType,
        handle_.get()));
}

OciParam OciDescribeAny::object() const
{
    const OciParam describe(handle_.get(), OCI_HTYPE_DESCRIBE, connection_.errorHandle(),
                            connection_.check(nullptr));
    return describe.descriptor(OCI_ATTR_PARAM);
}

} // namespace Oracle
