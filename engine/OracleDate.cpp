// Conversions between the 7-byte date and its stored text.
#include "OracleDate.h"

#include "OraError.h"

#include <cstdio>

namespace engine {
namespace {

// The server's date range: 4712 BC to 9999 AD.
constexpr int kMinYear = -4712;
constexpr int kMaxYear = 9999;

struct Fields {
    int year, month, day, hour, minute, second;
};

// 'YYYY-MM-DD' and 'YYYY-MM-DD HH24:MI:SS'.
constexpr std::size_t kDateLength = 10;
constexpr std::size_t kDateTimeLength = 19;

// The decimal number of `count` digits at `at`; -1 when one is not a digit
// (which no field accepts).
int digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool valid(const Fields& f) {
    return f.year >= kMinYear && f.year <= kMaxYear && f.year != 0 && f.month >= 1 && f.month <= 12 &&
           f.day >= 1 && f.day <= 31 && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
           f.second >= 0 && f.second <= 59;
}

}  // namespace

std::string OracleDate::toText(const ub1* bytes) {
    const Fields f{(bytes[0] - 100) * 100 + (bytes[1] - 100), bytes[2], bytes[3], bytes[4] - 1, bytes[5] - 1,
                   bytes[6] - 1};
    if (!valid(f)) throw OraError(OraCode::LiteralFormatMismatch);
    char text[32];
    std::snprintf(text, sizeof text, "%s%04d-%02d-%02d %02d:%02d:%02d", f.year < 0 ? "-" : "",
                  f.year < 0 ? -f.year : f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

bool OracleDate::fromText(std::string_view text, ub1* bytes) {
    // Fetches convert every date read, so this is a fixed-layout scan rather
    // than a general format parser.
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.size() != kDateLength && text.size() != kDateTimeLength) return false;
    Fields f{digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2), 0, 0, 0};
    if (text[4] != '-' || text[7] != '-') return false;
    if (text.size() == kDateTimeLength) {
        if (text[10] != ' ' || text[13] != ':' || text[16] != ':') return false;
        f.hour = digits(text, 11, 2);
        f.minute = digits(text, 14, 2);
        f.second = digits(text, 17, 2);
    }
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
