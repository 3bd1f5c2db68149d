// One explicit describe of a named object.
#include "OciDescribeAny.h"

#include <cstring>

#include "ODbConnectImpl.h"

namespace Oracle {

OciDescribeAny::OciDescribeAny(ODbConnectImpl& connection, const char* name, ub1 objectType, ub1 infoLevel)
    : error_(connection.envHandle()), handle_(connection.envHandle())
{
    check()(OCIDescribeAny(
        connection.serviceContext(), error_.get(), const_cast<char*>(name),
        static_cast<ub4>(std::strlen(name)), OCI_OTYPE_NAME, infoLevel, objectType,
        handle_.get()));
}

OciParam OciDescribeAny::object() const
{
    const OciParam describe(handle_.get(), OCI_HTYPE_DESCRIBE, error_.get(), check());
    return describe.descriptor(OCI_ATTR_PARAM);
}

OciCheck OciDescribeAny::check() const
{
    return OciCheck(error_.get(), OCI_HTYPE_ERROR, nullptr);
}

} // namespace Oracle
