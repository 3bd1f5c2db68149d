// Intrusive reference counting: objects handed out by the library live as long
// as a RefCountPtr refers to them.
#pragma once

#include <cstdint>

#include "Exception.h"

namespace Utils {

template <class T> class RefCountPtr;

// Base of every reference-counted object. The count is a plain integer: an object
// shared between threads must be guarded by the caller's lock.
class VOR_UTILS_VISIBLE RefCounted {
public:
    RefCounted() : refCount_(0) {}
    // A copy is a new object: nobody refers to it yet.
    RefCounted(const RefCounted&) : refCount_(0) {}
    // Assignment copies contents, never the references held on the target.
    RefCounted& operator=(const RefCounted&) { return *this; }
    virtual ~RefCounted() = default;

    // Number of RefCountPtr objects that hold this object now.
    std::int32_t refCount() const { return refCount_; }

private:
    template <class T> friend class RefCountPtr;

    std::int32_t refCount_; // holders; the object is deleted when it drops to 0
};

} // namespace Utils

#include "RefCountPtr.h"
