// Description of the columns of one view over the release-8 call interface.
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
