// The objects of one schema with the kind of each.
#include "ODbDescribeSchema.h"

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

const char* requireName(const char* name)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::ParameterNull, 0, nullptr);
    return name;
}

} // namespace

ODbDescribeSchema::ODbDescribeSchema(const char* schemaName) : schemaName_(requireName(schemaName)) {}

ODbDescribeSchema::~ODbDescribeSchema() = default;

std::vector<std::string> ODbDescribeSchema::getObjectList(ObjectType kind) const
{
    std::vector<std::string> names;
    for (const auto& object : objects_)
        if (kind == ObjAll || object.second == kind)
            names.push_back(object.first);
    return names;
}

std::map<std::string, ObjectType> ODbDescribeSchema::getObjectMap()
{
    return objects_;
}

const char* ODbDescribeSchema::getSchemaName() const
{
    return schemaName_.c_str();
}

void ODbDescribeSchema::addObject(const std::string& name, ObjectType kind)
{
    auto found = objects_.find(name);
    if (found == objects_.end())
        objects_.emplace(name, kind);
    else if (kind != ObjOther)
        found->second = kind;
}

} // namespace Oracle
