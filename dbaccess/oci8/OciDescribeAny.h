// One explicit describe of a named object: the describe handle is allocated
// and the object described in the constructor, the handle freed in the destructor.
#pragma once

#include <oci.h>

#include "OciHandle.h"
#include "OciParam.h"

namespace Oracle {

class ODbConnectImpl;

class OciDescribeAny {
public:
    // `objectType` is an OCI_PTYPE_* code; the name is used as given.
    OciDescribeAny(ODbConnectImpl& connection, const char* name, ub1 objectType);

    // The described object's parameter descriptor (OCI_ATTR_PARAM).
    OciParam object() const;

private:
    ODbConnectImpl& connection_;
    OciHandle<OCIDescribe, OCI_HTYPE_DESCRIBE> handle_;
};

} // namespace Oracle
