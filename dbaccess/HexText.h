// Hexadecimal text of raw bytes, as the value classes read and write it.
// Private to the library.
#pragma once

#include <cstddef>
#include <vector>

namespace Oracle {
namespace HexText {

// Appends two upper-case digits per byte, high half first, and a terminating NUL.
void encode(const unsigned char* bytes, std::size_t length, std::vector<char>& text);

// Reads hexadecimal pairs (either case) into (length + 1) / 2 bytes; an odd last
// digit is the high half of a byte whose low half is 0. Returns false, leaving
// bytes unspecified, when the text holds a character that is not a hex digit.
bool decode(const char* text, std::size_t length, std::vector<unsigned char>& bytes);

} // namespace HexText
} // namespace Oracle
