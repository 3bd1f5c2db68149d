// Named limits of the value classes. Private to the library.
#pragma once

namespace Oracle {
namespace Limits {

// Largest element size: the not-NULL indicator is the element size written into
// a signed 16-bit word, so a larger size would read as NULL (-1) or negative.
constexpr int MaxElementSize = 32767;

} // namespace Limits
} // namespace Oracle
