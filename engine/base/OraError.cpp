// The server's error texts and the mapping of SQLite failures onto them.
#include "base/OraError.h"

#include "base/StoredNames.h"

#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

namespace engine {
namespace {

struct ErrorText {
    OraCode code;
    int number;
    const char* text;  // "%s" markers are filled by the constructor's arguments
};

constexpr std::array<ErrorText, static_cast<std::size_t>(OraCode::Count)> kErrors{{
    {OraCode::UniqueConstraint, 1, "unique constraint (%s) violated"},
    {OraCode::ResourceBusy, 54, "resource busy and acquire with NOWAIT specified"},
    {OraCode::InternalError, 600, "internal error code, arguments: [%s], [%s]"},
    {OraCode::InvalidSqlStatement, 900, "invalid SQL statement"},
    {OraCode::InvalidIdentifier, 904, "\"%s\": invalid identifier"},
    {OraCode::InvalidNumberOfArgs, 909, "invalid number of arguments"},
    {OraCode::InvalidCharacter, 911, "invalid character"},
    {OraCode::TooManyValues, 913, "too many values"},
    {OraCode::ColumnAmbiguous, 918, "column ambiguously defined"},
    {OraCode::UnexpectedEnd, 921, "unexpected end of SQL command"},
    {OraCode::NotProperlyEnded, 933, "SQL command not properly ended"},
    {OraCode::GroupFunctionNotAllowed, 934, "group function is not allowed here"},
    {OraCode::MissingExpression, 936, "missing expression"},
    {OraCode::InconsistentTypes, 932, "inconsistent datatypes: expected %s got %s"},
    {OraCode::TableOrViewMissing, 942, "table or view does not exist"},
    {OraCode::NotEnoughValues, 947, "not enough values"},
    {OraCode::NameAlreadyUsed, 955, "name is already used by an existing object"},
    {OraCode::IdentifierTooLong, 972, "identifier is too long"},
    {OraCode::DatePlusDate, 975, "date + date not allowed"},
    {OraCode::UserRequestedCancel, 1013, "user requested cancel of current operation"},
    {OraCode::LogonDenied, 1017, "invalid username/password; logon denied"},
    {OraCode::IllegalVariable, 1036, "illegal variable name/number"},
    {OraCode::SavepointMissing, 1086, "savepoint '%s' never established"},
    {OraCode::CannotInsertNull, 1400, "cannot insert NULL into (%s)"},
    {OraCode::ValueTooLarge, 1401, "inserted value too large for column"},
    {OraCode::NoDataFound, 1403, "no data found"},
    {OraCode::TooManyRows, 1422, "exact fetch returns more than requested number of rows"},
    {OraCode::IndexMissing, 1418, "specified index does not exist"},
    {OraCode::NumericOverflow, 1426, "numeric overflow"},
    {OraCode::DivisorIsZero, 1476, "divisor is equal to zero"},
    {OraCode::InvalidNumber, 1722, "invalid number"},
    {OraCode::ViewNotModifiable, 1732, "data manipulation operation not legal on this view"},
    {OraCode::MissingDoubleQuote, 1740, "missing double quote in identifier"},
    {OraCode::ZeroLengthIdentifier, 1741, "illegal zero-length identifier"},
    {OraCode::UnterminatedString, 1756, "quoted string not properly terminated"},
    {OraCode::OrderByItemOutOfRange, 1785, "ORDER BY item must be the number of a SELECT-list expression"},
    {OraCode::ResultColumnCountDiffers, 1789, "query block has incorrect number of result columns"},
    {OraCode::DateFormatNotRecognized, 1821, "date format not recognized"},
    {OraCode::DateFormatTooShort, 1830, "date format picture ends before converting entire input string"},
    {OraCode::NotValidMonth, 1843, "not a valid month"},
    {OraCode::DayOfMonthRange, 1847, "day of month must be between 1 and last day of month"},
    {OraCode::LiteralFormatMismatch, 1861, "literal does not match format string"},
    {OraCode::SequenceMissing, 2289, "sequence does not exist"},
    {OraCode::CheckConstraint, 2290, "check constraint (%s) violated"},
    {OraCode::ParentKeyNotFound, 2291, "integrity constraint (%s) violated - parent key not found"},
    {OraCode::NotConnected, 3114, "not connected to ORACLE"},
    {OraCode::SequenceIncrementZero, 4002, "INCREMENT must be a non-zero integer"},
    {OraCode::OutOfMemory, 4030, "out of process memory"},
    {OraCode::ObjectMissing, 4043, "object %s does not exist"},
    {OraCode::PlsqlStorageError, 6500, "PL/SQL: storage error"},
    {OraCode::NumericOrValue, 6502, "PL/SQL: numeric or value error%s"},
    {OraCode::FunctionWithoutValue, 6503, "PL/SQL: Function returned without value"},
    {OraCode::ProgramUnitMissing, 6508, "PL/SQL: could not find program unit being called: \"%s\""},
    {OraCode::UnhandledUserException, 6510, "PL/SQL: unhandled user-defined exception"},
    {OraCode::HostArrayTooSmall, 6513, "PL/SQL: index for PL/SQL table out of range for host language array"},
    {OraCode::PlsqlCompilation, 6550, "line %s, column %s:\n%s"},
    {OraCode::CurrvalNotDefined, 8002, "sequence %s.CURRVAL is not yet defined in this session"},
    {OraCode::ReadOnlyDatabase, 16000, "database open for read-only access"},
    {OraCode::ApplicationErrorRange, 21000, "error number argument to raise_application_error of %s is out of range"},
    {OraCode::CompiledWithErrors, 24344, "success with compilation error"},
}};

constexpr bool tableFollowsEnum() {
    for (std::size_t i = 0; i < kErrors.size(); ++i) {
        if (static_cast<std::size_t>(kErrors[i].code) != i) return false;
    }
    return true;
}
static_assert(tableFollowsEnum(), "kErrors must list every OraCode in enum order");

// "ORA-NNNNN: " followed by `text` with its "%s" markers replaced by `args`.
std::string formatError(const ErrorText& entry, std::initializer_list<std::string> args) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", entry.number);
    std::string out = prefix;
    auto arg = args.begin();
    for (std::string_view rest = entry.text; !rest.empty();) {
        std::size_t mark = rest.find("%s");
        out.append(rest.substr(0, mark));
        if (mark == std::string_view::npos) break;
        if (arg != args.end()) out += *arg++;
        rest.remove_prefix(mark + 2);
    }
    return out;
}

// "T.C" in SQLite's constraint messages names a column by its stored table and
// column names; the server names them as the dictionary does.
std::string decodePath(const std::string& path, const char* separator, bool quoted) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = path.find('.', start);
        std::string part = decodeIdentifier(path.substr(start, dot - start));
        out += quoted ? "\"" + part + "\"" : part;
        if (dot == std::string::npos) return out;
        out += separator;
        start = dot + 1;
    }
}

// The first name in a "UNIQUE constraint failed: T.A, T.B" list.
std::string firstConstraintColumn(const std::string& list) {
    return list.substr(0, list.find(','));
}

OraError fromConstraint(int rc, const std::string& message) {
    const std::string detail = message.substr(message.find(':') + 1);
    const std::string column = firstConstraintColumn(detail.substr(detail.find_first_not_of(' ')));
    switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return OraError(OraCode::UniqueConstraint, {decodePath(column, ".", false)});
    case SQLITE_CONSTRAINT_NOTNULL:
        return OraError(OraCode::CannotInsertNull, {decodePath(column, ".", true)});
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return OraError(OraCode::ParentKeyNotFound, {"FOREIGN KEY"});
    default:
        if (column == kSizeConstraint) return OraError(OraCode::ValueTooLarge);
        if (column == kFiniteConstraint) return OraError(OraCode::NumericOverflow);
        return OraError(OraCode::CheckConstraint, {decodeIdentifier(column)});
    }
}

// How a SQLite message is recognised, and what of it the server's text names.
enum class Match { Prefix, Contains };
enum class Argument { None, Name, Path };  // the message text after the pattern

struct MessageRule {
    Match match;
    std::string_view pattern;
    OraCode code;
    Argument argument;
};

// SQLite's SQLITE_ERROR messages the server has its own words for, most
// specific first.
constexpr std::array<MessageRule, 20> kMessageRules{{
    {Match::Prefix, "no such table", OraCode::TableOrViewMissing, Argument::None},
    {Match::Prefix, "no such view", OraCode::TableOrViewMissing, Argument::None},
    {Match::Prefix, "use DROP ", OraCode::TableOrViewMissing, Argument::None},
    {Match::Prefix, "no such column: ", OraCode::InvalidIdentifier, Argument::Path},
    {Match::Contains, " has no column named ", OraCode::InvalidIdentifier, Argument::Name},
    {Match::Prefix, "no such function: ", OraCode::InvalidIdentifier, Argument::Name},
    {Match::Prefix, "wrong number of arguments", OraCode::InvalidNumberOfArgs, Argument::None},
    {Match::Prefix, "ambiguous column name", OraCode::ColumnAmbiguous, Argument::None},
    {Match::Prefix, "no such index", OraCode::IndexMissing, Argument::None},
    {Match::Prefix, "no such savepoint: ", OraCode::SavepointMissing, Argument::Name},
    {Match::Prefix, "misuse of aggregate", OraCode::GroupFunctionNotAllowed, Argument::None},
    {Match::Contains, "because it is a view", OraCode::ViewNotModifiable, Argument::None},
    {Match::Contains, "may not be modified", OraCode::ViewNotModifiable, Argument::None},
    {Match::Contains, "do not have the same number of result columns", OraCode::ResultColumnCountDiffers,
     Argument::None},
    {Match::Contains, "term out of range", OraCode::OrderByItemOutOfRange, Argument::None},
    {Match::Contains, "already exists", OraCode::NameAlreadyUsed, Argument::None},
    {Match::Prefix, "incomplete input", OraCode::UnexpectedEnd, Argument::None},
    {Match::Prefix, "near \"FROM\": syntax error", OraCode::MissingExpression, Argument::None},
    {Match::Contains, "syntax error", OraCode::InvalidSqlStatement, Argument::None},
    {Match::Contains, "unrecognized token", OraCode::InvalidCharacter, Argument::None},
}};

// "table T has 2 columns but 3 values were supplied", "3 values for 2 columns":
// the server says which side is short.
std::optional<OraError> fromValueCountMessage(const std::string& message) {
    int columns = 0;
    int values = 0;
    const bool tableForm = std::sscanf(message.c_str(), "table %*s has %d columns but %d values", &columns, &values) == 2;
    if (!tableForm && std::sscanf(message.c_str(), "%d values for %d columns", &values, &columns) != 2)
        return std::nullopt;
    return OraError(values > columns ? OraCode::TooManyValues : OraCode::NotEnoughValues);
}

OraError fromErrorMessage(const std::string& message) {
    if (auto counted = fromValueCountMessage(message)) return *counted;
    for (const MessageRule& rule : kMessageRules) {
        const std::size_t at = message.find(rule.pattern);
        if (at == std::string::npos || (rule.match == Match::Prefix && at != 0)) continue;
        const std::string rest = message.substr(at + rule.pattern.size());
        switch (rule.argument) {
        case Argument::None: return OraError(rule.code);
        case Argument::Name: return OraError(rule.code, {decodeIdentifier(rest)});
        case Argument::Path: return OraError(rule.code, {decodePath(rest, "\".\"", false)});
        }
    }
    return OraError(OraCode::InternalError, {"sqlite", message});
}

// The number of a message that already is a server error: "ORA-" and five digits.
std::optional<int> serverErrorNumber(const std::string& message) {
    constexpr std::size_t kDigits = 5;
    if (message.compare(0, 4, "ORA-") != 0 || message.size() < 4 + kDigits) return std::nullopt;
    int number = 0;
    for (std::size_t i = 4; i < 4 + kDigits; ++i) {
        if (message[i] < '0' || message[i] > '9') return std::nullopt;
        number = number * 10 + (message[i] - '0');
    }
    return number;
}

}  // namespace

OraError::OraError(OraCode code, std::initializer_list<std::string> args)
    : std::runtime_error(formatError(kErrors[static_cast<std::size_t>(code)], args)),
      number_(kErrors[static_cast<std::size_t>(code)].number) {}

OraError OraError::fromSqlite(sqlite3* db, int rc) {
    return fromSqlite(rc, db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

OraError::OraError(int number, const std::string& text) : std::runtime_error(text), number_(number) {}

OraError OraError::raisedAtBlockLine(std::size_t line) const { return withFrame("line " + std::to_string(line)); }

OraError OraError::withFrame(const std::string& place) const {
    return OraError(number_, std::string(what()) + "\nORA-06512: at " + place);
}

std::optional<std::string> OraError::textOf(int number) {
    for (const ErrorText& entry : kErrors) {
        if (entry.number == number) return formatError(entry, {});
    }
    return std::nullopt;
}

OraError OraError::withNumber(int number, const std::string& text) {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", number < 0 ? -number : number);
    return OraError(number < 0 ? -number : number, prefix + text);
}

std::string OraError::message() const {
    const std::string text = what();
    const std::size_t colon = text.find(": ");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

OraError OraError::fromSqlite(int rc, const std::string& message) {
    if (auto number = serverErrorNumber(message)) return OraError(*number, message);
    switch (rc & 0xff) {
    case SQLITE_CONSTRAINT: return fromConstraint(rc, message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return OraError(OraCode::ResourceBusy);
    case SQLITE_INTERRUPT: return OraError(OraCode::UserRequestedCancel);
    case SQLITE_NOMEM: return OraError(OraCode::OutOfMemory);
    case SQLITE_READONLY: return OraError(OraCode::ReadOnlyDatabase);
    case SQLITE_MISMATCH: return OraError(OraCode::InvalidNumber);
    case SQLITE_RANGE: return OraError(OraCode::IllegalVariable);
    case SQLITE_ERROR: return fromErrorMessage(message);
    default: return OraError(OraCode::InternalError, {"sqlite", message});
    }
}

}  // namespace engine
