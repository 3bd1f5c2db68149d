// Implementations of the dialect's SQL functions over the SQLite function API.
#include "sql/DialectFunctions.h"

#include "base/OraError.h"
#include "sql/DateFormat.h"
#include "sql/DateFunctions.h"
#include "sql/SqlDialect.h"
#include "sql/SqlFunctionSupport.h"
#include "store/SequenceStore.h"

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace engine {
namespace {

using Support = SqlFunctionSupport;
using Store = std::shared_ptr<SequenceStore>;

void destroyStore(void* data) { delete static_cast<Store*>(data); }

void nextval(sqlite3_context* context, int, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        auto& store = *static_cast<Store*>(sqlite3_user_data(context));
        sqlite3_result_int64(context, store->next(Support::text(argv[0])));
    });
}

void currval(sqlite3_context* context, int, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        auto& store = *static_cast<Store*>(sqlite3_user_data(context));
        sqlite3_result_int64(context, store->current(Support::text(argv[0])));
    });
}

// Start of the UTF-8 character `index` (0-based) of `text`, or its size.
std::size_t characterOffset(const std::string& text, std::int64_t index) {
    std::size_t pos = 0;
    for (; pos < text.size() && index > 0; --index) {
        ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
    }
    return pos;
}

std::int64_t characterCount(const std::string& text) {
    std::int64_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// SUBSTR(text, start [, length]) as the server has it: start 0 counts as 1, a
// negative start counts from the end, a length below 1 or an empty result is NULL.
void substr(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        const std::string text = Support::text(argv[0]);
        const std::int64_t count = characterCount(text);
        std::int64_t start = static_cast<std::int64_t>(sqlite3_value_double(argv[1]));
        start = start == 0 ? 1 : start < 0 ? count + start + 1 : start;
        const double wanted = argc > 2 ? std::floor(sqlite3_value_double(argv[2])) : static_cast<double>(count);
        if (start < 1 || start > count || wanted < 1) return sqlite3_result_null(context);
        const std::size_t from = characterOffset(text, start - 1);
        const std::int64_t length = static_cast<std::int64_t>(std::min(wanted, static_cast<double>(count)));
        const std::size_t to = from + characterOffset(text.substr(from), length);
        Support::resultText(context, text.substr(from, to - from));
    });
}

// TO_NUMBER(text): ORA-01722 for text that is not a number.
void toNumber(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        if (sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER) return sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
        if (sqlite3_value_numeric_type(argv[0]) == SQLITE_FLOAT) return sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        throw OraError(OraCode::InvalidNumber);
    });
}

// Equality as DECODE sees it: NULL matches NULL, numbers compare as numbers.
bool decodeMatches(sqlite3_value* a, sqlite3_value* b) {
    const int typeA = sqlite3_value_type(a);
    const int typeB = sqlite3_value_type(b);
    if (typeA == SQLITE_NULL || typeB == SQLITE_NULL) return typeA == typeB;
    const bool numeric = typeA == SQLITE_INTEGER || typeA == SQLITE_FLOAT || typeB == SQLITE_INTEGER ||
                         typeB == SQLITE_FLOAT;
    if (numeric) return sqlite3_value_double(a) == sqlite3_value_double(b);
    return Support::text(a) == Support::text(b);
}

// DECODE(expr, search1, result1 [, search2, result2 ...] [, default])
void decode(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (argc < 3) throw OraError(OraCode::InvalidNumberOfArgs);
        for (int i = 1; i + 1 < argc; i += 2) {
            if (decodeMatches(argv[0], argv[i])) return sqlite3_result_value(context, argv[i + 1]);
        }
        if (argc % 2 == 0) return sqlite3_result_value(context, argv[argc - 1]);
        sqlite3_result_null(context);
    });
}

// One operand, or the result so far, of an additive chain.
struct ChainValue {
    int type = SQLITE_NULL;  // SQLITE_NULL, SQLITE_INTEGER, SQLITE_FLOAT or SQLITE_TEXT
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
};

ChainValue chainValue(sqlite3_value* value) {
    ChainValue v;
    v.type = sqlite3_value_type(value);
    if (v.type == SQLITE_INTEGER) v.integer = sqlite3_value_int64(value);
    if (v.type == SQLITE_FLOAT) v.real = sqlite3_value_double(value);
    if (v.type == SQLITE_TEXT || v.type == SQLITE_BLOB) {
        v.type = SQLITE_TEXT;
        v.text = Support::text(value);
    }
    return v;
}

ChainValue integerValue(std::int64_t value) { return ChainValue{SQLITE_INTEGER, value, 0, {}}; }
ChainValue realValue(double value) { return ChainValue{SQLITE_FLOAT, 0, value, {}}; }
ChainValue textValue(std::string text) { return ChainValue{SQLITE_TEXT, 0, 0, std::move(text)}; }

// A value as text in a concatenation: numbers as the server shows them.
std::string concatText(const ChainValue& value) {
    switch (value.type) {
    case SQLITE_INTEGER: return std::to_string(value.integer);
    case SQLITE_FLOAT: return Support::numberText(value.real);
    default: return value.text;
    }
}

// "||" and CONCAT: a NULL operand counts as empty text, and an empty result
// is NULL, as the server has no empty text.
ChainValue concatenated(const ChainValue& left, const ChainValue& right) {
    std::string text = concatText(left) + concatText(right);
    return text.empty() ? ChainValue{} : textValue(std::move(text));
}

// A number operand; text is converted as the server converts it (ORA-01722).
ChainValue asNumber(const ChainValue& value) {
    if (value.type != SQLITE_TEXT) return value;
    const char* begin = value.text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long integer = std::strtoll(begin, &end, 10);
    if (end != begin && *end == '\0' && errno == 0) return integerValue(integer);
    const double real = std::strtod(begin, &end);
    if (end == begin || *end != '\0') throw OraError(OraCode::InvalidNumber);
    return realValue(real);
}

ChainValue numberSum(const ChainValue& left, char op, const ChainValue& right) {
    const ChainValue a = asNumber(left);
    const ChainValue b = asNumber(right);
    std::int64_t result = 0;
    const bool integers = a.type == SQLITE_INTEGER && b.type == SQLITE_INTEGER;
    if (integers && !(op == '+' ? __builtin_add_overflow(a.integer, b.integer, &result)
                                : __builtin_sub_overflow(a.integer, b.integer, &result)))
        return integerValue(result);
    const double x = a.type == SQLITE_INTEGER ? static_cast<double>(a.integer) : a.real;
    const double y = b.type == SQLITE_INTEGER ? static_cast<double>(b.integer) : b.real;
    return realValue(op == '+' ? x + y : x - y);
}

constexpr double kSecondsPerDay = 86400.0;

// A date moved by a number of days (fractions are hours, minutes, seconds).
ChainValue shiftedDate(const DateValue& date, const ChainValue& days, char op) {
    const ChainValue n = asNumber(days);
    const double amount = n.type == SQLITE_INTEGER ? static_cast<double>(n.integer) : n.real;
    const auto seconds = static_cast<std::int64_t>(std::llround(amount * kSecondsPerDay));
    const std::int64_t base = DateFormat::toSeconds(date);
    return textValue(DateFormat::toStored(DateFormat::fromSeconds(op == '+' ? base + seconds : base - seconds)));
}

// "+" and "-" as the server has them for numbers and for dates (stored text).
ChainValue summed(const ChainValue& left, char op, const ChainValue& right) {
    if (left.type == SQLITE_NULL || right.type == SQLITE_NULL) return {};
    const auto leftDate = left.type == SQLITE_TEXT ? DateFormat::fromStored(left.text) : std::nullopt;
    const auto rightDate = right.type == SQLITE_TEXT ? DateFormat::fromStored(right.text) : std::nullopt;
    if (leftDate && rightDate) {
        if (op == '+') throw OraError(OraCode::DatePlusDate);
        const auto seconds = DateFormat::toSeconds(*leftDate) - DateFormat::toSeconds(*rightDate);
        if (seconds % 86400 == 0) return integerValue(seconds / 86400);
        return realValue(static_cast<double>(seconds) / kSecondsPerDay);
    }
    if (leftDate) return shiftedDate(*leftDate, right, op);
    if (rightDate && op == '+') return shiftedDate(*rightDate, left, op);
    if (rightDate) throw OraError(OraCode::InconsistentTypes, {"NUMBER", "DATE"});
    return numberSum(left, op, right);
}

// The chain's result; a sum past the largest number is the server's overflow.
void resultChainValue(sqlite3_context* context, const ChainValue& value) {
    switch (value.type) {
    case SQLITE_INTEGER: return sqlite3_result_int64(context, value.integer);
    case SQLITE_FLOAT:
        if (!std::isfinite(value.real)) throw OraError(OraCode::NumericOverflow);
        return sqlite3_result_double(context, value.real);
    case SQLITE_TEXT: return Support::resultText(context, value.text);
    default: return sqlite3_result_null(context);
    }
}

// CHAIN(operand, 'op', operand, ...): an additive chain evaluated from the
// left, "||" as the server concatenates and "+"/"-" with its date arithmetic.
void chain(sqlite3_context* context, int argc, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        if (argc % 2 == 0) throw OraError(OraCode::InvalidNumberOfArgs);
        ChainValue result = chainValue(argv[0]);
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string op = Support::text(argv[i]);
            const ChainValue right = chainValue(argv[i + 1]);
            result = op == "||" ? concatenated(result, right) : summed(result, op[0], right);
        }
        resultChainValue(context, result);
    });
}

// DIVISOR(x): the right operand of a "/", passed through unless it is zero,
// which the server refuses where SQLite would divide to NULL.
void divisor(sqlite3_context* context, int, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        const int type = sqlite3_value_numeric_type(argv[0]);
        const bool number = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        if (number && sqlite3_value_double(argv[0]) == 0) throw OraError(OraCode::DivisorIsZero);
        sqlite3_result_value(context, argv[0]);
    });
}

// CONCAT(a, b)
void concat(sqlite3_context* context, int, sqlite3_value** argv) {
    Support::guarded(context, [&] { resultChainValue(context, concatenated(chainValue(argv[0]), chainValue(argv[1]))); });
}

// NVL2(value, ifNotNull, ifNull)
void nvl2(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_result_value(context, argv[sqlite3_value_type(argv[0]) == SQLITE_NULL ? 2 : 1]);
}

// LPAD/RPAD(text, length [, pad]): `text` cut or padded to `length` characters.
void pad(sqlite3_context* context, int argc, sqlite3_value** argv, bool left) {
    Support::guarded(context, [&] {
        if (Support::anyNull(argc, argv)) return sqlite3_result_null(context);
        const std::string text = Support::text(argv[0]);
        const std::string filler = argc > 2 ? Support::text(argv[2]) : " ";
        const auto length = static_cast<std::int64_t>(sqlite3_value_double(argv[1]));
        if (length < 1 || filler.empty()) return sqlite3_result_null(context);
        const std::int64_t have = characterCount(text);
        if (have >= length) return Support::resultText(context, text.substr(0, characterOffset(text, length)));
        std::string padding;
        const std::int64_t fillerCount = characterCount(filler);
        for (std::int64_t missing = length - have; missing > 0; missing -= fillerCount)
            padding += missing >= fillerCount ? filler : filler.substr(0, characterOffset(filler, missing));
        Support::resultText(context, left ? padding + text : text + padding);
    });
}

void lpad(sqlite3_context* context, int argc, sqlite3_value** argv) { pad(context, argc, argv, true); }
void rpad(sqlite3_context* context, int argc, sqlite3_value** argv) { pad(context, argc, argv, false); }

// The dictionary name of a stored name, or NULL for the engine's own objects.
void dictionaryName(sqlite3_context* context, int, sqlite3_value** argv) {
    Support::guarded(context, [&] {
        const std::string stored = Support::text(argv[0]);
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL || isInternalName(stored)) return sqlite3_result_null(context);
        Support::resultText(context, decodeIdentifier(stored));
    });
}

constexpr Support::Entry kFunctions[] = {
    {kSubstrFunction, 2, 3, substr, true},
    {"TO_NUMBER", 1, 1, toNumber, true},
    {"DECODE", -1, -1, decode, true},
    {"CONCAT", 2, 2, concat, true},
    {kChainFunction, -1, -1, chain, true},
    {kDivisorFunction, 1, 1, divisor, true},
    {kNameFunction, 1, 1, dictionaryName, true},
    {"NVL2", 3, 3, nvl2, true},
    {"LPAD", 2, 3, lpad, true},
    {"RPAD", 2, 3, rpad, true},
};

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK) throw OraError::fromSqlite(db, rc);
}

void installSequenceFunction(sqlite3* db, const char* name, Support::Function function, const Store& sequences) {
    auto* data = new Store(sequences);
    // SQLite calls destroyStore on `data` itself, also when registration fails.
    check(db, sqlite3_create_function_v2(db, name, 1, SQLITE_UTF8, data, function, nullptr, nullptr, destroyStore));
}

}  // namespace

void DialectFunctions::install(sqlite3* db, const std::shared_ptr<SequenceStore>& sequences) {
    Support::install(db, kFunctions, std::size(kFunctions));
    DateFunctions::install(db);
    installSequenceFunction(db, kNextvalFunction, nextval, sequences);
    installSequenceFunction(db, kCurrvalFunction, currval, sequences);
}

}  // namespace engine
