// The objects of the current user over the release-7 call interface.
#include "ODbDescribeSchemaImpl.h"

#include <string>

#include "ODbQuery.h"

namespace Oracle {

namespace {

constexpr const char* ObjectsQuery = "select OBJECT_NAME, OBJECT_TYPE from USER_OBJECTS";

// Object kind by the dictionary's type text.
struct KindName {
    const char* type;
    ObjectType kind;
};
constexpr KindName KindNames[] = {
    {"TABLE", ObjTable},       {"VIEW", ObjView},          {"PROCEDURE", ObjProcedure},
    {"FUNCTION", ObjFunction}, {"PACKAGE", ObjPackage},    {"PACKAGE BODY", ObjPackage},
    {"SEQUENCE", ObjSequence}, {"SYNONYM", ObjSynonym},
};

ObjectType objectType(const std::string& type)
{
    for (const KindName& entry : KindNames)
        if (type == entry.type)
            return entry.kind;
    return ObjOther;
}

} // namespace

ODbDescribeSchemaImpl::ODbDescribeSchemaImpl(ODbConnect& connection, const char* schemaName)
    : ODbDescribeSchema(schemaName), connection_(&connection)
{
    ODbQuery objects(*connection_);
    objects.open(ObjectsQuery, true);
    while (objects.next())
        addObject(objects.fieldByPos(1).getString(), objectType(objects.fieldByPos(2).getString()));
}

ODbDescribeSchemaImpl::~ODbDescribeSchemaImpl() = default;

} // namespace Oracle
