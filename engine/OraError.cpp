// The server's error texts and the mapping of SQLite failures onto them.
#include "OraError.h"

#include "SqlDialect.h"

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
    {OraCode::NotProperlyEnded, 933, "SQL command not properly ended"},
    {OraCode::UnexpectedEnd, 921, "unexpected end of SQL command"},
    {OraCode::MissingExpression, 936, "missing expression"},
    {OraCode::TableOrViewMissing, 942, "table or view does not exist"},
    {OraCode::NameAlreadyUsed, 955, "name is already used by an existing object"},
    {OraCode::IdentifierTooLong, 972, "identifier is too long"},
    {OraCode::UserRequestedCancel, 1013, "user requested cancel of current operation"},
    {OraCode::LogonDenied, 1017, "invalid username/password; logon denied"},
    {OraCode::IllegalVariable, 1036, "illegal variable name/number"},
    {OraCode::CannotInsertNull, 1400, "cannot insert NULL into (%s)"},
    {OraCode::NoDataFound, 1403, "no data found"},
    {OraCode::InvalidNumber, 1722, "invalid number"},
    {OraCode::MissingDoubleQuote, 1740, "missing double quote in identifier"},
    {OraCode::ZeroLengthIdentifier, 1741, "illegal zero-length identifier"},
    {OraCode::UnterminatedString, 1756, "quoted string not properly terminated"},
    {OraCode::DateFormatNotRecognized, 1821, "date format not recognized"},
    {OraCode::DateFormatTooShort, 1830, "date format picture ends before converting entire input string"},
    {OraCode::NotValidMonth, 1843, "not a valid month"},
    {OraCode::DayOfMonthRange, 1847, "day of month must be between 1 and last day of month"},
    {OraCode::LiteralFormatMismatch, 1861, "literal does not match format string"},
    {OraCode::SequenceMissing, 2289, "sequence does not exist"},
    {OraCode::SequenceIncrementZero, 4002, "INCREMENT must be a non-zero integer"},
    {OraCode::CheckConstraint, 2290, "check constraint (%s) violated"},
    {OraCode::ParentKeyNotFound, 2291, "integrity constraint (%s) violated - parent key not found"},
    {OraCode::NotConnected, 3114, "not connected to ORACLE"},
    {OraCode::ObjectMissing, 4043, "object %s does not exist"},
    {OraCode::OutOfMemory, 4030, "out of process memory"},
    {OraCode::PlsqlCompilation, 6550, "line %s, column %s:\n%s"},
    {OraCode::CurrvalNotDefined, 8002, "sequence %s.CURRVAL is not yet defined in this session"},
    {OraCode::ReadOnlyDatabase, 16000, "database open for read-only access"},
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

// What follows `prefix` in `message`, or nullopt when the message does not start so.
std::optional<std::string> after(const std::string& message, std::string_view prefix) {
    if (message.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return message.substr(prefix.size());
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
        return OraError(OraCode::CheckConstraint, {decodeIdentifier(column)});
    }
}

// The table of SQLite's SQLITE_ERROR messages the server has its own words for.
OraError fromErrorMessage(const std::string& message) {
    if (after(message, "no such table") || after(message, "no such view"))
        return OraError(OraCode::TableOrViewMissing);
    if (auto name = after(message, "no such column: "))
        return OraError(OraCode::InvalidIdentifier, {decodePath(*name, "\".\"", false)});
    if (auto name = after(message, "no such function: "))
        return OraError(OraCode::InvalidIdentifier, {decodeIdentifier(*name)});
    if (after(message, "wrong number of arguments"))
        return OraError(OraCode::InvalidNumberOfArgs);
    if (message.find("already exists") != std::string::npos)
        return OraError(OraCode::NameAlreadyUsed);
    if (after(message, "incomplete input")) return OraError(OraCode::UnexpectedEnd);
    if (after(message, "near \"FROM\": syntax error")) return OraError(OraCode::MissingExpression);
    if (message.find("syntax error") != std::string::npos)
        return OraError(OraCode::InvalidSqlStatement);
    if (message.find("unrecognized token") != std::string::npos)
        return OraError(OraCode::InvalidCharacter);
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
