// Description of the columns of one view, made by describing a query on it.
#pragma once

#include <string>

#include "ODbDescribeTv.h"
#include "VorDbApi.h"

namespace Oracle {

// Columns carry positions and unique names as a described query's do.
class VORDB_API ODbDescribeView : public ODbDescribeTv {
public:
    // "select * from " and the view name in double quotes.
    const char* getQueryText() const;

protected:
    explicit ODbDescribeView(const char* viewName);
    ~ODbDescribeView() override;

private:
    std::string queryText_;
};

} // namespace Oracle
