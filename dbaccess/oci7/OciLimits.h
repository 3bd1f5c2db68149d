// Named limits of the release-7 back end.
#pragma once

#include <ociapr.h>

namespace Oracle {
namespace OciLimits {

// Largest LONG or LONG RAW value bound or defined piecewise: what a LONG
// column can hold (2 GB - 1), so no value the server keeps is refused or cut.
constexpr sb4 MaxLongBytes = 0x7FFFFFFF;
// Most elements an OUT PL/SQL table may receive: never more than its buffer
// holds, and never more than this.
constexpr ub4 MaxPlSqlTableElements = 300000;
// Rows of the result arrays of a procedure describe: arguments plus the
// fields and elements nested in them.
constexpr ub4 DescribeRows = 50;
// Bytes of one argument name slot in the procedure describe's name block.
constexpr int ArgumentNameSlot = 30;
// Size of the buffer the server's message is read into.
constexpr sword MessageBytes = 2048;

} // namespace OciLimits
} // namespace Oracle
