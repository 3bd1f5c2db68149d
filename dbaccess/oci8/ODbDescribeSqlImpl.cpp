// Description of one SQL text over the release-8 call interface.
#include "ODbDescribeSqlImpl.h"

#include "ODbConnectImpl.h"
#include "OciParam.h"
#include "OciStatement.h"

namespace Oracle {

ODbDescribeSqlImpl::ODbDescribeSqlImpl(ODbConnect& connection, const char* sql)
    : ODbDescribeSql(connection, sql), connection_(&ODbConnectImpl::of(connection))
{
    classify(sql);
    if (getSqlKind() == SqlSelect)
        describeSelectList(sql);
}

ODbDescribeSqlImpl::~ODbDescribeSqlImpl() = default;

void ODbDescribeSqlImpl::classify(const char* sql)
{
    const OciStatement statement(*connection_, sql);
    const OciParam attrs(statement.get(), OCI_HTYPE_STMT, statement.errorHandle(), statement.check());
    const ub2 type = attrs.get<ub2>(OCI_ATTR_STMT_TYPE);
    if (type >= SqlSelect && type <= SqlDeclare)
        setSqlKind(static_cast<SQLKind>(type));
}

void ODbDescribeSqlImpl::describeSelectList(const char* sql)
{
    const OciStatement statement(*connection_, sql);
    statement.check()(OCIStmtExecute(connection_->serviceContext(), statement.get(),
                                     statement.errorHandle(), 0, 0, nullptr, nullptr,
                                     OCI_DESCRIBE_ONLY));
    const OciParam selectList(statement.get(), OCI_HTYPE_STMT, statement.errorHandle(),
                              statement.check());
    const ub4 count = selectList.get<ub4>(OCI_ATTR_PARAM_COUNT);
    for (ub4 position = 1; position <= count; ++position)
        addColumn(selectList.at(position).column(OciParam::SelectListPrecision),
                  static_cast<int>(position));
}

} // namespace Oracle
