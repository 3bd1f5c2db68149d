// Finds a bind variable by its bind position.
#pragma once

#include "FObj.h"
#include "ODbBindVariable.h"

namespace Oracle {

template <class T = ODbBindVariable, class K = int> class FPosBindObj : public FObj<T, K> {
public:
    using FObj<T, K>::FObj;

protected:
    bool matches(const T& item, K key) const override { return item.getBindPos() == key; }
};

} // namespace Oracle
