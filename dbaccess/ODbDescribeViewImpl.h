// Description of the columns of one view, over either call interface: the
// back end describes the query on it.
#pragma once

#include "ODbDescribeView.h"

namespace Oracle {

class ODbConnect;

class ODbDescribeViewImpl : public ODbDescribeView {
public:
    ODbDescribeViewImpl(ODbConnect& connection, const char* viewName);

protected:
    ~ODbDescribeViewImpl() override;

private:
    ODbConnect* connection_; // not owned
};

} // namespace Oracle
