// Description of one SQL text over the release-7 call interface.
#include "ODbDescribeSqlImpl.h"

#include <algorithm>

#include <ocidem.h>

#include "ODbConnectImpl.h"
#include "OciStatement.h"

namespace Oracle {

ODbDescribeSqlImpl::ODbDescribeSqlImpl(ODbConnect& connection, const char* sql)
    : ODbDescribeSql(connection, sql), connection_(&ODbConnectImpl::of(connection))
{
    setSqlKind(kindFromText(sql));
    if (getSqlKind() == SqlSelect)
        describeSelectList(sql);
}

ODbDescribeSqlImpl::~ODbDescribeSqlImpl() = default;

// Items are described at positions 1, 2, ... until the call interface answers
// that the position is past the list; any other failure is the statement's.
void ODbDescribeSqlImpl::describeSelectList(const char* sql)
{
    OciStatement statement(*connection_, sql);
    for (int position = 1;; ++position) {
        ODbColumnDesc desc;
        sb4 size = 0;
        sb2 type = 0;
        sb4 nameLength = ODbColumnDesc::NameCapacity - 1;
        sb4 displaySize = 0;
        sb2 precision = 0;
        sb2 scale = 0;
        sb2 nullable = 0;
        if (statement.check()(odescr(statement.get(), position, &size, &type, reinterpret_cast<sb1*>(desc.name),
                                     &nameLength, &displaySize, &precision, &scale, &nullable),
                              {VAR_NOT_IN_LIST}) != 0)
            return;
        const sb4 kept = nameLength < 0 ? 0 : std::min<sb4>(nameLength, ODbColumnDesc::NameCapacity - 1);
        desc.name[kept] = '\0';
        desc.nameLength = static_cast<unsigned int>(kept);
        desc.dataSize = size;
        desc.dataType = type;
        desc.precision = precision;
        desc.scale = scale;
        desc.nullable = nullable;
        addColumn(desc, position);
    }
}

} // namespace Oracle
