// The environment handle (OCI_HTYPE_ENV): the root from which every other
// handle is allocated. It owns what it allocated; freeing it frees them all, so
// a client that forgets a handle leaks nothing past its environment.
#pragma once

#include "oci/ErrorRecords.h"
#include "oci/Handle.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace engine {

class Environment : public Handle {
public:
    Environment() : Handle(OCI_HTYPE_ENV) {}
    ~Environment() override;

    // A new handle of `type` (OCI_HTYPE_*), owned by this environment.
    Handle& allocate(ub4 type);
    // Frees `handle`, which this environment allocated.
    void release(Handle& handle);
    // Failures of calls made without an error handle.
    ErrorRecords& records() { return records_; }

private:
    std::mutex mutex_;  // guards children_: handles may be freed from any thread
    std::unordered_map<Handle*, std::unique_ptr<Handle>> children_;  // owned handles
    ErrorRecords records_;  // see records()
};

}  // namespace engine
