// The engine objects behind the clients' data areas, by address.
//
// A client's area leads to its object only while the object is entered here
// and was made for that very area: a zeroed area (null `rcsp`), a garbage
// pointer, a closed cursor or a copy of another area leads nowhere. The
// registry owns the objects; a call holds its own reference, so an area closed
// on another thread meanwhile lives until that call returns.
#pragma once

#include "oci7/DataArea.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace engine {

class AreaRegistry {
public:
    static AreaRegistry& instance();

    // Enters `object` and points its client's area at it.
    void add(const std::shared_ptr<DataArea>& object);
    // Takes `object` out; the client's area is left as it is (its memory may
    // already be gone when a logoff closes the cursors of a session).
    void remove(const DataArea& object);
    // The object behind `area` if it is a T, else null.
    template <typename T>
    std::shared_ptr<T> find(const cda_def* area) const {
        return std::dynamic_pointer_cast<T>(findAny(area));
    }

private:
    AreaRegistry() = default;
    std::shared_ptr<DataArea> findAny(const cda_def* area) const;

    mutable std::mutex mutex_;  // guards live_: areas are used from many threads
    std::unordered_map<const void*, std::shared_ptr<DataArea>> live_;  // by address
};

}  // namespace engine
