// A connection over the release-8 call interface: an environment, a server
// attachment and a user session per logon.
#pragma once

#include <memory>

#include <oci.h>

#include "ODbConnect.h"
#include "OciCheck.h"

namespace Oracle {

class OciLogon;

class ODbConnectImpl : public ODbConnect {
public:
    ODbConnectImpl();
    // Logs on at once; a failed logon leaves the constructor.
    explicit ODbConnectImpl(const char* connStr);
    ~ODbConnectImpl() override;

    bool logon(const char* connStr) override;
    void logoff() override;
    void startTrans(TransKind kind) override;
    void commit() override;
    void rollback() override;
    void breakRunningCall() override;

    // Handles of the current session; each throws "Not connected to Oracle"
    // when there is none.
    OCIEnv* envHandle() const;
    OCIError* errorHandle() const;
    OCISvcCtx* serviceContext() const;
    // Changes at every logon and logoff: handles allocated under another value
    // went with the environment they came from.
    unsigned long sessionId() const { return sessionId_; }

    // The checking helper bound to this connection's diagnostics.
    OciCheck check(const char* stmText) const;
    // What ODbExceptionImpl reads: the error handle, or null when logged off.
    const void* diagnosticsSource() const;
    ub4 diagnosticsType() const { return OCI_HTYPE_ERROR; }

    // The connection behind a caller's ODbConnect; throws ODbException when it
    // was not made by this back end.
    static ODbConnectImpl& of(ODbConnect& connection);

private:
    const OciLogon& current() const;

    std::unique_ptr<OciLogon> logon_; // the session's handles; null when logged off
    unsigned long sessionId_;         // counts logons and logoffs
    ub4 initMode_;                    // passed to OCIInitialize: OCI_THREADED
};

} // namespace Oracle
