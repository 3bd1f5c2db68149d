// A value-like owner of one connection.
#include "ODbSession.h"

#include "ODbClassfactory.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbSession::ODbSession() : connection_(ODbClassfactory::createODbConnect()) {}

ODbSession::ODbSession(const char* connStr) : connection_(ODbClassfactory::createODbConnect(connStr)) {}

ODbSession::~ODbSession() = default;

bool ODbSession::logon(const char* connStr)
{
    return connection().logon(connStr);
}

void ODbSession::logoff()
{
    connection().logoff();
}

void ODbSession::startTrans(TransKind kind)
{
    connection().startTrans(kind);
}

void ODbSession::commit()
{
    connection().commit();
}

void ODbSession::rollback()
{
    connection().rollback();
}

bool ODbSession::isConnected() const
{
    return connection().isConnected();
}

char* ODbSession::getUserName() const
{
    return connection().getUserName();
}

char* ODbSession::getConnStr() const
{
    return connection().getConnStr();
}

ODbSession::operator ODbConnect&() const
{
    return connection();
}

ODbConnect& ODbSession::connection() const
{
    if (!connection_)
        throw ODbException(Messages::NoConnection, 0, nullptr);
    return *connection_;
}

} // namespace Oracle
