// The server's date functions over stored dates.
#include "sql/DateFunctions.h"

#include "base/OraError.h"
#include "sql/DateFormat.h"
#include "sql/SqlDialect.h"
#include "sql/SqlFunctionSupport.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

namespace engine {
namespace {

using Support = SqlFunctionSupport;

// SYSDATE: the local time now.
void sysdate(sqlite3_context* context, int, sqlite3_value**) {
    Support::guarded(context, [&] { Support::resultText(context, DateFormat::toStored(DateFormat::now())); });
}

// The argument that holds a format model.
constexpr int kFormatArgument = 1;

// Runs `use` on the compiled format model of the second argument. SQLite keeps
// a compiled model with the statement for as long as the argument stays the
// same, so a constant model is compiled once per statement, not once per row.
// It may drop what it keeps at any time, even inside set_auxdata, so a model
// compiled here is handed over only once it is no longer used.
template <typename Use>
void withFormat(sqlite3_context* context, sqlite3_value** argv, Use use) {
    if (const auto* kept = static_cast<const DateFormat*>(sqlite3_get_auxdata(context, kFormatArgument)))
        return use(*kept);
    auto compiled = std::make_unique<DateFormat>(Support::text(argv[kFormatArgument]));
    use(*compiled);
    sqlite3_set_auxdata(context, kFormatArgument, compiled.release(),
                        [](void* format) { delete static_cast<DateFormat*>(format); });
}

// TO_CHAR(value [, format]): a stored date in a date format model, a number as text.
void toChar(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        const int type = sqlite3_value_type(argv[0]);
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            if (argc > 1) throw OraError(OraCode::InvalidNumber);
            if (type == SQLITE_FLOAT) return Support::resultText(context, Support::numberText(sqlite3_value_double(argv[0])));
            // An integer's digits, as SQLite's own text of it, written without
            // converting the argument.
            char digits[24];
            const char* end = std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(argv[0])).ptr;
            return sqlite3_result_text(context, digits, static_cast<int>(end - digits), SQLITE_TRANSIENT);
        }
        if (argc == 1) return Support::resultText(context, Support::text(argv[0]));
        const auto date = DateFormat::fromStored(Support::textView(argv[0]));
        if (!date) throw OraError(OraCode::InvalidNumber);
        withFormat(context, argv, [&](const DateFormat& format) { Support::resultText(context, format.format(*date)); });
    });
}

// TO_DATE(text [, format]): the stored form of the date `text` stands for; text
// not in the stored form is read in the server's default date format.
void toDate(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        const std::string text = Support::text(argv[0]);
        if (argc > 1) {
            return withFormat(context, argv, [&](const DateFormat& format) {
                Support::resultText(context, DateFormat::toStored(format.parse(text)));
            });
        }
        static const DateFormat kDefaultFormat("DD-MON-RR");
        const auto stored = DateFormat::fromStored(text);
        Support::resultText(context, DateFormat::toStored(stored ? *stored : kDefaultFormat.parse(text)));
    });
}


// A stored date argument; ORA-01722 for anything else, as the server cannot
// read it as the date the function needs.
DateValue dateArg(sqlite3_value* value) {
    const auto date = DateFormat::fromStored(Support::text(value));
    if (!date) throw OraError(OraCode::InvalidNumber);
    return *date;
}

// The units TRUNC cuts a date to, from the largest.
enum class Unit { Year, Month, Day, Hour, Minute };

struct UnitName {
    const char* name;
    Unit unit;
};

constexpr UnitName kUnits[] = {
    {"YYYY", Unit::Year}, {"YEAR", Unit::Year},   {"YY", Unit::Year}, {"RR", Unit::Year},
    {"MM", Unit::Month},  {"MONTH", Unit::Month}, {"MON", Unit::Month}, {"DD", Unit::Day},
    {"DDD", Unit::Day},   {"J", Unit::Day},       {"HH", Unit::Hour}, {"HH24", Unit::Hour},
    {"HH12", Unit::Hour}, {"MI", Unit::Minute},
};

// The start of the `name`d unit that holds `date` (TRUNC's format).
DateValue truncated(DateValue date, const std::string& name) {
    const UnitName* found = nullptr;
    for (const UnitName& entry : kUnits) {
        if (name == entry.name) found = &entry;
    }
    if (found == nullptr) throw OraError(OraCode::DateFormatNotRecognized);
    if (found->unit <= Unit::Year) date.month = 1;
    if (found->unit <= Unit::Month) date.day = 1;
    if (found->unit <= Unit::Day) date.hour = 0;
    if (found->unit <= Unit::Hour) date.minute = 0;
    date.second = 0;
    return date;
}


// TRUNC(date [, format]) cuts a date to the start of its day (or of the unit
// the format names); TRUNC(number [, places]) cuts a number toward zero.
void trunc(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && DateFormat::fromStored(Support::text(argv[0]))) {
            const std::string unit = argc > 1 ? upperCaseAscii(Support::text(argv[1])) : "DD";
            return Support::resultText(context, DateFormat::toStored(truncated(dateArg(argv[0]), unit)));
        }
        const double scale = std::pow(10.0, argc > 1 ? std::trunc(sqlite3_value_double(argv[1])) : 0.0);
        const double value = std::trunc(sqlite3_value_double(argv[0]) * scale) / scale;
        if (argc == 1 && std::fabs(value) < 9.0e18) return sqlite3_result_int64(context, static_cast<std::int64_t>(value));
        sqlite3_result_double(context, value);
    });
}

int daysIn(int year, int month) {
    const DateValue first{year, month, 1, 0, 0, 0};
    const DateValue next{month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1, 0, 0, 0};
    return static_cast<int>((DateFormat::toSeconds(next) - DateFormat::toSeconds(first)) / 86400);
}

// ADD_MONTHS(date, n): the same day n months on; the last day of a month
// stays the last day, and a day the target month lacks becomes its last.
void addMonths(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        DateValue date = dateArg(argv[0]);
        const bool lastDay = date.day == daysIn(date.year, date.month);
        const auto months = static_cast<int>(std::trunc(sqlite3_value_double(argv[1])));
        const int index = date.year * 12 + (date.month - 1) + months;
        date.year = index / 12;
        date.month = index % 12 + 1;
        const int days = daysIn(date.year, date.month);
        date.day = lastDay || date.day > days ? days : date.day;
        Support::resultText(context, DateFormat::toStored(date));
    });
}

// LAST_DAY(date): the last day of the date's month, at the same time of day.
void lastDay(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        DateValue date = dateArg(argv[0]);
        date.day = daysIn(date.year, date.month);
        Support::resultText(context, DateFormat::toStored(date));
    });
}

constexpr Support::Entry kFunctions[] = {
    {kSysdateFunction, 0, 0, sysdate, false},
    {"TO_CHAR", 1, 2, toChar, true},
    {"TO_DATE", 1, 2, toDate, false},  // a default year and month are today's
    {"TRUNC", 1, 2, trunc, true},
    {"ADD_MONTHS", 2, 2, addMonths, true},
    {"LAST_DAY", 1, 1, lastDay, true},
};

}  // namespace

void DateFunctions::install(sqlite3* db) { Support::install(db, kFunctions, std::size(kFunctions)); }

}  // namespace engine
