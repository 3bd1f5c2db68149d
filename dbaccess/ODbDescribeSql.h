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
    // The kind found from the text alone, for a call interface that does not
    // report it: the first of the words SELECT, UPDATE, DELETE, INSERT, CREATE,
    // DROP, ALTER, BEGIN and DECLARE in the text, in any case, decides; words
    // inside literals, quoted identifiers and comments, and parts of longer
    // names, do not count. SqlDeclare when the text has none.
    static SQLKind kindFromText(const char* sql);

protected:
    // Throws "SQL statement must be valid" for a null or empty text.
    ODbDescribeSql(ODbConnect& connection, const char* sql);
    ~ODbDescribeSql() override;

    void setSqlKind(SQLKind kind);
    // Stores a select-list column under its position and a unique name: a
    // repeated name gets "_" and the running duplicate counter.
    void addColumn(ODbColumnDesc desc, int position);

private:
    std::vector<std::string> paramList_;
    SQLKind sqlKind_;
    int duplicates_; // next suffix for a repeated column name
};

} // namespace Oracle
