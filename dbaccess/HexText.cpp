#include "HexText.h"

namespace Oracle {
namespace HexText {

namespace {

constexpr char Digits[] = "0123456789ABCDEF";

// Value of one hex digit, or -1.
int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

void encode(const unsigned char* bytes, std::size_t length, std::vector<char>& text)
{
    text.resize(length * 2 + 1);
    for (std::size_t i = 0; i < length; ++i) {
        text[2 * i] = Digits[bytes[i] >> 4];
        text[2 * i + 1] = Digits[bytes[i] & 0x0F];
    }
    text[length * 2] = '\0';
}

bool decode(const char* text, std::size_t length, std::vector<unsigned char>& bytes)
{
    bytes.assign((length + 1) / 2, 0);
    for (std::size_t i = 0; i < length; ++i) {
        const int value = digitValue(text[i]);
        if (value < 0)
            return false;
        bytes[i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? value << 4 : value);
    }
    return true;
}

} // namespace HexText
} // namespace Oracle
