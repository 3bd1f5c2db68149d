// Finds a bind variable by its bind name, without regard to case.
#pragma once

#include <strings.h>

#include "FObj.h"
#include "ODbBindVariable.h"

namespace Oracle {

template <class T = ODbBindVariable, class K = const char*> class FNameBindObj : public FObj<T, K> {
public:
    using FObj<T, K>::FObj;

protected:
    bool matches(const T& item, K key) const override
    {
        return item.getBindName() != nullptr && key != nullptr &&
               strcasecmp(item.getBindName(), key) == 0;
    }
};

} // namespace Oracle
