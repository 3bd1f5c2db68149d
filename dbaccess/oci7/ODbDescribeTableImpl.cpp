// Description of the columns of one table over the release-7 call interface.
#include "ODbDescribeTableImpl.h"

#include "ODbDescribeSqlImpl.h"
#include "RefCountPtr.h"

namespace Oracle {

ODbDescribeTableImpl::ODbDescribeTableImpl(ODbConnect& connection, const char* tableName)
    : connection_(&connection)
{
    const std::string query = selectAllFrom(tableName);
    const Utils::RefCountPtr<ODbDescribeSql> described(new ODbDescribeSqlImpl(*connection_, query.c_str()));
    getDescription() = described->getDescription();
    getNumcols() = described->getNumcols();
}

ODbDescribeTableImpl::~ODbDescribeTableImpl() = default;

} // namespace Oracle
