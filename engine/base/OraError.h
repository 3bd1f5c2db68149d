// The engine's one error type: a server error number with its text, reported as
// "ORA-NNNNN: text" exactly as the vendor's server words it.
//
// Every failure the engine reports through an error handle is an OraError; the
// SQLite failures are mapped onto the server's numbers by fromSqlite().
#pragma once

#include "base/InternalApi.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>

struct sqlite3;

namespace engine {

// The server errors the engine raises. Each has one fixed text in OraError.cpp
// (table checked against this enum); "%s" in a text is filled by the arguments.
enum class OraCode {
    UniqueConstraint,         // ORA-00001 (constraint name)
    ResourceBusy,             // ORA-00054
    InternalError,            // ORA-00600 (detail)
    InvalidSqlStatement,      // ORA-00900
    InvalidIdentifier,        // ORA-00904 (identifier)
    InvalidNumberOfArgs,      // ORA-00909
    InvalidCharacter,         // ORA-00911
    TooManyValues,            // ORA-00913
    ColumnAmbiguous,          // ORA-00918
    UnexpectedEnd,            // ORA-00921
    NotProperlyEnded,         // ORA-00933
    GroupFunctionNotAllowed,  // ORA-00934
    MissingExpression,        // ORA-00936
    InconsistentTypes,        // ORA-00932 (expected, got)
    TableOrViewMissing,       // ORA-00942
    NotEnoughValues,          // ORA-00947
    NameAlreadyUsed,          // ORA-00955
    IdentifierTooLong,        // ORA-00972
    DatePlusDate,             // ORA-00975
    UserRequestedCancel,      // ORA-01013
    LogonDenied,              // ORA-01017
    IllegalVariable,          // ORA-01036
    SavepointMissing,         // ORA-01086 (savepoint name)
    CannotInsertNull,         // ORA-01400 (column path)
    ValueTooLarge,            // ORA-01401
    NoDataFound,              // ORA-01403
    TooManyRows,              // ORA-01422
    IndexMissing,             // ORA-01418
    NumericOverflow,          // ORA-01426
    DivisorIsZero,            // ORA-01476
    InvalidNumber,            // ORA-01722
    ViewNotModifiable,        // ORA-01732
    MissingDoubleQuote,       // ORA-01740
    ZeroLengthIdentifier,     // ORA-01741
    UnterminatedString,       // ORA-01756
    OrderByItemOutOfRange,    // ORA-01785
    ResultColumnCountDiffers, // ORA-01789
    DateFormatNotRecognized,  // ORA-01821
    DateFormatTooShort,       // ORA-01830
    NotValidMonth,            // ORA-01843
    DayOfMonthRange,          // ORA-01847
    LiteralFormatMismatch,    // ORA-01861
    SequenceMissing,          // ORA-02289
    CheckConstraint,          // ORA-02290 (constraint name)
    ParentKeyNotFound,        // ORA-02291 (constraint name)
    NotConnected,             // ORA-03114
    SequenceIncrementZero,    // ORA-04002
    OutOfMemory,              // ORA-04030
    ObjectMissing,            // ORA-04043 (object name)
    PlsqlStorageError,        // ORA-06500
    NumericOrValue,           // ORA-06502 (": detail" or nothing)
    FunctionWithoutValue,     // ORA-06503
    ProgramUnitMissing,       // ORA-06508 (unit name)
    UnhandledUserException,   // ORA-06510
    HostArrayTooSmall,        // ORA-06513
    PlsqlCompilation,         // ORA-06550 (line, column, PLS text)
    CurrvalNotDefined,        // ORA-08002 (sequence name)
    ReadOnlyDatabase,         // ORA-16000
    ApplicationErrorRange,    // ORA-21000 (number)
    CompiledWithErrors,       // ORA-24344
    Count
};

class ENGINE_INTERNAL_API OraError : public std::runtime_error {
public:
    // The server error `code` with its text's "%s" markers filled, in order, by
    // `args` (a marker without an argument is left empty).
    explicit OraError(OraCode code, std::initializer_list<std::string> args = {});

    // The error for a failed SQLite call: `rc` is the (extended) result code and
    // `db` the connection whose sqlite3_errmsg() explains it (may be null).
    static OraError fromSqlite(sqlite3* db, int rc);
    // As above, with SQLite's message given directly. A message that already is
    // a server error ("ORA-NNNNN: ...", as the engine's SQL functions raise them)
    // is kept as it stands.
    static OraError fromSqlite(int rc, const std::string& message);

    // This error as an anonymous block hands it on when the statement at
    // `line` (1-based) of the block raised it: the server adds the frame
    // "ORA-06512: at line N" under the error's own text; the number stays.
    OraError raisedAtBlockLine(std::size_t line) const;

    // An error of the number and text a program chose: a user exception
    // raised with RAISE_APPLICATION_ERROR (-20000 .. -20999), or one handed on
    // unchanged. `text` is what follows "ORA-NNNNN: ".
    static OraError withNumber(int number, const std::string& text);
    // This error with the frame "ORA-06512: at `place`" added under its text,
    // as the server adds one for every program unit an error escapes from.
    OraError withFrame(const std::string& place) const;
    // "ORA-NNNNN: text" of server error `number` when the engine knows it,
    // with its "%s" markers left empty; nothing otherwise.
    static std::optional<std::string> textOf(int number);
    // The text after "ORA-NNNNN: " (the whole text for SQLERRM is what()).
    std::string message() const;

    // The server's error number, e.g. 942.
    int number() const noexcept { return number_; }
    // what() is the full "ORA-NNNNN: text" (no trailing newline).

private:
    OraError(int number, const std::string& text);

    int number_;  // the server's error number
};

}  // namespace engine
