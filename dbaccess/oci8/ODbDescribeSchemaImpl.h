// The objects of one schema over the release-8 call interface.
#pragma once

#include "ODbDescribeSchema.h"

namespace Oracle {

class ODbConnect;
class ODbConnectImpl;

class ODbDescribeSchemaImpl : public ODbDescribeSchema {
public:
    ODbDescribeSchemaImpl(ODbConnect& connection, const char* schemaName);

protected:
    ~ODbDescribeSchemaImpl() override;

private:
    ODbConnectImpl* connection_; // not owned
};

} // namespace Oracle
