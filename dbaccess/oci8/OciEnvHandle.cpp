// Owner of a call-interface environment.
#include "OciEnvHandle.h"

#include "OciCheck.h"

namespace Oracle {

OciEnvHandle::OciEnvHandle() : env_(nullptr) {}

// Delegating to the empty constructor makes the object complete before the
// calls, so the destructor frees an environment whose initialisation failed.
OciEnvHandle::OciEnvHandle(ub4 mode) : OciEnvHandle()
{
    // No handle exists yet that could describe a failure of OCIInitialize.
    OciCheck(nullptr, OCI_HTYPE_ENV, nullptr)(OCIInitialize(mode, nullptr, nullptr, nullptr, nullptr));
    const sword status = OCIEnvInit(&env_, OCI_DEFAULT, 0, nullptr);
    OciCheck(env_, OCI_HTYPE_ENV, nullptr)(status);
}

OciEnvHandle::~OciEnvHandle()
{
    if (env_ != nullptr)
        OciCheck::teardown(OCIHandleFree(env_, OCI_HTYPE_ENV));
}

} // namespace Oracle
