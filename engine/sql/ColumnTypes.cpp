// Type names and expressions mapped to the server's datatype codes and sizes.
#include "sql/ColumnTypes.h"

#include "sql/Catalog.h"
#include "sql/SqlTokenizer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace engine {
namespace {

constexpr unsigned kNumberSize = 22;       // bytes of the server's NUMBER format
constexpr unsigned kDateSize = 7;          // bytes of the server's DATE format
constexpr unsigned kLobSize = 4000;        // what a describe reports for a LOB
constexpr int kFloatingScale = -127;       // scale of a NUMBER without precision
constexpr int kIntegerPrecision = 38;      // INTEGER is NUMBER(38)
constexpr int kFloatPrecision = 126;       // binary digits of FLOAT
constexpr unsigned kDefaultRawSize = 2000; // RAW without a length: the largest

// How a declared type's optional "(n)" or "(p,s)" is read.
enum class Sizing { Length, PrecisionScale, Fixed };

// SQLite's own names (TEXT, NUM, INT, REAL) appear in tables made by
// CREATE TABLE ... AS SELECT, which declares columns by their affinity.
struct TypeName {
    std::string_view name;  // first word of the declared type, upper case
    InternalType type;
    Sizing sizing;
    unsigned size;   // size without a length, or the fixed size
    int precision;   // precision without one
    int scale;       // scale without one
};

constexpr std::array<TypeName, 21> kTypeNames{{
    {"VARCHAR2", InternalType::Varchar2, Sizing::Length, ColumnTypes::kMaxVarcharSize, 0, 0},
    {"VARCHAR", InternalType::Varchar2, Sizing::Length, ColumnTypes::kMaxVarcharSize, 0, 0},
    {"NVARCHAR2", InternalType::Varchar2, Sizing::Length, ColumnTypes::kMaxVarcharSize, 0, 0},
    {"TEXT", InternalType::Varchar2, Sizing::Length, ColumnTypes::kMaxVarcharSize, 0, 0},
    {"CHAR", InternalType::Char, Sizing::Length, 1, 0, 0},
    {"NCHAR", InternalType::Char, Sizing::Length, 1, 0, 0},
    {"CHARACTER", InternalType::Char, Sizing::Length, 1, 0, 0},
    {"NUMBER", InternalType::Number, Sizing::PrecisionScale, kNumberSize, 0, kFloatingScale},
    {"NUMERIC", InternalType::Number, Sizing::PrecisionScale, kNumberSize, 0, kFloatingScale},
    {"DECIMAL", InternalType::Number, Sizing::PrecisionScale, kNumberSize, 0, kFloatingScale},
    {"NUM", InternalType::Number, Sizing::PrecisionScale, kNumberSize, 0, kFloatingScale},
    {"INTEGER", InternalType::Number, Sizing::Fixed, kNumberSize, kIntegerPrecision, 0},
    {"INT", InternalType::Number, Sizing::Fixed, kNumberSize, kIntegerPrecision, 0},
    {"SMALLINT", InternalType::Number, Sizing::Fixed, kNumberSize, kIntegerPrecision, 0},
    {"FLOAT", InternalType::Number, Sizing::Fixed, kNumberSize, kFloatPrecision, kFloatingScale},
    {"REAL", InternalType::Number, Sizing::Fixed, kNumberSize, kFloatPrecision, kFloatingScale},
    {"DOUBLE", InternalType::Number, Sizing::Fixed, kNumberSize, kFloatPrecision, kFloatingScale},
    {"DATE", InternalType::Date, Sizing::Fixed, kDateSize, 0, 0},
    {"RAW", InternalType::Raw, Sizing::Length, kDefaultRawSize, 0, 0},
    {"CLOB", InternalType::Clob, Sizing::Fixed, kLobSize, 0, 0},
    {"BLOB", InternalType::Blob, Sizing::Fixed, kLobSize, 0, 0},
}};

void describeAs(InternalType type, unsigned size, int precision, int scale, ColumnDescription& column) {
    column.type = type;
    column.size = size;
    column.precision = precision;
    column.scale = scale;
}

// Applies "(a)" or "(a,b)" read from `args` (a null entry when absent).
void applySizing(const TypeName& entry, const long* args, ColumnDescription& column) {
    describeAs(entry.type, entry.size, entry.precision, entry.scale, column);
    if (args[0] < 0 || entry.sizing == Sizing::Fixed) return;
    if (entry.sizing == Sizing::Length) {
        column.size = static_cast<unsigned>(args[0]);
    } else {
        column.precision = static_cast<int>(args[0]);
        column.scale = args[1] < 0 ? 0 : static_cast<int>(args[1]);
    }
}



// Functions whose result type does not depend on their arguments.
struct FunctionType {
    std::string_view name;
    InternalType type;
};

constexpr std::array<FunctionType, 30> kFunctionTypes{{
    {"COUNT", InternalType::Number},   {"SUM", InternalType::Number},
    {"AVG", InternalType::Number},     {"ABS", InternalType::Number},
    {"ROUND", InternalType::Number},   {"TRUNC", InternalType::Number},
    {"MOD", InternalType::Number},     {"LENGTH", InternalType::Number},
    {"INSTR", InternalType::Number},   {"CEIL", InternalType::Number},
    {"FLOOR", InternalType::Number},   {"POWER", InternalType::Number},
    {"SIGN", InternalType::Number},    {"TO_NUMBER", InternalType::Number},
    {"ROW_NUMBER", InternalType::Number},
    {kNextvalFunction, InternalType::Number}, {kCurrvalFunction, InternalType::Number},
    {"UPPER", InternalType::Varchar2}, {"LOWER", InternalType::Varchar2},
    {kSubstrFunction, InternalType::Varchar2}, {"TO_CHAR", InternalType::Varchar2},
    {"TRIM", InternalType::Varchar2},  {"LTRIM", InternalType::Varchar2},
    {"RTRIM", InternalType::Varchar2}, {"REPLACE", InternalType::Varchar2},
    {"LPAD", InternalType::Varchar2},  {"TO_DATE", InternalType::Date},
    {"ADD_MONTHS", InternalType::Date}, {"LAST_DAY", InternalType::Date},
    {kSysdateFunction, InternalType::Date},
}};

void describeKind(InternalType type, ColumnDescription& column) {
    switch (type) {
    case InternalType::Number: describeAs(type, kNumberSize, 0, kFloatingScale, column); break;
    case InternalType::Date: describeAs(type, kDateSize, 0, 0, column); break;
    default: describeAs(InternalType::Varchar2, ColumnTypes::kMaxVarcharSize, 0, 0, column); break;
    }
}

// The operator at nesting depth 0 that decides an expression's type, if any.
std::optional<InternalType> topLevelOperatorType(const std::vector<SqlToken>& tokens) {
    int depth = 0;
    for (const SqlToken& token : tokens) {
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (depth != 0 || token.kind != SqlTokenKind::Symbol) continue;
        if (token.text == "||") return InternalType::Varchar2;
        if (token.text == "+" || token.text == "-" || token.text == "*" || token.text == "/")
            return InternalType::Number;
    }
    return std::nullopt;
}

std::string functionName(const SqlToken& token) {
    return token.kind == SqlTokenKind::QuotedName ? identifierName(std::string(token.text))
                                                  : upperCaseAscii(token.text);
}

// Whether the chain argument that starts at token `begin` (depth 1) is a plain,
// possibly dotted, name; sets `end` to the token after the argument.
bool plainNameArgument(const std::vector<SqlToken>& tokens, std::size_t begin, std::size_t& end) {
    end = begin;
    while (end < tokens.size() && tokens[end].isName()) {
        ++end;
        if (end < tokens.size() && tokens[end].isSymbol(".")) ++end;
        else break;
    }
    return end > begin && end < tokens.size() && (tokens[end].isSymbol(",") || tokens[end].isSymbol(")"));
}

// The type of an additive chain call, from its arguments: text when it
// concatenates, a date when one operand is a date (date +/- days), else a
// number (numbers, or the days between two dates).
InternalType chainType(const std::vector<SqlToken>& tokens, const ColumnTypes::DateColumnTest& isDateColumn) {
    int depth = 0;
    int dates = 0;
    bool argumentStart = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const bool opening = tokens[i].isSymbol("(");
        depth += opening ? 1 : tokens[i].isSymbol(")") ? -1 : 0;
        const bool startsArgument = argumentStart;
        argumentStart = depth == 1 && (opening || tokens[i].isSymbol(","));
        if (depth != 1 || opening) continue;
        if (tokens[i].kind == SqlTokenKind::String && tokens[i].text == "'||'") return InternalType::Varchar2;
        const bool call = i + 1 < tokens.size() && tokens[i + 1].isSymbol("(");
        const std::string name = functionName(tokens[i]);
        if (call && (name == kSysdateFunction || name == "TO_DATE")) ++dates;
        std::size_t end = i;
        if (startsArgument && isDateColumn && plainNameArgument(tokens, i, end)) {
            const std::size_t length = tokens[end].offset - tokens[i].offset;
            const std::string operand(tokens[i].text.data(), length);
            if (isDateColumn(operand)) ++dates;
        }
    }
    return dates == 1 ? InternalType::Date : InternalType::Number;
}

std::optional<InternalType> namedFunctionType(const std::string& name) {
    for (const FunctionType& entry : kFunctionTypes) {
        if (entry.name == name) return entry.type;
    }
    return std::nullopt;
}

// The type of an expression that starts with a function call. TRUNC and
// ROUND give a date when their first argument is a date-valued call.
std::optional<InternalType> leadingFunctionType(const std::vector<SqlToken>& tokens,
                                                const ColumnTypes::DateColumnTest& isDateColumn) {
    if (tokens.size() < 2 || !tokens[1].isSymbol("(")) return std::nullopt;
    const std::string name = functionName(tokens[0]);
    if (name == kChainFunction) return chainType(tokens, isDateColumn);
    const bool innerCall = tokens.size() > 3 && tokens[3].isSymbol("(");
    if ((name == "TRUNC" || name == "ROUND") && innerCall &&
        namedFunctionType(functionName(tokens[2])) == InternalType::Date)
        return InternalType::Date;
    return namedFunctionType(name);
}

// The length in bytes of the text a quoted literal stands for ('' is one quote).
unsigned literalLength(std::string_view literal) {
    const std::string_view inner = literal.substr(1, literal.size() - 2);
    std::size_t doubled = 0;
    for (std::size_t at = inner.find("''"); at != std::string_view::npos; at = inner.find("''", at + 2)) ++doubled;
    return static_cast<unsigned>(inner.size() - doubled);
}

}  // namespace

void ColumnTypes::fromDeclaredType(const std::string& declared, ColumnDescription& column) {
    const SqlTokenizer tokenizer(declared);
    const std::vector<SqlToken> tokens = tokenizer.significantTokens();
    describeAs(InternalType::Varchar2, kMaxVarcharSize, 0, 0, column);
    if (tokens.empty() || tokens[0].kind != SqlTokenKind::Word) return;
    const std::string name = upperCaseAscii(tokens[0].text);
    if (name == "LONG") {
        const bool raw = tokens.size() > 1 && tokens[1].isWord("RAW");
        describeAs(raw ? InternalType::LongRaw : InternalType::Long, 0, 0, 0, column);
        return;
    }
    long args[2] = {-1, -1};
    std::size_t argCount = 0;
    for (const SqlToken& token : tokens) {
        if (token.kind == SqlTokenKind::Number && argCount < 2)
            args[argCount++] = std::strtol(std::string(token.text).c_str(), nullptr, 10);
    }
    for (const TypeName& entry : kTypeNames) {
        if (entry.name == name) return applySizing(entry, args, column);
    }
}

bool ColumnTypes::fromExpression(const std::string& expression, ColumnDescription& column,
                                 const DateColumnTest& isDateColumn) {
    const SqlTokenizer tokenizer(expression);
    const std::vector<SqlToken> tokens = tokenizer.significantTokens();
    if (tokens.empty()) return false;
    if (auto type = topLevelOperatorType(tokens)) {
        describeKind(*type, column);
    } else if (auto function = leadingFunctionType(tokens, isDateColumn)) {
        describeKind(*function, column);
    } else if (tokens.size() == 1 && tokens[0].kind == SqlTokenKind::Number) {
        describeKind(InternalType::Number, column);
    } else if (tokens.size() == 1 && tokens[0].kind == SqlTokenKind::String) {
        // The server describes a literal 'abc' as CHAR(3).
        describeAs(InternalType::Char, std::max(literalLength(tokens[0].text), 1u), 0, 0, column);
    } else {
        return false;
    }
    return true;
}

}  // namespace engine
