// Description of the columns of one view.
#include "ODbDescribeView.h"

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

std::string viewQuery(const char* viewName)
{
    if (viewName == nullptr || *viewName == '\0')
        throw ODbException(Messages::ParameterNull, 0, nullptr);
    return std::string("select * from \"") + viewName + "\"";
}

} // namespace

ODbDescribeView::ODbDescribeView(const char* viewName) : queryText_(viewQuery(viewName)) {}

ODbDescribeView::~ODbDescribeView() = default;

const char* ODbDescribeView::getQueryText() const
{
    return queryText_.c_str();
}

} // namespace Oracle
