// One explicit describe of a named object: the describe handle is allocated
// and the object described in the constructor, the handle freed in the destructor.
// Its error handle is its own, as describes may run beside other calls of the
// same connection on other threads.
#pragma once

#include <oci.h>

#include "OciHandle.h"
#include "OciLimits.h"
#include "OciParam.h"

namespace Oracle {

class ODbConnectImpl;

class OciDescribeAny {
public:
    // `objectType` is an OCI_PTYPE_* code; the name is used as given.
    OciDescribeAny(ODbConnectImpl& connection, const char* name, ub1 objectType,
                   ub1 infoLevel = OciLimits::DescribeInfoLevel);

    // The described object's parameter descriptor (OCI_ATTR_PARAM).
    OciParam object() const;

private:
    OciCheck check() const;

    OciHandle<OCIError, OCI_HTYPE_ERROR> error_;
    OciHandle<OCIDescribe, OCI_HTYPE_DESCRIBE> handle_;
};

} // namespace Oracle
