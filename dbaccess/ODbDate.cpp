#include "ODbDate.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "DecimalPairs.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbMessages.h"

namespace Oracle {

namespace {

// Bytes of the 7-byte date element.
enum DateByte { Century, YearOfCentury, Month, Day, Hour, Minute, Second, DateBytes };

// Earliest year the database stores (4713 BC); the latest one it stores.
constexpr int MinYear = -4712;
constexpr int MaxYear = 9999;
// Offsets the element adds to the stored fields.
constexpr int CenturyOffset = 100;
constexpr int TimeOffset = 1;

struct Range {
    int low;
    int high;
};

// Accepted range of each field, in DateByte order (the year spans two bytes).
constexpr Range FieldRanges[] = {
    {MinYear, MaxYear}, {MinYear, MaxYear}, {1, 12}, {1, 31}, {0, 24}, {0, 59}, {0, 59},
};
static_assert(sizeof(FieldRanges) / sizeof(FieldRanges[0]) == DateBytes, "one range per date byte");

void checkField(DateByte field, int value)
{
    if (value < FieldRanges[field].low || value > FieldRanges[field].high)
        throw ODbException(Messages::ConversionError, 0, nullptr);
}

// The six fields of a date, as read from or written to text.
struct DateFields {
    int day, month, year, hour, minute, second;
};

// Parses "DD/MM/YYYY HR:MN:SC" (the year may carry a sign); only white space
// may follow. Returns false when the text does not hold all six numbers.
bool parseDate(const char* text, DateFields& f)
{
    int consumed = 0;
    const int read = std::sscanf(text, "%2d/%2d/%5d %2d:%2d:%2d%n", &f.day, &f.month, &f.year, &f.hour,
                                 &f.minute, &f.second, &consumed);
    if (read != 6)
        return false;
    for (const char* rest = text + consumed; *rest != '\0'; ++rest)
        if (!std::isspace(static_cast<unsigned char>(*rest)))
            return false;
    return true;
}

} // namespace

ODbDate::ODbDate(const ODbDynamicVariable& var, ODbSignedIndex index) : ODbDataInterface(var)
{
    if (var.getFtype() != extDate)
        throw ODbException();
    setAind(index);
}

ODbDate::ODbDate(const ODbDate& other) : ODbDataInterface(other) {}

ODbDate& ODbDate::operator=(const ODbDate& other)
{
    ODbDataInterface::operator=(other);
    return *this;
}

ODbDate::~ODbDate() = default;

// The address is looked up on every use: a resize moves the element buffer.
unsigned char* ODbDate::element() const
{
    return variable().val(selected());
}

const unsigned char* ODbDate::getElement() const
{
    return element();
}

void ODbDate::markNotNull() const
{
    variable().getIndicators()[selected()] = static_cast<short>(variable().getElemSize());
}

short ODbDate::getYear() const
{
    const unsigned char* e = element();
    return static_cast<short>((e[Century] - CenturyOffset) * 100 + e[YearOfCentury] - CenturyOffset);
}

short ODbDate::getMonth() const { return element()[Month]; }
short ODbDate::getDay() const { return element()[Day]; }
short ODbDate::getHour() const { return static_cast<short>(element()[Hour] - TimeOffset); }
short ODbDate::getMin() const { return static_cast<short>(element()[Minute] - TimeOffset); }
short ODbDate::getSec() const { return static_cast<short>(element()[Second] - TimeOffset); }

void ODbDate::setYear(short year)
{
    checkField(Century, year);
    unsigned char* e = element();
    // Division truncates toward zero, so both bytes carry the sign of the year.
    e[Century] = static_cast<unsigned char>(year / 100 + CenturyOffset);
    e[YearOfCentury] = static_cast<unsigned char>(year % 100 + CenturyOffset);
    markNotNull();
}

void ODbDate::setMonth(short month)
{
    checkField(Month, month);
    element()[Month] = static_cast<unsigned char>(month);
    markNotNull();
}

void ODbDate::setDay(short day)
{
    checkField(Day, day);
    element()[Day] = static_cast<unsigned char>(day);
    markNotNull();
}

void ODbDate::setHour(short hour)
{
    checkField(Hour, hour);
    element()[Hour] = static_cast<unsigned char>(hour + TimeOffset);
    markNotNull();
}

void ODbDate::setMin(short minute)
{
    checkField(Minute, minute);
    element()[Minute] = static_cast<unsigned char>(minute + TimeOffset);
    markNotNull();
}

void ODbDate::setSec(short second)
{
    checkField(Second, second);
    element()[Second] = static_cast<unsigned char>(second + TimeOffset);
    markNotNull();
}

char* ODbDate::toCstring()
{
    text_.assign(TextCapacity, '\0');
    writeText(element(), text_.data());
    return text_.data();
}

// Every fetched date becomes this text, so the common case (each field in its
// width) is written straight into its fixed places; anything else goes through
// printf.
std::size_t ODbDate::writeText(const unsigned char* e, char* text)
{
    const int year = (e[Century] - CenturyOffset) * 100 + e[YearOfCentury] - CenturyOffset;
    const int day = e[Day], month = e[Month];
    const int hour = e[Hour] - TimeOffset, minute = e[Minute] - TimeOffset, second = e[Second] - TimeOffset;
    const bool common = year >= 0 && year <= 9999 && day <= 99 && month <= 99 && hour >= 0 && hour <= 99 &&
                        minute >= 0 && minute <= 99 && second >= 0 && second <= 99;
    if (!common)
        return static_cast<std::size_t>(std::snprintf(text, TextCapacity, "%02d/%02d/%04d %02d:%02d:%02d", day,
                                                      month, year, hour, minute, second));
    static constexpr char kLayout[] = "00/00/0000 00:00:00";
    std::memcpy(text, kLayout, sizeof kLayout);
    DecimalPairs::put(text, static_cast<unsigned>(day));
    DecimalPairs::put(text + 3, static_cast<unsigned>(month));
    DecimalPairs::put(text + 6, static_cast<unsigned>(year / 100));
    DecimalPairs::put(text + 8, static_cast<unsigned>(year % 100));
    DecimalPairs::put(text + 11, static_cast<unsigned>(hour));
    DecimalPairs::put(text + 14, static_cast<unsigned>(minute));
    DecimalPairs::put(text + 17, static_cast<unsigned>(second));
    return sizeof kLayout - 1;
}

void ODbDate::fromCstring(char* const text)
{
    DateFields f{};
    if (text == nullptr || !parseDate(text, f))
        throw ODbException(Messages::ConversionError, 0, nullptr);
    // Check every field before writing any, so that a bad text changes nothing.
    checkField(Day, f.day);
    checkField(Month, f.month);
    checkField(Century, f.year);
    checkField(Hour, f.hour);
    checkField(Minute, f.minute);
    checkField(Second, f.second);
    setDay(static_cast<short>(f.day));
    setMonth(static_cast<short>(f.month));
    setYear(static_cast<short>(f.year));
    setHour(static_cast<short>(f.hour));
    setMin(static_cast<short>(f.minute));
    setSec(static_cast<short>(f.second));
}

void ODbDate::assign(ODbDynamicVariable& var) const
{
    const ODbIndex index = selected();
    if (var.getFtype() != extDate || index >= var.getArraySize())
        throw ODbException();
    const unsigned char* source = element();
    unsigned char* target = var.val(index);
    if (target != source)
        std::memcpy(target, source, DateBytes);
}

} // namespace Oracle
