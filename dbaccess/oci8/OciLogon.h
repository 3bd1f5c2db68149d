// Everything one logon holds in the call interface: the environment, the
// handles allocated from it, the server attachment and the user session.
// Construction logs on; destruction logs off and frees the handles.
#pragma once

#include <oci.h>

#include "OciEnvHandle.h"
#include "OciHandle.h"
#include "OciServerAttach.h"
#include "OciSessionBegin.h"

namespace Oracle {

class OciLogon {
public:
    // `database` is "" for the default database.
    OciLogon(ub4 mode, const char* userName, const char* password, const char* database);

    OCIEnv* env() const { return env_.get(); }
    OCIError* error() const { return error_.get(); }
    OCISvcCtx* serviceContext() const { return serviceContext_.get(); }

private:
    OciSessionHandles sessionHandles() const;

    // Declaration order is the order of acquisition; members are released in
    // reverse, so the session ends before the server detaches and both before
    // the handles are freed.
    OciEnvHandle env_;
    OciHandle<OCISvcCtx, OCI_HTYPE_SVCCTX> serviceContext_;
    OciHandle<OCIError, OCI_HTYPE_ERROR> error_;
    OciHandle<OCIServer, OCI_HTYPE_SERVER> server_;
    OciHandle<OCISession, OCI_HTYPE_SESSION> session_;
    OciHandle<OCITrans, OCI_HTYPE_TRANS> transaction_;
    OciServerAttach attach_;
    OciSessionBegin begin_;
};

} // namespace Oracle
