// One SQL statement of any kind on a connection: described first, then given
// a row buffer of the fetch size per result column and one bind variable per
// placeholder, with typed accessors for fields and parameters.
#pragma once

#include <memory>

#include "ODbConnectBase.h"
#include "ODbData.h"
#include "ODbMap.h"
#include "ODbParam.h"
#include "ODbRow.h"
#include "ODbSqlBind.h"
#include "RefCountPtr.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbCursor;
class ODbSelectCursor;
class ODbQueryDescrObj;

// The query owns its column and parameter variables; the accessors it hands
// out are one object each, re-pointed by every call. It must not outlive its
// connection. Parameters must be typed and set before the first exec or next.
class VORDB_API ODbQuery : public ODbMap, public ODbConnectBase {
public:
    explicit ODbQuery(ODbConnect& connection);
    ODbQuery(const ODbQuery&) = delete;
    ODbQuery& operator=(const ODbQuery&) = delete;
    ~ODbQuery() override;

    // Describes and prepares `sql`; with `keepText` the caller's text is used
    // and must outlive the open state.
    void open(const char* sql, bool keepText = false);
    // Prepares from a description the caller keeps alive while the query is open.
    void open(const ODbQueryDescrObj& description);
    // Closes an open query and opens `sql`.
    ODbQuery& operator<<(const char* sql);
    void close();
    // Starts a query over (the next next() executes again); after the query
    // was moved to another connection, prepares it there.
    void reset();
    void cancel();

    // Runs a statement that is not a query `iters` times over the bound arrays.
    void exec(ODbSignedIndex iters = 1);
    // The next row of a query; the first call executes it. False at the end.
    bool next();
    // Reads a query's first row; true when it has no second row.
    bool getOne();

    // The current row's value of 1-based column `position` (element 0 before
    // the first row).
    ODbData& fieldByPos(int position);
    // The same for the column named exactly `name` (as described: upper case
    // for unquoted names).
    ODbData& fieldByName(const char* name);
    // A copy of the current row that owns its variables.
    ODbRow<ODbData> getRow();
    int getColumnCount();
    char* getColumnName(int position);

    // The parameter bound at `position` (":1"); for a query, a non-empty
    // `column` first types it like that result column.
    ODbParam& paramByPos(int position, const char* column = nullptr);
    // The first parameter named `name`, without regard to case.
    ODbParam& paramByName(const char* name, const char* column = nullptr);
    // The parameter at 1-based `index` in placeholder order.
    ODbParam& getParam(int index);
    int getParamCount();

    // Rows fetched so far (query) or processed by the last exec.
    ODbIndex getRowProc();
    bool isSelStmt();
    bool isOpen();
    const ODbQueryDescrObj& getDescrObj();

private:
    void start(const ODbQueryDescrObj& description);
    void release();
    void initRow();
    void prepare();
    void bindVar(ODbIndex iters);
    void requireOpen() const;
    void requireSelect() const;
    void typeLikeColumn(ODbBindVariable& var, const char* column);
    ODbIndex currentRow() const;

    bool open_;
    bool bound_;                                       // parameters bound to the current cursor
    ODbSqlBind<ODbParam> binder_;                      // parameter variables (owned)
    ODbRow<ODbData> row_;                              // column variables (owned)
    Utils::RefCountPtr<ODbCursor> cursor_;             // for statements that are not queries
    Utils::RefCountPtr<ODbSelectCursor> selectCursor_; // for queries
    std::unique_ptr<ODbQueryDescrObj> ownDescription_; // the description when the query made it
    const ODbQueryDescrObj* description_;              // the description in use; null when closed
};

} // namespace Oracle
