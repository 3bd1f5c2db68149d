// The objects of one schema over the release-8 call interface.
#include "ODbDescribeSchemaImpl.h"

#include "ODbConnectImpl.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"
#include "OciDescribeAny.h"

namespace Oracle {

namespace {

// Object kind by the call interface's parameter type; types of other kinds
// (object types, columns, ...) do not belong in a schema's object list.
ObjectType objectType(ub1 ptype)
{
    switch (ptype) {
    case OCI_PTYPE_UNK: return ObjOther;
    case OCI_PTYPE_TABLE: return ObjTable;
    case OCI_PTYPE_VIEW: return ObjView;
    case OCI_PTYPE_PROC: return ObjProcedure;
    case OCI_PTYPE_FUNC: return ObjFunction;
    case OCI_PTYPE_PKG: return ObjPackage;
    case OCI_PTYPE_SYN: return ObjSynonym;
    case OCI_PTYPE_SEQ: return ObjSequence;
    default: throw ODbException(Messages::InternalDescribe, 0, nullptr);
    }
}

// Longest object name the dictionary holds.
constexpr std::size_t MaxObjectName = 240;

} // namespace

ODbDescribeSchemaImpl::ODbDescribeSchemaImpl(ODbConnect& connection, const char* schemaName)
    : ODbDescribeSchema(schemaName), connection_(&ODbConnectImpl::of(connection))
{
    const OciDescribeAny describe(*connection_, getSchemaName(), OCI_PTYPE_SCHEMA);
    const OciParam objects = describe.object().descriptor(OCI_ATTR_LIST_OBJECTS);
    const ub2 count = objects.get<ub2>(OCI_ATTR_NUM_PARAMS);
    for (ub4 index = 0; index < count; ++index) {
        const OciParam object = objects.at(index);
        const ObjectType kind = objectType(object.get<ub1>(OCI_ATTR_PTYPE));
        addObject(object.text(OCI_ATTR_OBJ_NAME, MaxObjectName), kind);
    }
}

ODbDescribeSchemaImpl::~ODbDescribeSchemaImpl() = default;

} // namespace Oracle
