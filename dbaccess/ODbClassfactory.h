// The only place where the back end's implementation classes are named: callers
// receive reference-counted pointers to the abstract interfaces.
#pragma once

#include "RefCountPtr.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbCursor;
class ODbSelectCursor;
class ODbDescribeSql;
class ODbDescribeProc;
class ODbDescribeTable;
class ODbDescribeView;
class ODbDescribeSchema;

// Static operations only. Each creates an implementation object and returns a
// Utils::RefCountPtr of its interface holding the only reference.
class VORDB_API ODbClassfactory {
public:
    ODbClassfactory() = delete;

    // A connection that is not logged on.
    static Utils::RefCountPtr<ODbConnect> createODbConnect();
    // A connection logged on with connStr; a failed logon throws and returns nothing.
    static Utils::RefCountPtr<ODbConnect> createODbConnect(const char* connStr);
    static Utils::RefCountPtr<ODbCursor> createODbCursor(ODbConnect& connection);
    static Utils::RefCountPtr<ODbSelectCursor> createODbSelectCursor(ODbConnect& connection);
    // Describes are complete when returned; they must not outlive the connection.
    static Utils::RefCountPtr<ODbDescribeSql> createODbDescribeSql(ODbConnect& connection, const char* sql);
    // `package` null or empty for a standalone procedure or function.
    static Utils::RefCountPtr<ODbDescribeProc> createODbDescribeProc(ODbConnect& connection, const char* name,
                                                                     const char* package);
    static Utils::RefCountPtr<ODbDescribeTable> createODbDescribeTable(ODbConnect& connection,
                                                                       const char* tableName);
    static Utils::RefCountPtr<ODbDescribeView> createODbDescribeView(ODbConnect& connection,
                                                                     const char* viewName);
    static Utils::RefCountPtr<ODbDescribeSchema> createODbDescribeSchema(ODbConnect& connection,
                                                                         const char* schemaName);
};

} // namespace Oracle
