// The one accessor object that a bind list or row hands out: every call
// re-points it at a variable and element, so a reference obtained earlier
// follows the last call.
#pragma once

#include "ODbDynamicVariable.h"

namespace Oracle {

// T is ODbData or one of its descendants (ODbArrayData, ODbParam).
template <class T> class ODbPointedAccessor : public T {
public:
    T& point(ODbDynamicVariable& var, ODbIndex index)
    {
        this->var_ = &var;
        this->index_ = index;
        return *this;
    }
};

} // namespace Oracle
