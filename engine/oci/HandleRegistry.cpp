// The registry of live handles.
#include "oci/HandleRegistry.h"

#include "oci/Handle.h"

namespace engine {

HandleRegistry& HandleRegistry::instance() {
    // Never destroyed: handles that outlive static destruction (see
    // RootEnvironments) still unregister themselves.
    static HandleRegistry* const registry = new HandleRegistry;
    return *registry;
}

void HandleRegistry::add(Handle* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    live_.insert(handle);
}

void HandleRegistry::remove(Handle* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    live_.erase(handle);
}

Handle* HandleRegistry::find(const void* address) const {
    if (address == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    if (live_.count(address) == 0) return nullptr;
    // Only addresses of Handle objects are ever entered, so this cast is exact.
    return static_cast<Handle*>(const_cast<void*>(address));
}

Handle* HandleRegistry::find(const void* address, ub4 type) const {
    Handle* handle = find(address);
    return handle != nullptr && handle->type() == type ? handle : nullptr;
}

}  // namespace engine
