// Named limits of the value classes. Private to the library.
#pragma once

namespace Oracle {
namespace Limits {

// Largest element size: the not-NULL indicator is the element size written into
// a signed 16-bit word, so a larger size would read as NULL (-1) or negative.
constexpr int MaxElementSize = 32767;

// Size given to a VARCHAR2, CHAR or RAW procedure argument that is described
// without one (arguments of unconstrained types are): the most a table column
// of those types can hold, so a value read from or written to a column fits.
constexpr int UnsizedArgumentBytes = 4000;

} // namespace Limits
} // namespace Oracle
