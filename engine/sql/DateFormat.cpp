// Format models of the server's TO_CHAR and TO_DATE for dates.
#include "sql/DateFormat.h"

#include "base/OraError.h"
#include "base/OracleDate.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace engine {
namespace {

constexpr std::array<const char*, 12> kMonthNames{"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                                  "MAY",     "JUNE",     "JULY",      "AUGUST",
                                                  "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::array<const char*, 7> kDayNames{"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                               "THURSDAY", "FRIDAY", "SATURDAY"};
constexpr std::size_t kAbbrevLength = 3;  // MON and DY are the names' first three letters
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::size_t kStoredLength = 19;  // "YYYY-MM-DD HH24:MI:SS"
// RR reads a two-digit year into the century nearest 2000 split at 50.
constexpr int kRoundYearPivot = 50;

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// 0 = Sunday (Sakamoto's method).
int weekday(const DateValue& value) {
    constexpr std::array<int, 12> kOffsets{0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int year = value.month < 3 ? value.year - 1 : value.year;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[static_cast<std::size_t>(value.month - 1)] +
            value.day) % 7;
}

// ASCII letters in upper and lower case, by byte; other bytes map to themselves.
// Fixed tables: the C library's toupper and tolower ask the locale every time.
constexpr std::array<char, 256> caseTable(bool upper) {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool change = upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z');
        table[static_cast<std::size_t>(c)] = static_cast<char>(change ? c ^ 0x20 : c);
    }
    return table;
}
constexpr std::array<char, 256> kUpper = caseTable(true);
constexpr std::array<char, 256> kLower = caseTable(false);

char upper(char c) { return kUpper[static_cast<unsigned char>(c)]; }
char lower(char c) { return kLower[static_cast<unsigned char>(c)]; }

// `value` with at least `width` digits, as printf's %0*d writes it.
void appendDigits(std::string& out, int value, int width) {
    if (value < 0 || value > 9999) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
        out += buffer;
        return;
    }
    char buffer[4];
    int count = 0;
    do {
        buffer[3 - count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (; count < width; ++count) buffer[3 - count] = '0';
    out.append(buffer + 4 - count, static_cast<std::size_t>(count));
}

bool startsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
    if (pos > text.size() || text.size() - pos < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper(text[pos + i]) != prefix[i]) return false;
    }
    return true;
}

bool isScanBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One field as scanf's %<width>d reads it from `pos`: blanks skipped, then an
// optional sign and digits, at most `width` characters of them, one digit at
// least. False when no number is there.
bool scanField(std::string_view text, std::size_t& pos, int width, int& value) {
    while (pos < text.size() && isScanBlank(text[pos])) ++pos;
    const std::size_t end = std::min(text.size(), pos + static_cast<std::size_t>(width));
    const bool negative = pos < end && text[pos] == '-';
    if (pos < end && (text[pos] == '-' || text[pos] == '+')) ++pos;
    const std::size_t first = pos;
    int result = 0;
    for (; pos < end && text[pos] >= '0' && text[pos] <= '9'; ++pos) result = result * 10 + (text[pos] - '0');
    if (pos == first) return false;
    value = negative ? -result : result;
    return true;
}

bool scanChar(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

// The stored form exactly as written, "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS":
// the fields read from their fixed places, which is what the general scan
// finds in such a text too. False (and `value` unchanged) for any other text.
bool readFixedLayout(std::string_view text, DateValue& value) {
    OracleDate::Fields f{};
    if (!OracleDate::readLayout(text, f)) return false;
    value = DateValue{f.year, f.month, f.day, f.hour, f.minute, f.second};
    return true;
}

// The general reading of the stored form, for texts outside the fixed layout.
bool scanStored(std::string_view text, DateValue& value) {
    std::size_t pos = 0;
    if (!scanField(text, pos, 4, value.year) || !scanChar(text, pos, '-') || !scanField(text, pos, 2, value.month) ||
        !scanChar(text, pos, '-') || !scanField(text, pos, 2, value.day))
        return false;
    return pos == text.size() ||
           (scanField(text, pos, 2, value.hour) && scanChar(text, pos, ':') && scanField(text, pos, 2, value.minute) &&
            scanChar(text, pos, ':') && scanField(text, pos, 2, value.second) && pos == text.size());
}

// Whether every numeric field of `value` has as many digits as its element's
// width (the year four, the rest two), so that a fixed-width model's text has
// its compiled length.
bool fitsFixedWidths(const DateValue& value) {
    auto twoDigits = [](int field) { return field >= 0 && field <= 99; };
    return value.year >= 0 && value.year <= 9999 && twoDigits(value.month) && twoDigits(value.day) &&
           twoDigits(value.hour) && twoDigits(value.minute) && twoDigits(value.second);
}

// `value`'s last `width` digits at `at`; returns the place after them.
char* writeDigits(char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
    return at + width;
}

}  // namespace

DateFormat::DateFormat(const std::string& model) { compile(model); }

// The model, item by item: quoted text and punctuation as literals, the rest
// as elements.
void DateFormat::compile(const std::string& model) {
    for (std::size_t pos = 0; pos < model.size();) {
        const char c = model[pos];
        if (c == '"') {
            const std::size_t close = model.find('"', pos + 1);
            if (close == std::string::npos) throw OraError(OraCode::DateFormatNotRecognized);
            items_.push_back({Element::Literal, Case::Upper, model.substr(pos + 1, close - pos - 1)});
            pos = close + 1;
        } else if (!std::isalnum(static_cast<unsigned char>(c))) {
            items_.push_back({Element::Literal, Case::Upper, std::string(1, c)});
            ++pos;
        } else {
            pos += compileElement(model, pos);
        }
    }
    fixedWidth_ = fixedWidth();
}

// The length of every text of a model of numbers and literals alone whose
// numbers fit their widths; 0 for a model with names (or nothing) in it.
std::size_t DateFormat::fixedWidth() const {
    std::size_t width = 0;
    for (const Item& item : items_) {
        switch (item.element) {
        case Element::Year4: width += 4; break;
        case Element::Year2:
        case Element::RoundYear:
        case Element::Month:
        case Element::Day:
        case Element::Hour24:
        case Element::Hour12:
        case Element::Minute:
        case Element::Second: width += 2; break;
        case Element::FillMode: break;
        case Element::Literal: width += item.literal.size(); break;
        default: return 0;
        }
    }
    return width;
}

// One item of a fixed-width model at `at`; returns the place after it.
char* DateFormat::writeFixedItem(const Item& item, const DateValue& value, char* at) {
    switch (item.element) {
    case Element::Year4: return writeDigits(at, value.year, 4);
    case Element::Year2:
    case Element::RoundYear: return writeDigits(at, value.year % 100, 2);
    case Element::Month: return writeDigits(at, value.month, 2);
    case Element::Day: return writeDigits(at, value.day, 2);
    case Element::Hour24: return writeDigits(at, value.hour, 2);
    case Element::Hour12: return writeDigits(at, value.hour % 12 == 0 ? 12 : value.hour % 12, 2);
    case Element::Minute: return writeDigits(at, value.minute, 2);
    case Element::Second: return writeDigits(at, value.second, 2);
    case Element::Literal: return std::copy(item.literal.begin(), item.literal.end(), at);
    default: return at;
    }
}

// The element at `pos`, longest spelling first where one is a prefix of
// another; its letter case (DAY, Day, day) is the case names are written in.
// Returns the length of its spelling.
std::size_t DateFormat::compileElement(const std::string& model, std::size_t pos) {
    struct Spelling {
        std::string_view text;
        Element element;
    };
    static constexpr std::array<Spelling, 17> kSpellings{{
        {"YYYY", Element::Year4},  {"YY", Element::Year2},        {"RR", Element::RoundYear},
        {"MONTH", Element::MonthName}, {"MON", Element::MonthAbbrev}, {"MM", Element::Month},
        {"MI", Element::Minute},   {"DAY", Element::DayName},     {"DY", Element::DayAbbrev},
        {"DD", Element::Day},      {"HH24", Element::Hour24},     {"HH12", Element::Hour12},
        {"HH", Element::Hour12},   {"SS", Element::Second},       {"AM", Element::Meridian},
        {"PM", Element::Meridian}, {"FM", Element::FillMode},
    }};
    for (const Spelling& spelling : kSpellings) {
        if (!startsWithNoCase(model, pos, spelling.text)) continue;
        const bool firstUpper = std::isupper(static_cast<unsigned char>(model[pos])) != 0;
        const bool secondUpper = std::isupper(static_cast<unsigned char>(model[pos + 1])) != 0;
        const Case letterCase = !firstUpper ? Case::Lower : secondUpper ? Case::Upper : Case::Capitalized;
        items_.push_back({spelling.element, letterCase, {}});
        return spelling.text.size();
    }
    throw OraError(OraCode::DateFormatNotRecognized);
}

std::string DateFormat::format(const DateValue& value) const {
    if (fixedWidth_ != 0 && fitsFixedWidths(value)) {
        // Every value of such a model written in place, as TO_CHAR does it once per row.
        std::string out(fixedWidth_, '\0');
        char* at = out.data();
        for (const Item& item : items_) at = writeFixedItem(item, value, at);
        return out;
    }
    std::string out;
    appendFormatted(value, out);
    return out;
}

void DateFormat::appendFormatted(const DateValue& value, std::string& out) const {
    for (const Item& item : items_) formatItem(item, value, out);
}

void DateFormat::formatItem(const Item& item, const DateValue& value, std::string& out) {
    // The first `length` letters of a name, in the item's letter case.
    auto named = [&item, &out](std::string_view name, std::size_t length) {
        name = name.substr(0, length);
        for (std::size_t i = 0; i < name.size(); ++i) {
            const bool toLower = item.letterCase == Case::Lower || (item.letterCase == Case::Capitalized && i > 0);
            out += toLower ? lower(name[i]) : name[i];
        }
    };
    const char* month = kMonthNames[static_cast<std::size_t>(value.month - 1)];
    switch (item.element) {
    case Element::Year4: return appendDigits(out, value.year, 4);
    case Element::Year2:
    case Element::RoundYear: return appendDigits(out, value.year % 100, 2);
    case Element::Month: return appendDigits(out, value.month, 2);
    case Element::MonthName: return named(month, std::string::npos);
    case Element::MonthAbbrev: return named(month, kAbbrevLength);
    case Element::Day: return appendDigits(out, value.day, 2);
    case Element::DayName: return named(kDayNames[static_cast<std::size_t>(weekday(value))], std::string::npos);
    case Element::DayAbbrev: return named(kDayNames[static_cast<std::size_t>(weekday(value))], kAbbrevLength);
    case Element::Hour24: return appendDigits(out, value.hour, 2);
    case Element::Hour12: return appendDigits(out, value.hour % 12 == 0 ? 12 : value.hour % 12, 2);
    case Element::Minute: return appendDigits(out, value.minute, 2);
    case Element::Second: return appendDigits(out, value.second, 2);
    case Element::Meridian: return named(value.hour < 12 ? "AM" : "PM", 2);
    case Element::FillMode: return;
    case Element::Literal: out += item.literal; return;
    }
}

DateValue DateFormat::parse(const std::string& text) const {
    DateValue value;
    const DateValue today = now();
    value.year = today.year;
    value.month = today.month;  // the server defaults year and month to the current ones
    bool pm = false;
    std::size_t pos = 0;
    for (const Item& item : items_) parseItem(item, text, pos, value, pm);
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos != text.size()) throw OraError(OraCode::DateFormatTooShort);
    if (pm && value.hour < 12) value.hour += 12;
    if (value.month < 1 || value.month > 12) throw OraError(OraCode::NotValidMonth);
    if (value.day < 1 || value.day > daysInMonth(value.year, value.month)) throw OraError(OraCode::DayOfMonthRange);
    if (value.hour > 23 || value.minute > 59 || value.second > 59) throw OraError(OraCode::LiteralFormatMismatch);
    return value;
}

void DateFormat::parseItem(const Item& item, const std::string& text, std::size_t& pos, DateValue& value, bool& pm) {
    auto number = [&](int maxDigits) {
        const std::size_t start = pos;
        int result = 0;
        while (pos < text.size() && pos - start < static_cast<std::size_t>(maxDigits) &&
               std::isdigit(static_cast<unsigned char>(text[pos])))
            result = result * 10 + (text[pos++] - '0');
        if (pos == start) throw OraError(OraCode::LiteralFormatMismatch);
        return result;
    };
    auto name = [&](const auto& names, std::size_t length) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string_view full = names[i];
            const std::string_view spelled = full.substr(0, std::min(length, full.size()));
            if (startsWithNoCase(text, pos, spelled)) {
                pos += spelled.size();
                return static_cast<int>(i);
            }
        }
        throw OraError(item.element == Element::MonthName || item.element == Element::MonthAbbrev
                           ? OraCode::NotValidMonth : OraCode::LiteralFormatMismatch);
    };
    switch (item.element) {
    case Element::Year4: value.year = number(4); break;
    case Element::Year2: value.year = value.year / 100 * 100 + number(2); break;
    case Element::RoundYear: {
        const int year = number(2);
        value.year = (year < kRoundYearPivot ? 2000 : 1900) + year;
        break;
    }
    case Element::Month: value.month = number(2); break;
    case Element::MonthName: value.month = name(kMonthNames, std::string::npos) + 1; break;
    case Element::MonthAbbrev: value.month = name(kMonthNames, kAbbrevLength) + 1; break;
    case Element::Day: value.day = number(2); break;
    case Element::DayName: name(kDayNames, std::string::npos); break;
    case Element::DayAbbrev: name(kDayNames, kAbbrevLength); break;
    case Element::Hour24: value.hour = number(2); break;
    case Element::Hour12: value.hour = number(2) % 12; break;
    case Element::Minute: value.minute = number(2); break;
    case Element::Second: value.second = number(2); break;
    case Element::Meridian: pm = name(std::array<const char*, 2>{"AM", "PM"}, 2) == 1; break;
    case Element::FillMode: break;
    case Element::Literal:
        // The server lets any punctuation stand for any other.
        if (pos < text.size() && !std::isalnum(static_cast<unsigned char>(text[pos]))) ++pos;
        else if (text.compare(pos, item.literal.size(), item.literal) == 0) pos += item.literal.size();
        else throw OraError(OraCode::LiteralFormatMismatch);
        break;
    }
}

std::string DateFormat::toStored(const DateValue& value) {
    std::string out;
    out.reserve(kStoredLength);
    appendDigits(out, value.year, 4);
    out += '-';
    appendDigits(out, value.month, 2);
    out += '-';
    appendDigits(out, value.day, 2);
    out += ' ';
    appendDigits(out, value.hour, 2);
    out += ':';
    appendDigits(out, value.minute, 2);
    out += ':';
    appendDigits(out, value.second, 2);
    return out;
}

// "%4d-%2d-%2d", then either the end or " %2d:%2d:%2d" up to the end (the
// blank stands for any run of blanks, as in a scanf format).
std::optional<DateValue> DateFormat::fromStored(std::string_view text) {
    DateValue value;
    if (!readFixedLayout(text, value) && !scanStored(text, value)) return std::nullopt;
    if (value.month < 1 || value.month > 12 || value.day < 1 || value.day > daysInMonth(value.year, value.month))
        return std::nullopt;
    return value;
}

// Days from and to civil dates: H. Hinnant's algorithms, exact for every year.
std::int64_t DateFormat::toSeconds(const DateValue& value) {
    const std::int64_t year = value.year - (value.month <= 2 ? 1 : 0);
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (value.month + (value.month > 2 ? -3 : 9)) + 2) / 5 + value.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = era * 146097 + dayOfEra - 719468;
    return days * kSecondsPerDay + value.hour * 3600 + value.minute * 60 + value.second;
}

DateValue DateFormat::fromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    DateValue value;
    value.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    value.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    value.year = static_cast<int>(yearOfEra + era * 400 + (value.month <= 2 ? 1 : 0));
    value.hour = static_cast<int>(rest / 3600);
    value.minute = static_cast<int>(rest % 3600 / 60);
    value.second = static_cast<int>(rest % 60);
    return value;
}

DateValue DateFormat::now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return DateValue{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec};
}

}  // namespace engine
