// The statement text of a query with its description, so that one
// description can serve several queries.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ODbColumnDesc.h"
#include "SQLKind.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;

class VORDB_API ODbQueryDescrObj {
public:
    // Empty: no text, no columns, no placeholders.
    ODbQueryDescrObj();
    // Describes `sql` on the connection. With `keepText` the caller's text is
    // used (it must outlive this object); otherwise a copy is kept.
    ODbQueryDescrObj(ODbConnect& connection, const char* sql, bool keepText);
    ODbQueryDescrObj(const ODbQueryDescrObj& other);
    ODbQueryDescrObj& operator=(const ODbQueryDescrObj& other);
    virtual ~ODbQueryDescrObj();

    // Replaces the text: the pointer itself when the text is kept, else a copy.
    virtual void setSql(const char* sql);
    // The statement text (empty when there is none).
    const char* getSql() const;
    bool isSelectStatement() const;
    SQLKind getSqlKind() const;
    // The column at 1-based `position`; "Query result set column position does
    // not match its name" when there is none.
    const ODbColumnDesc& getColumnDescr(int position) const;
    // The position of the column named exactly `name`; an ODbException when
    // there is none.
    int getFieldName(const char* name) const;
    const std::map<int, ODbColumnDesc>& getDescriptiveMap() const;
    const std::map<std::string, int>& getFieldNamesMap() const;
    const std::vector<std::string>& getParamList() const;

private:
    std::string sqlCopy_;                        // the text when not kept
    const char* callerSql_;                      // the caller's text when kept
    bool keepText_;
    std::map<int, ODbColumnDesc> columns_;       // by 1-based position
    std::map<std::string, int> positions_;       // by unique column name
    std::vector<std::string> params_;            // placeholder names in order
    SQLKind kind_;
};

} // namespace Oracle
