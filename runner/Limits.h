// Named limits of the interpreter, each with the reason for its value.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Transl {

// Deepest nesting of parentheses, prefixes and array constants in one expression:
// far beyond any hand-written expression, and far enough from the thread's stack
// limit (with sanitizer frames) that recursive descent can never overflow it.
inline constexpr int kMaxExpressionDepth = 200;

// Token positions are 32-bit in the loop stack; the history may not outgrow them.
inline constexpr std::size_t kMaxTokenHistory = INT32_MAX;

// Line numbers are 32-bit; counting stops here instead of overflowing.
inline constexpr std::int32_t kMaxLineNumber = INT32_MAX;

} // namespace Transl
