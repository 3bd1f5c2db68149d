// Base of the statement classes: the connection a statement runs on.
#include "ODbConnectBase.h"

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbConnectBase::ODbConnectBase() : connection_(nullptr) {}

ODbConnectBase::ODbConnectBase(ODbConnect& connection) : connection_(&connection) {}

ODbConnectBase::~ODbConnectBase() = default;

ODbConnect& ODbConnectBase::getOraConnect() const
{
    if (connection_ == nullptr)
        throw ODbException(Messages::NoConnection, 0, nullptr);
    return *connection_;
}

bool ODbConnectBase::isConnectValid() const
{
    return true;
}

void ODbConnectBase::setOraConnect(ODbConnect& connection)
{
    connection_ = &connection;
}

} // namespace Oracle
