// Description of the columns of one table.
#pragma once

#include "ODbDescribeTv.h"
#include "VorDbApi.h"

namespace Oracle {

// The name is taken exactly as written (as if double-quoted), so an unquoted
// table is described by its upper-case dictionary name.
class VORDB_API ODbDescribeTable : public ODbDescribeTv {
protected:
    ODbDescribeTable();
    ~ODbDescribeTable() override;
};

} // namespace Oracle
