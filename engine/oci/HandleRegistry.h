// The set of live handles, by address, so that the call interface can tell a
// valid handle from a null, freed or foreign pointer without dereferencing it.
#pragma once

#include "base/CallError.h"
#include "oci.h"
#include "oci/Handle.h"

#include <mutex>
#include <unordered_set>

namespace engine {

class HandleRegistry {
public:
    static HandleRegistry& instance();

    void add(Handle* handle);
    void remove(Handle* handle);
    // The live handle at `address` if it has type `type`, else null.
    Handle* find(const void* address, ub4 type) const;
    // The live handle at `address` of any type, else null.
    Handle* find(const void* address) const;

private:
    HandleRegistry() = default;

    mutable std::mutex mutex_;             // guards live_ (handles come and go on any thread)
    std::unordered_set<const void*> live_; // addresses of live handles
};

// `address` as a live handle of class T with type code `type`; throws
// InvalidHandle naming `argument` otherwise.
template <typename T>
T& handleArgument(const void* address, ub4 type, const char* argument) {
    Handle* handle = HandleRegistry::instance().find(address, type);
    if (handle == nullptr) throw InvalidHandle(argument);
    return static_cast<T&>(*handle);
}

// The address a client sees for `handle`: always that of the Handle base, the
// address the registry knows.
template <typename Client>
Client* clientAddress(Handle* handle) {
    return reinterpret_cast<Client*>(handle);
}

}  // namespace engine
