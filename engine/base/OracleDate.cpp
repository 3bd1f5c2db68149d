// Conversions between the 7-byte date and its stored text.
#include "base/OracleDate.h"

#include "base/OraError.h"

#include <cstdio>

namespace engine {
namespace {

// The server's date range: 4712 BC to 9999 AD.
constexpr int kMinYear = -4712;
constexpr int kMaxYear = 9999;

using Fields = OracleDate::Fields;

// 'YYYY-MM-DD' and 'YYYY-MM-DD HH24:MI:SS'.
constexpr std::size_t kDateLength = 10;
constexpr std::size_t kDateTimeLength = 19;

// Reads fixed-position decimal fields, noting in `wellFormed` any character
// that is not a digit.
struct DigitReader {
    std::string_view text;
    bool& wellFormed;

    int number(std::size_t at, std::size_t count) {
        int value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            const unsigned digit = static_cast<unsigned>(text[i] - '0');
            wellFormed &= digit <= 9;
            value = value * 10 + static_cast<int>(digit);
        }
        return value;
    }
};

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
    bool wellFormed = text[4] == '-' && text[7] == '-';
    DigitReader read{text, wellFormed};
    Fields f{read.number(0, 4), read.number(5, 2), read.number(8, 2), 0, 0, 0};
    if (withTime) {
        wellFormed = wellFormed && text[10] == ' ' && text[13] == ':' && text[16] == ':';
        f.hour = read.number(11, 2);
        f.minute = read.number(14, 2);
        f.second = read.number(17, 2);
    }
    if (wellFormed) fields = f;
    return wellFormed;
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
