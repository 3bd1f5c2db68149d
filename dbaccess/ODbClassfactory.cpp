// The only place where the back end's implementation classes are named.
#include "ODbClassfactory.h"

#include "ODbConnectImpl.h"
#include "ODbCursorImpl.h"
#include "ODbDescribeProcImpl.h"
#include "ODbDescribeSchemaImpl.h"
#include "ODbDescribeSqlImpl.h"
#include "ODbDescribeTableImpl.h"
#include "ODbDescribeViewImpl.h"
#include "ODbSelectCursorImpl.h"

namespace Oracle {

// A constructor that throws releases its memory before the exception reaches
// the caller, so each operation is a plain new handed to the pointer.

Utils::RefCountPtr<ODbConnect> ODbClassfactory::createODbConnect()
{
    return Utils::RefCountPtr<ODbConnect>(new ODbConnectImpl());
}

Utils::RefCountPtr<ODbConnect> ODbClassfactory::createODbConnect(const char* connStr)
{
    return Utils::RefCountPtr<ODbConnect>(new ODbConnectImpl(connStr));
}

Utils::RefCountPtr<ODbCursor> ODbClassfactory::createODbCursor(ODbConnect& connection)
{
    return Utils::RefCountPtr<ODbCursor>(new ODbCursorImpl(connection));
}

Utils::RefCountPtr<ODbSelectCursor> ODbClassfactory::createODbSelectCursor(ODbConnect& connection)
{
    return Utils::RefCountPtr<ODbSelectCursor>(new ODbSelectCursorImpl(connection));
}

Utils::RefCountPtr<ODbDescribeSql> ODbClassfactory::createODbDescribeSql(ODbConnect& connection,
                                                                        const char* sql)
{
    return Utils::RefCountPtr<ODbDescribeSql>(new ODbDescribeSqlImpl(connection, sql));
}

Utils::RefCountPtr<ODbDescribeProc> ODbClassfactory::createODbDescribeProc(ODbConnect& connection,
                                                                          const char* name, const char* package)
{
    return Utils::RefCountPtr<ODbDescribeProc>(new ODbDescribeProcImpl(connection, name, package));
}

Utils::RefCountPtr<ODbDescribeTable> ODbClassfactory::createODbDescribeTable(ODbConnect& connection,
                                                                            const char* tableName)
{
    return Utils::RefCountPtr<ODbDescribeTable>(new ODbDescribeTableImpl(connection, tableName));
}

Utils::RefCountPtr<ODbDescribeView> ODbClassfactory::createODbDescribeView(ODbConnect& connection,
                                                                          const char* viewName)
{
    return Utils::RefCountPtr<ODbDescribeView>(new ODbDescribeViewImpl(connection, viewName));
}

Utils::RefCountPtr<ODbDescribeSchema> ODbClassfactory::createODbDescribeSchema(ODbConnect& connection,
                                                                              const char* schemaName)
{
    return Utils::RefCountPtr<ODbDescribeSchema>(new ODbDescribeSchemaImpl(connection, schemaName));
}

} // namespace Oracle
