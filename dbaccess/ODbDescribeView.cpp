// Description of the columns of one view.
#include "ODbDescribeView.h"

namespace Oracle {

ODbDescribeView::ODbDescribeView(const char* viewName) : queryText_(selectAllFrom(viewName)) {}

ODbDescribeView::~ODbDescribeView() = default;

const char* ODbDescribeView::getQueryText() const
{
    return queryText_.c_str();
}

} // namespace Oracle
