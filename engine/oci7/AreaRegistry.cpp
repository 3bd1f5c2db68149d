// The registry of live data-area objects.
#include "oci7/AreaRegistry.h"

namespace engine {

AreaRegistry& AreaRegistry::instance() {
    // Never destroyed, like the handle registry: a call may still run while
    // the process exits.
    static AreaRegistry* const registry = new AreaRegistry;
    return *registry;
}

void AreaRegistry::add(const std::shared_ptr<DataArea>& object) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        live_.emplace(object.get(), object);
    }
    object->fields().rcsp = object.get();
}

void AreaRegistry::remove(const DataArea& object) {
    std::shared_ptr<DataArea> doomed;  // destroyed after the lock is let go
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = live_.find(&object);
    if (found == live_.end()) return;
    doomed = std::move(found->second);
    live_.erase(found);
}

std::shared_ptr<DataArea> AreaRegistry::findAny(const cda_def* area) const {
    if (area == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = live_.find(area->rcsp);
    if (found == live_.end() || &found->second->fields() != area) return nullptr;
    return found->second;
}

}  // namespace engine
