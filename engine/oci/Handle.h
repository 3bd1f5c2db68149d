// The common base of every handle and descriptor the call interface hands out.
//
// A client only ever sees the address of a Handle, cast to the opaque type the
// header declares (OCIEnv*, OCIStmt*, ...). Every live handle is entered in the
// HandleRegistry, so an address can be checked before it is used: a null,
// freed or wrongly typed handle is refused instead of dereferenced.
#pragma once

#include "oci.h"

namespace engine {

class Environment;

class Handle {
public:
    // `type` is the OCI_HTYPE_* or OCI_DTYPE_* code the handle answers to.
    explicit Handle(ub4 type);
    virtual ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    ub4 type() const noexcept { return type_; }
    // The environment that allocated this handle and frees it with itself; null
    // for the environment and for handles owned by another handle.
    Environment* owner() const noexcept { return owner_; }
    void setOwner(Environment* owner) noexcept { owner_ = owner; }

    // OCIAttrGet: writes the attribute to `value` and, for texts and where the
    // caller asks, its size to `size`. Throws CallError for an unknown attribute.
    virtual void getAttribute(ub4 attribute, void* value, ub4* size) const;
    // OCIAttrSet: `value` points at the attribute (or is the handle itself for
    // handle-valued attributes); `size` is the length of texts.
    virtual void setAttribute(ub4 attribute, void* value, ub4 size);

private:
    ub4 type_;                     // handle or descriptor type code
    Environment* owner_ = nullptr; // allocating environment, see owner()
};

// Writes `value` to an OCIAttrGet destination and its size to `size` when given.
template <typename T>
void putAttribute(void* destination, ub4* size, T value) {
    *static_cast<T*>(destination) = value;
    if (size != nullptr) *size = sizeof(T);
}

}  // namespace engine
