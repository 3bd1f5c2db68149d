// The server's view of a column's type: from a declared type name as SQLite
// keeps it ("VARCHAR2(20)", "NUMBER(10,2)", "LONG TEXT"), or, for a query
// expression that has none, from what the expression's text implies.
#pragma once

#include <functional>
#include <string>

namespace engine {

struct ColumnDescription;

class ColumnTypes {
public:
    // Fills type, size, precision and scale of `column` from a declared type.
    // An unknown or empty name is described as VARCHAR2 of the largest size.
    static void fromDeclaredType(const std::string& declared, ColumnDescription& column);

    // Fills them from an expression's text (the translated SQL of a select-list
    // item): COUNT(*), arithmetic and numeric functions give NUMBER, text
    // literals CHAR of their length, text functions and "||" VARCHAR2, date
    // functions DATE. An additive chain with one date operand is a DATE (a date
    // plus or minus days); `isDateColumn` tells whether an operand that is a
    // plain (dotted) name reads a DATE column. Returns false (and leaves
    // `column` alone) when the text implies nothing.
    using DateColumnTest = std::function<bool(const std::string& operand)>;
    static bool fromExpression(const std::string& expression, ColumnDescription& column,
                               const DateColumnTest& isDateColumn = {});

    // The largest VARCHAR2, used where the server would know a size and the
    // engine does not.
    static constexpr unsigned kMaxVarcharSize = 4000;
};

}  // namespace engine
