// The only place where the back end's implementation classes are named: callers
// receive reference-counted pointers to the abstract interfaces.
#pragma once

#include "VorDbApi.h"

namespace Oracle {

// Static operations only. Each creates an implementation object and returns a
// Utils::RefCountPtr of its interface holding the only reference.
class VORDB_API ODbClassfactory {
public:
    ODbClassfactory() = delete;
};

} // namespace Oracle
