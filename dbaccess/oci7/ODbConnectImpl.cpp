// A connection over the release-7 call interface.
#include "ODbConnectImpl.h"

#include <cstring>
#include <string>

#include <ocidem.h>

#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbStatementMessages.h"
#include "OciStatement.h"
#include "OciText.h"

namespace Oracle {

namespace {

// Shown for every failure to start a transaction, with the server's text.
constexpr const char* StartTransText = "Unable to start transaction";

// Statement that starts a transaction of each TransKind; kinds outside the
// table start a read-write one.
constexpr const char* TransStatements[] = {
    "set transaction read only",                      // ReadOnly
    "set transaction read write",                     // ReadWrite
    "set transaction isolation level read committed", // ReadCommitted
    "set transaction isolation level serializable",   // Serializable
};
static_assert(sizeof(TransStatements) / sizeof(TransStatements[0]) == Serializable + 1,
              "one statement per TransKind");

const char* transStatement(TransKind kind)
{
    const unsigned index = static_cast<unsigned>(kind);
    return index < sizeof(TransStatements) / sizeof(TransStatements[0]) ? TransStatements[index]
                                                                         : TransStatements[ReadWrite];
}


} // namespace

ODbConnectImpl::ODbConnectImpl() : login_(), host_(), sessionId_(0) {}

ODbConnectImpl::ODbConnectImpl(const char* connStr) : ODbConnectImpl()
{
    logon(connStr);
}

ODbConnectImpl::~ODbConnectImpl()
{
    if (isConnected())
        logoff();
}

bool ODbConnectImpl::logon(const char* connStr)
{
    if (isConnected())
        throw ODbException(Messages::NotConnected, 0, nullptr);
    parseConnStr(connStr);
    const ODbFailureGuard forgetConnStr([this] { connStrFree(); }); // a failed logon leaves no strings
    std::memset(&login_, 0, sizeof login_);
    std::memset(host_, 0, sizeof host_);
    const OciCheck checked(login_, nullptr);
    checked(opinit(OCI_EV_TSF));
    checked(olog(&login_, host_, callText(userName()), TerminatedText, callText(password()), TerminatedText,
                 callText(database() != nullptr ? database() : ""), TerminatedText, OCI_LM_DEF));
    ++sessionId_;
    setConnected(true);
    return true;
}

// The session ends whatever the call interface answers: a logoff that fails
// leaves nothing the caller could retry.
void ODbConnectImpl::logoff()
{
    if (isConnected())
        OciCheck::teardown(ologof(&login_));
    ++sessionId_;
    setConnected(false);
    connStrFree();
}

void ODbConnectImpl::startTrans(TransKind kind)
{
    OciStatement statement(*this, transStatement(kind), StartTransText);
    statement.check()(oexn(statement.get(), 1, 0));
    statement.free();
}

void ODbConnectImpl::commit()
{
    check(nullptr)(ocom(&loginArea()));
}

void ODbConnectImpl::rollback()
{
    check(nullptr)(orol(&loginArea()));
}

// The release-7 interface offers no way to interrupt a running call from
// another thread.
void ODbConnectImpl::breakRunningCall()
{
    loginArea();
    throw ODbException(Messages::BreakNotAvailable, 0, nullptr);
}

cda_def& ODbConnectImpl::loginArea()
{
    if (!isConnected())
        throw ODbException(Messages::NotConnected, 0, nullptr);
    return login_;
}

ODbConnectImpl& ODbConnectImpl::of(ODbConnect& connection)
{
    ODbConnectImpl* impl = dynamic_cast<ODbConnectImpl*>(&connection);
    if (impl == nullptr)
        throw ODbException(Messages::ForeignConnection, 0, nullptr);
    return *impl;
}

} // namespace Oracle
