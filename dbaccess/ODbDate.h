// Live view of one element of a DATE variable: its setters change the element.
// Layout of the 7-byte element: century + 100, year of century + 100, month,
// day, hour + 1, minute + 1, second + 1.
#pragma once

#include <vector>

#include "ODbDataInterface.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbDate : public ODbDataInterface {
public:
    // var must be a DATE variable and index one of its elements, else an
    // empty-message ODbException.
    ODbDate(const ODbDynamicVariable& var, ODbSignedIndex index);
    ODbDate(const ODbDate& other);
    ODbDate& operator=(const ODbDate& other);
    ~ODbDate() override;

    short getYear() const;
    short getMonth() const;
    short getDay() const;
    short getHour() const;
    short getMin() const;
    short getSec() const;

    // Out-of-range values throw "Value convertion error" and change nothing.
    // Writing a field makes the element not NULL.
    void setYear(short year);   // -4712 .. 9999
    void setMonth(short month); // 1 .. 12
    void setDay(short day);     // 1 .. 31, no calendar check
    void setHour(short hour);   // 0 .. 24
    void setMin(short minute);  // 0 .. 59
    void setSec(short second);  // 0 .. 59

    // "DD/MM/YYYY HR:MN:SC"; held by the view until the next call. A year
    // below zero is written with its sign.
    char* toCstring();
    // The toCstring text of a 7-byte element, written into `text` (at least
    // TextCapacity bytes) with its NUL; returns its length without the NUL.
    static constexpr std::size_t TextCapacity = 32;
    static std::size_t writeText(const unsigned char* element, char* text);
    // Reads all six fields in the toCstring form; a text that does not hold six
    // numbers in range throws "Value convertion error" and changes nothing.
    void fromCstring(char* const text);

    // Copies the 7 bytes to element index of var unless that is the viewed element.
    void assign(ODbDynamicVariable& var) const override;
    // The viewed element's 7 bytes.
    const unsigned char* getElement() const;

private:
    unsigned char* element() const;
    void markNotNull() const;

    std::vector<char> text_; // last text handed out
};

} // namespace Oracle
