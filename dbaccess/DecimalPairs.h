// Decimal digits written two at a time, for the texts the library makes of
// every fetched number and date. Private to the library.
#pragma once

#include <cstring>

namespace Oracle {
namespace DecimalPairs {

// "00" to "99" end to end.
inline constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                 "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                 "8081828384858687888990919293949596979899";

// Writes the two digits of `value` (below 100) at `at`.
inline void put(char* at, unsigned value)
{
    std::memcpy(at, kPairs + 2 * value, 2);
}

} // namespace DecimalPairs
} // namespace Oracle
