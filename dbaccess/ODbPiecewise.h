// Which values travel piece by piece. Private to the library.
#pragma once

#include "ODbTypes.h"

namespace Oracle {

// LONG and LONG RAW values hold piece chains and move in pieces.
inline bool isPiecewiseType(ExtTypes type)
{
    return type == extLong || type == extLongRaw;
}

} // namespace Oracle
