// Description of the columns of one table over the release-8 call interface.
#include "ODbDescribeTableImpl.h"

#include <string>

#include "ODbConnectImpl.h"
#include "OciDescribeAny.h"

namespace Oracle {

namespace {

std::string quotedName(const char* name)
{
    return std::string("\"") + name + "\"";
}

} // namespace

ODbDescribeTableImpl::ODbDescribeTableImpl(ODbConnect& connection, const char* tableName)
    : connection_(&ODbConnectImpl::of(connection))
{
    const OciDescribeAny describe(*connection_, quotedName(requiredName(tableName)).c_str(), OCI_PTYPE_TABLE);
    const OciParam table = describe.object();
    const ub2 count = table.get<ub2>(OCI_ATTR_NUM_COLS);
    const OciParam columns = table.descriptor(OCI_ATTR_LIST_COLUMNS);
    for (int position = 1; position <= count; ++position) {
        const ODbColumnDesc desc = columns.at(static_cast<ub4>(position)).column(OciParam::DescribePrecision);
        getDescription()[position] = desc;
        getNumcols()[desc.name] = position;
    }
}

ODbDescribeTableImpl::~ODbDescribeTableImpl() = default;

} // namespace Oracle
