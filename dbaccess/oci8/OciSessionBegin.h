// A user session on an attached server: the service context is wired up and
// the session begun in the constructor, the session ended in the destructor.
#pragma once

#include <oci.h>

namespace Oracle {

// The handles a session is built from; none is owned by the session.
struct OciSessionHandles {
    OCISvcCtx* serviceContext;
    OCIError* error;
    OCIServer* server;
    OCISession* session;
    OCITrans* transaction;
};

class OciSessionBegin {
public:
    // `credentials` is OCI_CRED_RDBMS for a user name and password.
    OciSessionBegin(const OciSessionHandles& handles, const char* userName, const char* password,
                    ub4 credentials);
    OciSessionBegin(const OciSessionBegin&) = delete;
    OciSessionBegin& operator=(const OciSessionBegin&) = delete;
    ~OciSessionBegin();

private:
    OciSessionBegin(const OciSessionHandles& handles);
    void setAttr(void* target, ub4 targetType, void* value, ub4 size, ub4 attr) const;

    OciSessionHandles handles_; // not owned
    bool begun_;                // the session was begun and must be ended
};

} // namespace Oracle
