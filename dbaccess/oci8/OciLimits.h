// Named limits of the release-8 back end.
#pragma once

#include <oci.h>

namespace Oracle {
namespace OciLimits {

// Largest LONG or LONG RAW value bound or defined piecewise: what a LONG
// column can hold (2 GB - 1), so no value the server keeps is refused.
constexpr sb4 MaxLongBytes = 0x7FFFFFFF;
// Most elements an OUT PL/SQL table bound without a fixed size may receive.
constexpr ub4 MaxPlSqlTableElements = 300000;
// Seconds a started transaction may stay idle before the server may end it.
constexpr uword TransStartTimeout = 2;
// Level of detail asked of an explicit describe: the object and its lists.
constexpr ub1 DescribeInfoLevel = 1;

} // namespace OciLimits
} // namespace Oracle
