// Description of the columns of one table over the release-7 call interface,
// which has no table describe: the query on the table is described instead.
#pragma once

#include "ODbDescribeTable.h"

namespace Oracle {

class ODbConnect;

// Columns carry positions and unique names as a described query's do.
class ODbDescribeTableImpl : public ODbDescribeTable {
public:
    // `tableName` exactly as the dictionary holds it (it is quoted).
    ODbDescribeTableImpl(ODbConnect& connection, const char* tableName);

protected:
    ~ODbDescribeTableImpl() override;

private:
    ODbConnect* connection_; // not owned
};

} // namespace Oracle
