// Conversions between the 7-byte date and its stored text.
#include "base/OracleDate.h"

#include "base/OraError.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace engine {
namespace {

// The server's date range: 4712 BC to 9999 AD.
constexpr int kMinYear = -4712;
constexpr int kMaxYear = 9999;

using Fields = OracleDate::Fields;

// 'YYYY-MM-DD' and 'YYYY-MM-DD HH24:MI:SS'.
constexpr std::size_t kDateLength = 10;
constexpr std::size_t kDateTimeLength = 19;

// The stored layout, checked eight characters at a time: '0' marks a digit and
// every other character must be exactly itself.
constexpr char kLayout[] = "0000-00-00 00:00:00";
constexpr std::size_t kWordBytes = 8;
static_assert(sizeof kLayout - 1 == kDateTimeLength);
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a word's first character is its lowest byte");

struct LayoutWord {
    std::uint64_t digits = 0;     // bytes that must be digits
    std::uint64_t fixedMask = 0;  // bytes that must equal `fixed`
    std::uint64_t fixed = 0;
};

// The layout of the eight characters from `at`.
constexpr LayoutWord layoutWord(std::size_t at) {
    LayoutWord w;
    for (std::size_t i = 0; i < kWordBytes; ++i) {
        const char c = kLayout[at + i];
        const std::uint64_t byte = std::uint64_t{0xFF} << (8 * i);
        if (c == '0') {
            w.digits |= byte;
        } else {
            w.fixedMask |= byte;
            w.fixed |= std::uint64_t{static_cast<unsigned char>(c)} << (8 * i);
        }
    }
    return w;
}

// The words read: the start, then the end of a date alone ('YY-MM-DD'), or the
// middle and the end of a date with its time (overlapping the middle).
constexpr std::size_t kTimeAt = kWordBytes;
constexpr LayoutWord kStartWord = layoutWord(0);
constexpr LayoutWord kDayWord = layoutWord(kDateLength - kWordBytes);
constexpr LayoutWord kTimeWord = layoutWord(kTimeAt);
constexpr LayoutWord kEndWord = layoutWord(kDateTimeLength - kWordBytes);

std::uint64_t wordAt(std::string_view text, std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, kWordBytes);
    return word;
}

// Whether the word's characters fit the layout: a byte is a digit when its
// high nibble is 3 and stays 3 after adding 6 (0x30-0x39). A byte of 0xFA or
// above carries into its neighbour, but it fails the first test itself.
bool fitsLayout(std::uint64_t text, const LayoutWord& layout) {
    constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
    constexpr std::uint64_t kDigitNibbles = 0x3030303030303030;
    constexpr std::uint64_t kSixes = 0x0606060606060606;
    const std::uint64_t nibbles = kHighNibbles & layout.digits;
    const std::uint64_t expected = kDigitNibbles & layout.digits;
    return (text & layout.fixedMask) == layout.fixed && (text & nibbles) == expected &&
           ((text + kSixes) & nibbles) == expected;
}

int digitsAt(const char* text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

bool valid(const Fields& f) {
    return f.year >= kMinYear && f.year <= kMaxYear && f.year != 0 && f.month >= 1 && f.month <= 12 &&
           f.day >= 1 && f.day <= 31 && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
           f.second >= 0 && f.second <= 59;
}

}  // namespace

std::size_t OracleDate::toText(const ub1* bytes, char* text) {
    const Fields f{(bytes[0] - 100) * 100 + (bytes[1] - 100), bytes[2], bytes[3], bytes[4] - 1, bytes[5] - 1,
                   bytes[6] - 1};
    if (!valid(f)) throw OraError(OraCode::LiteralFormatMismatch);
    const int length = std::snprintf(text, kTextSize, "%s%04d-%02d-%02d %02d:%02d:%02d", f.year < 0 ? "-" : "",
                                     f.year < 0 ? -f.year : f.year, f.month, f.day, f.hour, f.minute, f.second);
    return static_cast<std::size_t>(length);
}

bool OracleDate::readLayout(std::string_view text, Fields& fields) {
    const bool withTime = text.size() == kDateTimeLength;
    if (!withTime && text.size() != kDateLength) return false;
    if (!fitsLayout(wordAt(text, 0), kStartWord)) return false;
    if (withTime ? !fitsLayout(wordAt(text, kTimeAt), kTimeWord) ||
                       !fitsLayout(wordAt(text, kDateTimeLength - kWordBytes), kEndWord)
                 : !fitsLayout(wordAt(text, kDateLength - kWordBytes), kDayWord))
        return false;
    const char* chars = text.data();
    fields = {digitsAt(chars, 0, 4), digitsAt(chars, 5, 2), digitsAt(chars, 8, 2), 0, 0, 0};
    if (withTime) {
        fields.hour = digitsAt(chars, 11, 2);
        fields.minute = digitsAt(chars, 14, 2);
        fields.second = digitsAt(chars, 17, 2);
    }
    return true;
}

bool OracleDate::fromText(std::string_view text, ub1* bytes) {
    // Fetches convert every date read, so this is a fixed-layout scan rather
    // than a general format parser.
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    Fields f{};
    if (!readLayout(text, f)) return false;
    if (negative) f.year = -f.year;
    if (!valid(f)) return false;
    const int century = f.year / 100;
    bytes[0] = static_cast<ub1>(century + 100);
    bytes[1] = static_cast<ub1>(f.year - century * 100 + 100);
    bytes[2] = static_cast<ub1>(f.month);
    bytes[3] = static_cast<ub1>(f.day);
    bytes[4] = static_cast<ub1>(f.hour + 1);
    bytes[5] = static_cast<ub1>(f.minute + 1);
    bytes[6] = static_cast<ub1>(f.second + 1);
    return true;
}

}  // namespace engine
