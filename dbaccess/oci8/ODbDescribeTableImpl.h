// Description of the columns of one table over the release-8 call interface.
#pragma once

#include "ODbDescribeTable.h"

namespace Oracle {

class ODbConnect;
class ODbConnectImpl;

class ODbDescribeTableImpl : public ODbDescribeTable {
public:
    // `tableName` exactly as the dictionary holds it (it is quoted).
    ODbDescribeTableImpl(ODbConnect& connection, const char* tableName);

protected:
    ~ODbDescribeTableImpl() override;

private:
    ODbConnectImpl* connection_; // not owned
};

} // namespace Oracle
