// Description of one SQL text: its kind, its placeholders and, for a query,
// its select list. The placeholder scan is done here; the back end adds the
// classification and the select-list description.
#pragma once

#include <string>
#include <vector>

#include "ODbDescribeTv.h"
#include "SQLKind.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;

class VORDB_API ODbDescribeSql : public ODbDescribeTv {
public:
    // Placeholder names in order of appearance, duplicates kept.
    const std::vector<std::string>& getParamList() const;
    // SqlUnknown until the back end has classified the statement.
    SQLKind getSqlKind();

    // The placeholders of an SQL text: a ":" followed by letters, digits or "_"
    // names one (":1" gives "1"; ":=" gives none). Colons inside single-quoted
    // literals, double-quoted identifiers, "--" comments and "/* */" comments
    // are text, not placeholders.
    static std::vector<std::string> scanPlaceholders(const char* sql);

protected:
    ODbDescribeSql(ODbConnect& connection, const char* sql);
    ~ODbDescribeSql() override;

    void setSqlKind(SQLKind kind);

private:
    std::vector<std::string> paramList_;
    SQLKind sqlKind_;
};

} // namespace Oracle
