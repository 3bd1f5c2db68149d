// Smart pointer over Utils::RefCounted: holds one reference to its object, or none.
#pragma once

#include "RefCounted.h"

namespace Utils {

template <class T> class RefCountPtr {
public:
    RefCountPtr() : object_(nullptr) {}
    // Takes a reference to the object (which may be null).
    RefCountPtr(T* object) : object_(nullptr) { assign(object); }
    RefCountPtr(const RefCountPtr& other) : object_(nullptr) { assign(other.object_); }
    // From a pointer to a derived class (the factory's implementation objects).
    template <class U>
    RefCountPtr(const RefCountPtr<U>& other) : object_(nullptr)
    {
        assign(other.get());
    }
    ~RefCountPtr() { release(); }

    RefCountPtr& operator=(T* object)
    {
        assign(object);
        return *this;
    }
    RefCountPtr& operator=(const RefCountPtr& other)
    {
        assign(other.object_);
        return *this;
    }

    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // Drops the reference: the object is deleted when it was the last one.
    void release()
    {
        if (object_ == nullptr)
            return;
        RefCounted* counted = object_;
        object_ = nullptr;
        if (--counted->refCount_ <= 0)
            delete counted; // virtual destructor; T's own may be protected
    }

private:
    // The new object is counted before the old one is released, so assigning the
    // object already held, or one kept alive only by the old one, stays safe.
    void assign(T* object)
    {
        if (object == object_)
            return;
        if (object != nullptr)
            ++static_cast<RefCounted*>(object)->refCount_;
        release();
        object_ = object;
    }

    T* object_; // the referenced object, or null
};

} // namespace Utils
