// Fixed messages of the connection, cursor, query and describe classes, each
// written once. Internal to the library, except that the public row template
// reads one of them.
#pragma once

namespace Oracle {
namespace Messages {

// Also the answer to a second logon on a connected object, and to any use of
// the handles of a connection that is not logged on.
constexpr const char* NotConnected = "Not connected to Oracle";
constexpr const char* ConnStrTooLong = "Connect string must have at most 99 characters";
constexpr const char* ConnStrTooManyParts = "Connect string must have at most three parts";
constexpr const char* ConnStrNoPassword = "Connect string must give a user name and a password";
constexpr const char* ForeignConnection = "The connection does not belong to this library build";
constexpr const char* NoConnection = "No connection is set";
constexpr const char* BreakNotAvailable = "A running call cannot be interrupted over this call interface";

constexpr const char* CursorAlreadyOpen = "\"ODbCursor\" object instance is already open";
constexpr const char* CursorClosed = "\"ODbCursor\" object instance close";
constexpr const char* SqlNotValid = "SQL statement must be valid";
constexpr const char* PlaceholderNameEmpty = "Placeholder name must not be empty";
constexpr const char* IterationsExceedArray = "Iteration count exceeds the array size of a bound variable";
constexpr const char* FetchSizeTooSmall = "Fetch size must be at least 1";

constexpr const char* QueryMustBeClosed = "ODbQuery instance must be close";
constexpr const char* QueryMustBeOpen = "ODbQuery instance must be open";
constexpr const char* NotASelect = "SQL select... statement must be processed";
constexpr const char* IsASelect = "SQL \"select...\" statement must not be processed";
constexpr const char* ColumnNameMismatch = "Query result set column position does not match its name";
constexpr const char* NoSuchColumn = "Query result set has no such column";
constexpr const char* NoSuchParameter = "Query has no such parameter";
constexpr const char* ParameterNotTyped = "Query parameter must be typed before execution";
constexpr const char* IterationsTooFew = "Iteration count must be at least 1";

constexpr const char* NotAProcedure = "Must be a stored procedure, not a function";
constexpr const char* HostVariablesBound = "Host variables already bound";
constexpr const char* SprocMustBeClosed = "ODbSproc instance must be closed";
constexpr const char* SprocMustBeOpen = "ODbSproc instance must be open";
constexpr const char* NoSprocDescription = "ODbSproc instance has no stored procedure description";
constexpr const char* NoSuchArgument = "Stored procedure has no such argument";
constexpr const char* NotProcedureOrFunction = "The object to be described is not procedure or function";

constexpr const char* ParameterNull = "Parameter can not be null";
constexpr const char* InternalDescribe = "Internal describe exception";

} // namespace Messages
} // namespace Oracle
