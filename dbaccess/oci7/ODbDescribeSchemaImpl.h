// The objects of the current user over the release-7 call interface, which
// has no schema describe: they are read from the user's object list.
#pragma once

#include "ODbDescribeSchema.h"

namespace Oracle {

class ODbConnect;

class ODbDescribeSchemaImpl : public ODbDescribeSchema {
public:
    // `schemaName` must be given, but the objects are those of the logged-on
    // user whatever it says.
    ODbDescribeSchemaImpl(ODbConnect& connection, const char* schemaName);

protected:
    ~ODbDescribeSchemaImpl() override;

private:
    ODbConnect* connection_; // not owned
};

} // namespace Oracle
