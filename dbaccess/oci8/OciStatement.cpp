// A prepared statement handle of one connection.
#include "OciStatement.h"

#include <cstring>

#include "ODbConnectImpl.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

OciStatement::OciStatement(ODbConnectImpl& connection, const char* text)
    : connection_(connection),
      text_(text),
      sessionId_(connection.sessionId()),
      error_(connection.envHandle(), text),
      handle_(connection.envHandle(), text)
{
    check()(OCIStmtPrepare(handle_.get(), errorHandle(),
                           reinterpret_cast<const OraText*>(text_),
                           static_cast<ub4>(std::strlen(text_)), OCI_NTV_SYNTAX, OCI_DEFAULT));
}

OciStatement::~OciStatement()
{
    if (stale())
        abandonHandles();
}

OCIStmt* OciStatement::get() const
{
    if (stale())
        throw ODbException(Messages::NotConnected, 0, nullptr);
    return handle_.get();
}

OciCheck OciStatement::check() const
{
    return OciCheck(error_.get(), OCI_HTYPE_ERROR, text_);
}

void OciStatement::free()
{
    if (stale())
        abandonHandles();
    else
        handle_.free(check());
}

void OciStatement::abandonHandles()
{
    handle_.abandon();
    error_.abandon();
}

bool OciStatement::stale() const
{
    return sessionId_ != connection_.sessionId();
}

} // namespace Oracle
