// A connection over the release-8 call interface.
#include "ODbConnectImpl.h"

#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbStatementMessages.h"
#include "OciHandle.h"
#include "OciLimits.h"
#include "OciLogon.h"

namespace Oracle {

namespace {

// Transaction flags by TransKind; kinds outside the table pass 0.
constexpr ub4 TransFlags[] = {
    OCI_TRANS_READONLY,     // ReadOnly
    OCI_TRANS_READWRITE,    // ReadWrite
    0,                      // ReadCommitted: the server's default
    OCI_TRANS_SERIALIZABLE, // Serializable
};
static_assert(sizeof(TransFlags) / sizeof(TransFlags[0]) == Serializable + 1,
              "one flag per TransKind");

ub4 transFlags(TransKind kind)
{
    const unsigned index = static_cast<unsigned>(kind);
    return index < sizeof(TransFlags) / sizeof(TransFlags[0]) ? TransFlags[index] : 0;
}

} // namespace

ODbConnectImpl::ODbConnectImpl() : sessionId_(0), initMode_(OCI_THREADED) {}

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
    logon_.reset(new OciLogon(initMode_, userName(), password(), database() != nullptr ? database() : ""));
    ++sessionId_;
    setConnected(true);
    return true;
}

void ODbConnectImpl::logoff()
{
    logon_.reset();
    ++sessionId_;
    setConnected(false);
    connStrFree();
}

void ODbConnectImpl::startTrans(TransKind kind)
{
    check(nullptr)(OCITransStart(serviceContext(), errorHandle(), OciLimits::TransStartTimeout, transFlags(kind)));
}

void ODbConnectImpl::commit()
{
    check(nullptr)(OCITransCommit(serviceContext(), errorHandle(), OCI_DEFAULT));
}

void ODbConnectImpl::rollback()
{
    check(nullptr)(OCITransRollback(serviceContext(), errorHandle(), OCI_DEFAULT));
}

// The running call reports into the session's error handle, so the break gets
// one of its own: sharing it would let the two calls overwrite each other's
// record.
void ODbConnectImpl::breakRunningCall()
{
    const OciHandle<OCIError, OCI_HTYPE_ERROR> breakErrors(envHandle());
    OciCheck(breakErrors.get(), OCI_HTYPE_ERROR, nullptr)(OCIBreak(serviceContext(), breakErrors.get()));
}

OCIEnv* ODbConnectImpl::envHandle() const
{
    return current().env();
}

OCIError* ODbConnectImpl::errorHandle() const
{
    return current().error();
}

OCISvcCtx* ODbConnectImpl::serviceContext() const
{
    return current().serviceContext();
}

OciCheck ODbConnectImpl::check(const char* stmText) const
{
    return OciCheck(diagnosticsSource(), diagnosticsType(), stmText);
}

const void* ODbConnectImpl::diagnosticsSource() const
{
    return logon_ != nullptr ? logon_->error() : nullptr;
}

ODbConnectImpl& ODbConnectImpl::of(ODbConnect& connection)
{
    ODbConnectImpl* impl = dynamic_cast<ODbConnectImpl*>(&connection);
    if (impl == nullptr)
        throw ODbException(Messages::ForeignConnection, 0, nullptr);
    return *impl;
}

const OciLogon& ODbConnectImpl::current() const
{
    if (logon_ == nullptr)
        throw ODbException(Messages::NotConnected, 0, nullptr);
    return *logon_;
}

} // namespace Oracle
