// The describe handle (OCI_HTYPE_DESCRIBE): OCIDescribeAny's result, a tree of
// parameter descriptors whose root OCI_ATTR_PARAM gives.
#pragma once

#include "oci/Handle.h"
#include "oci/ParamDescriptor.h"

#include <memory>
#include <string>

namespace engine {

class Connection;

class DescribeHandle : public Handle {
public:
    DescribeHandle() : Handle(OCI_HTYPE_DESCRIBE) {}

    void getAttribute(ub4 attribute, void* value, ub4* size) const override;

    // Describes the object the client names `name` (SQL syntax: quoted names
    // exact, others folded) as an object of type `ptype` (OCI_PTYPE_TABLE,
    // _VIEW, _SCHEMA, or _UNK for whichever it is). ORA-04043 when there is no
    // such object of that type.
    void describe(Connection& connection, const std::string& name, ub1 ptype);

private:
    std::unique_ptr<ParamDescriptor> describeSchema(Connection& connection, const std::string& name) const;
    std::unique_ptr<ParamDescriptor> describeProgram(Connection& connection, const std::string& name,
                                                     ub1 ptype) const;
    std::unique_ptr<ParamDescriptor> describeRelation(Connection& connection, const std::string& name,
                                                      ub1 ptype) const;

    std::unique_ptr<ParamDescriptor> root_;  // the last describe's result
};

}  // namespace engine
