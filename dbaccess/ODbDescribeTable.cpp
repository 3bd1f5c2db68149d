// Description of the columns of one table.
#include "ODbDescribeTable.h"

namespace Oracle {

ODbDescribeTable::ODbDescribeTable() = default;

ODbDescribeTable::~ODbDescribeTable() = default;

} // namespace Oracle
