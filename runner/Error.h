// Script diagnostics: the numbered error table and the report that ends a run.
#pragma once

#include "ErrorOut.h"
#include "Inp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Transl {

// Codes of the script errors; the numbers appear in every diagnostic.
enum class ErrorCode : std::int32_t {
    SyntaxError = 1,
    QuotesDoNotMatch = 2,          // kept in the table, raised by no check
    TokenExpected = 3,
    DoubleDeclaration = 4,
    IntegerExpected = 5,
    NotDeclared = 6,
    WrongType = 7,
    InvalidBounds = 8,
    ParenthesisMismatch = 9,
    EmptyArray = 10,               // kept in the table, raised by no check
    BracketsMismatch = 11,         // kept in the table, raised by no check
    BoundsMismatch = 12,
    SizeMismatch = 13,
    WrongStringExpression = 14,    // kept in the table, raised by no check
    LowerBoundNotOne = 15,
    UnrecognizedExpression = 16,   // kept in the table, raised by no check
    InvalidIndex = 17,
    LoopMismatch = 18,
    InvalidBoolean = 19,
    IfMismatch = 20,
    NotInitialized = 21,
    InvalidConnection = 22,
    TimedOut = 23,
    ParameterCount = 24,
    DeclarationNotAllowed = 25,
    UnrecognizedSymbol = 26,
    UnexpectedConstruction = 27,
};

// The message of an error code ("Syntax error" for 1, ...).
std::string_view errorMessage(ErrorCode code);

class Error : public Inp, public ErrorOut {
public:
    Error() = default;
    ~Error() override = default;

    // Text of the current token for reports; empty until a token has been read.
    virtual std::string currentTokenText() const;

    // Writes the numbered diagnostic (with the detail when one is given, even an
    // empty one) to this interpreter's error stream and ends the process with
    // status 1. Never returns.
    [[noreturn]] void reportError(ErrorCode code);
    [[noreturn]] void reportError(ErrorCode code, const std::string& detail);

    // Writes the internal-failure report; an empty detail is left out.
    void reportInternalFailure(const std::string& detail);

private:
    [[noreturn]] void endRun(ErrorCode code, const std::optional<std::string>& detail);
};

} // namespace Transl
