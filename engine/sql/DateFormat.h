// Date values and the server's date format models (TO_CHAR / TO_DATE masks).
//
// The engine stores a DATE as the text "YYYY-MM-DD HH24:MI:SS"; this class
// reads and writes that text and converts between it and text in a format
// model such as 'DD-MON-YYYY' or 'YYYYMMDD HH24:MI'. Supported elements: YYYY,
// YY, RR, MM, MONTH, MON, DD, DAY, DY, HH24, HH12, HH, MI, SS, AM, PM, FM (no
// effect), "quoted text" and punctuation, upper- or lower-case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct DateValue {
    int year = 1;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
};

class DateFormat {
public:
    // Throws ORA-01821 for a format model with an unknown element.
    explicit DateFormat(const std::string& model);

    // `value` in this format.
    std::string format(const DateValue& value) const;
    // The same, appended to `out`.
    void appendFormatted(const DateValue& value, std::string& out) const;
    // Text in this format as a date; throws the server's conversion errors
    // (ORA-01861, ORA-01843, ORA-01847, ORA-01830).
    DateValue parse(const std::string& text) const;

    // The stored form "YYYY-MM-DD HH24:MI:SS" (the year as printf's %04d).
    static std::string toStored(const DateValue& value);
    // A stored date ("YYYY-MM-DD" alone is accepted too), or nullopt. Each
    // field reads as scanf's %4d or %2d would: blanks before it, a sign, and at
    // most that many characters.
    static std::optional<DateValue> fromStored(std::string_view text);
    // The current local time.
    static DateValue now();
    // Seconds since 1970-01-01 00:00:00 of `value` (a count on the proleptic
    // Gregorian calendar, no time zone), and back.
    static std::int64_t toSeconds(const DateValue& value);
    static DateValue fromSeconds(std::int64_t seconds);

private:
    enum class Element { Year4, Year2, RoundYear, Month, MonthName, MonthAbbrev, Day, DayName,
                         DayAbbrev, Hour24, Hour12, Minute, Second, Meridian, FillMode, Literal };
    enum class Case { Upper, Capitalized, Lower };
    struct Item {
        Element element;
        Case letterCase;
        std::string literal;  // the text of a Literal item
    };

    void compile(const std::string& model);
    std::size_t compileElement(const std::string& model, std::size_t pos);
    std::size_t fixedWidth() const;
    static char* writeFixedItem(const Item& item, const DateValue& value, char* at);
    static void formatItem(const Item& item, const DateValue& value, std::string& out);
    static void parseItem(const Item& item, const std::string& text, std::size_t& pos, DateValue& value,
                          bool& pm);

    std::vector<Item> items_;     // the model, element by element
    std::size_t fixedWidth_ = 0;  // the text length of a model of numbers and literals, else 0
};

}  // namespace engine
