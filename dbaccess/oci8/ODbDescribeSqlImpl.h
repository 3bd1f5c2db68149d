// Description of one SQL text over the release-8 call interface: the
// statement kind and, for a query, its select list.
#pragma once

#include "ODbDescribeSql.h"

namespace Oracle {

class ODbConnect;
class ODbConnectImpl;

class ODbDescribeSqlImpl : public ODbDescribeSql {
public:
    // Describes completely; failures of the server name the SQL text.
    ODbDescribeSqlImpl(ODbConnect& connection, const char* sql);

protected:
    ~ODbDescribeSqlImpl() override;

private:
    void classify(const char* sql);
    void describeSelectList(const char* sql);

    ODbConnectImpl* connection_; // not owned
};

} // namespace Oracle
