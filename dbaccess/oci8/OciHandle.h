// Owner of one handle allocated from an environment: allocated in the
// constructor, freed in the destructor.
#pragma once

#include <oci.h>

#include "OciCheck.h"

namespace Oracle {

// H is the handle's type, Type its OCI_HTYPE_* code.
template <class H, ub4 Type> class OciHandle {
public:
    // Allocation failures are described from the environment, as the call
    // interface reports them there; `stmText` goes into the exception.
    explicit OciHandle(OCIEnv* env, const char* stmText = nullptr) : handle_(nullptr)
    {
        void* handle = nullptr;
        OciCheck(env, OCI_HTYPE_ENV, stmText)(OCIHandleAlloc(env, &handle, Type, 0, nullptr));
        handle_ = static_cast<H*>(handle);
    }
    OciHandle(const OciHandle&) = delete;
    OciHandle& operator=(const OciHandle&) = delete;
    ~OciHandle()
    {
        if (handle_ != nullptr)
            OciCheck::teardown(OCIHandleFree(handle_, Type));
    }

    H* get() const { return handle_; }

    // Frees the handle now, with the result checked by `check`; the object
    // holds no handle afterwards, whether or not the call succeeded.
    void free(const OciCheck& check)
    {
        H* handle = handle_;
        handle_ = nullptr;
        check(OCIHandleFree(handle, Type));
    }

    // Forgets the handle without freeing it: the environment it came from is
    // gone, and freed its handles with it.
    void abandon() { handle_ = nullptr; }

private:
    H* handle_; // owned; null once freed
};

} // namespace Oracle
