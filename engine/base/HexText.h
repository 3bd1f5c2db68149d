// Hexadecimal text of raw bytes, as the server shows a RAW value as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Two upper-case digits per byte, high half first.
std::string hexOf(std::string_view bytes);
// The bytes of pairs of hex digits (either case); none for an odd length or
// a character that is no hex digit.
std::optional<std::string> bytesOfHex(std::string_view text);

}  // namespace engine
