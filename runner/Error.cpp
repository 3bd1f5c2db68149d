// The error table and the layout of diagnostics and internal-failure reports.
#include "Error.h"

#include <array>
#include <cstdlib>

namespace Transl {

namespace {

struct ErrorEntry {
    ErrorCode code;
    std::string_view message;
};

// Indexed by code - 1; each message is written here once.
constexpr std::array<ErrorEntry, 27> kErrors{{
    {ErrorCode::SyntaxError, "Syntax error"},
    {ErrorCode::QuotesDoNotMatch, "Quotes does not match"},
    {ErrorCode::TokenExpected, "Token expected"},
    {ErrorCode::DoubleDeclaration, "Double declaration"},
    {ErrorCode::IntegerExpected, "Integer value expected"},
    {ErrorCode::NotDeclared, "Variable is not declared"},
    {ErrorCode::WrongType, "Expression is of wrong type"},
    {ErrorCode::InvalidBounds, "Invalid array bounds"},
    {ErrorCode::ParenthesisMismatch, "Parenthesis does not match"},
    {ErrorCode::EmptyArray, "Empty array"},
    {ErrorCode::BracketsMismatch, "Square brackets does not match"},
    {ErrorCode::BoundsMismatch, "Array bounds do not match"},
    {ErrorCode::SizeMismatch, "Variable size does not match"},
    {ErrorCode::WrongStringExpression, "Wrong string expression"},
    {ErrorCode::LowerBoundNotOne, "The lower array bound must be equal 1"},
    {ErrorCode::UnrecognizedExpression, "Unrecognized expression"},
    {ErrorCode::InvalidIndex, "Invalid array index"},
    {ErrorCode::LoopMismatch, "EW does not match DOWHILE"},
    {ErrorCode::InvalidBoolean, "Invalid boolean expression"},
    {ErrorCode::IfMismatch, "IF does not match ENDIF"},
    {ErrorCode::NotInitialized, "Variable is not initialized"},
    {ErrorCode::InvalidConnection, "Invalid Oracle connection Identifier"},
    {ErrorCode::TimedOut, "Oracle SQL execution timed out"},
    {ErrorCode::ParameterCount, "Invalid number of parameters in a function call"},
    {ErrorCode::DeclarationNotAllowed, "Declaration is not allowed here"},
    {ErrorCode::UnrecognizedSymbol, "Unrecognized symbol"},
    {ErrorCode::UnexpectedConstruction, "Unexpected construction"},
}};
static_assert(kErrors.size() == static_cast<std::size_t>(ErrorCode::UnexpectedConstruction),
              "one entry per error code");

constexpr bool errorTableInCodeOrder()
{
    for (std::size_t i = 0; i < kErrors.size(); ++i)
        if (static_cast<std::size_t>(kErrors[i].code) != i + 1)
            return false;
    return true;
}
static_assert(errorTableInCodeOrder(), "entry i holds code i + 1");

// Status of a run that a script error ended.
constexpr int kScriptErrorStatus = 1;

} // namespace

std::string_view errorMessage(ErrorCode code)
{
    const auto index = static_cast<std::size_t>(code) - 1;
    return index < kErrors.size() ? kErrors[index].message : std::string_view();
}

std::string Error::currentTokenText() const
{
    return std::string();
}

void Error::reportError(ErrorCode code)
{
    endRun(code, std::nullopt);
}

void Error::reportError(ErrorCode code, const std::string& detail)
{
    endRun(code, detail);
}

void Error::endRun(ErrorCode code, const std::optional<std::string>& detail)
{
    std::string text = "Error #" + std::to_string(static_cast<std::int32_t>(code)) + "-";
    text += errorMessage(code);
    if (detail)
        text += "\n DETAIL INFORMATION: \"" + *detail + "\"";
    text += "\n ERROR IN LINE: " + std::to_string(lineNumber());
    text += " TOKEN :\"" + currentTokenText() + "\"";
    writeError(text);
    writeError("\n");
    // Static tear-down still runs: the main interpreter closes its files.
    std::exit(kScriptErrorStatus);
}

void Error::reportInternalFailure(const std::string& detail)
{
    writeError("\n\nInternal exception.\n");
    const std::string token = currentTokenText();
    if (!token.empty())
        writeError("TOKEN: " + token + "\n");
    if (!detail.empty())
        writeError("DETAIL INFORMATION: " + detail + "\n");
}

} // namespace Transl
