// A connection over the release-7 call interface: a login data area and a
// host data area per logon.
#pragma once

#include <cstddef>

#include <ociapr.h>

#include "ODbConnect.h"
#include "OciCheck.h"

namespace Oracle {

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

    // The login data area of the current session; throws "Not connected to
    // Oracle" when there is none.
    cda_def& loginArea();
    // Changes at every logon and logoff: cursor areas opened under another
    // value went with the session they came from.
    unsigned long sessionId() const { return sessionId_; }

    // The connection behind a caller's ODbConnect; throws ODbException when it
    // was not made by this back end.
    static ODbConnectImpl& of(ODbConnect& connection);

private:
    OciCheck check(const char* stmText) { return OciCheck(loginArea(), stmText); }

    cda_def login_;                                             // opaque to the library but for rc
    alignas(std::max_align_t) ub1 host_[HDA_SIZE];              // zeroed before each logon
    unsigned long sessionId_;                                   // counts logons and logoffs
};

} // namespace Oracle
