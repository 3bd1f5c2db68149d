// Description of the columns of one view, over either call interface: the
// back end describes the query on it.
#include "ODbDescribeViewImpl.h"

#include "ODbDescribeSqlImpl.h"
#include "RefCountPtr.h"

namespace Oracle {

ODbDescribeViewImpl::ODbDescribeViewImpl(ODbConnect& connection, const char* viewName)
    : ODbDescribeView(viewName), connection_(&connection)
{
    const Utils::RefCountPtr<ODbDescribeSql> query(new ODbDescribeSqlImpl(*connection_, getQueryText()));
    getDescription() = query->getDescription();
    getNumcols() = query->getNumcols();
}

ODbDescribeViewImpl::~ODbDescribeViewImpl() = default;

} // namespace Oracle
