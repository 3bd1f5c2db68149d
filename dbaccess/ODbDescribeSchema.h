// The objects of one schema with the kind of each.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ObjectType.h"
#include "RefCounted.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbDescribeSchema : public virtual Utils::RefCounted {
public:
    // Names of the objects of `kind` (every object for ObjAll), in name order.
    std::vector<std::string> getObjectList(ObjectType kind) const;
    // A copy of the table from object name to kind.
    std::map<std::string, ObjectType> getObjectMap();
    const char* getSchemaName() const;

protected:
    // Throws "Parameter can not be null" for a null or empty name.
    explicit ODbDescribeSchema(const char* schemaName);
    ~ODbDescribeSchema() override;

    // Enters an object: an unknown kind never replaces a known one.
    void addObject(const std::string& name, ObjectType kind);

private:
    std::string schemaName_;
    std::map<std::string, ObjectType> objects_;
};

} // namespace Oracle
