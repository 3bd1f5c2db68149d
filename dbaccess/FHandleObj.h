// Finds a variable by the bind or define handle the call interface gave it.
#pragma once

#include "FObj.h"

namespace Oracle {

template <class T, class K = const void*> class FHandleObj : public FObj<T, K> {
public:
    using FObj<T, K>::FObj;

protected:
    bool matches(const T& item, K key) const override
    {
        return static_cast<const void*>(item.getHandle()) == static_cast<const void*>(key);
    }
};

} // namespace Oracle
