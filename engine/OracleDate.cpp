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
    const std::string copy(text);
    Fields f{0, 0, 0, 0, 0, 0};
    int consumed = 0;
    const char* start = copy.c_str();
    const bool negative = *start == '-';
    if (negative) ++start;
    const int read = std::sscanf(start, "%4d-%2d-%2d%n %2d:%2d:%2d%n", &f.year, &f.month, &f.day, &consumed,
                                 &f.hour, &f.minute, &f.second, &consumed);
    if ((read != 3 && read != 6) || start[consumed] != '\0') return false;
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
