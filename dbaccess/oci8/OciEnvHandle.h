// Owner of a call-interface environment: the interface is initialised and the
// environment created in the constructor, the environment freed in the destructor.
#pragma once

#include <oci.h>

namespace Oracle {

class OciEnvHandle {
public:
    // `mode` is passed to OCIInitialize (OCI_THREADED for this library).
    explicit OciEnvHandle(ub4 mode);
    OciEnvHandle(const OciEnvHandle&) = delete;
    OciEnvHandle& operator=(const OciEnvHandle&) = delete;
    ~OciEnvHandle();

    OCIEnv* get() const { return env_; }

private:
    OciEnvHandle();

    OCIEnv* env_; // owned; null when initialisation failed
};

} // namespace Oracle
