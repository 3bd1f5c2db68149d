// The statement text of a query with its description.
#include "ODbQueryDescrObj.h"

#include "ODbClassfactory.h"
#include "ODbDescribeSql.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbQueryDescrObj::ODbQueryDescrObj() : callerSql_(nullptr), keepText_(false), kind_(SqlUnknown) {}

ODbQueryDescrObj::ODbQueryDescrObj(ODbConnect& connection, const char* sql, bool keepText)
    : callerSql_(nullptr), keepText_(keepText), kind_(SqlUnknown)
{
    const Utils::RefCountPtr<ODbDescribeSql> describe = ODbClassfactory::createODbDescribeSql(connection, sql);
    kind_ = describe->getSqlKind();
    params_ = describe->getParamList();
    columns_ = describe->getDescription();
    positions_ = describe->getNumcols();
    setSql(sql);
}

ODbQueryDescrObj::ODbQueryDescrObj(const ODbQueryDescrObj& other) = default;

ODbQueryDescrObj& ODbQueryDescrObj::operator=(const ODbQueryDescrObj& other) = default;

ODbQueryDescrObj::~ODbQueryDescrObj() = default;

void ODbQueryDescrObj::setSql(const char* sql)
{
    if (keepText_)
        callerSql_ = sql;
    else
        sqlCopy_ = sql != nullptr ? sql : "";
}

const char* ODbQueryDescrObj::getSql() const
{
    if (keepText_)
        return callerSql_ != nullptr ? callerSql_ : "";
    return sqlCopy_.c_str();
}

bool ODbQueryDescrObj::isSelectStatement() const
{
    return kind_ == SqlSelect;
}

SQLKind ODbQueryDescrObj::getSqlKind() const
{
    return kind_;
}

const ODbColumnDesc& ODbQueryDescrObj::getColumnDescr(int position) const
{
    const auto found = columns_.find(position);
    if (found == columns_.end())
        throw ODbException(Messages::ColumnNameMismatch, 0, nullptr);
    return found->second;
}

int ODbQueryDescrObj::getFieldName(const char* name) const
{
    const auto found = name != nullptr ? positions_.find(name) : positions_.end();
    if (found == positions_.end())
        throw ODbException(Messages::NoSuchColumn, 0, nullptr);
    return found->second;
}

const std::map<int, ODbColumnDesc>& ODbQueryDescrObj::getDescriptiveMap() const
{
    return columns_;
}

const std::map<std::string, int>& ODbQueryDescrObj::getFieldNamesMap() const
{
    return positions_;
}

const std::vector<std::string>& ODbQueryDescrObj::getParamList() const
{
    return params_;
}

} // namespace Oracle
