// A value of the block language: NULL, a number, text, raw bytes, a date (in
// the engine's stored text form), a BOOLEAN, or a composite (an index-by
// table or a record). Composites have value semantics as in the server's
// language: a copy shares the elements until one side changes them.
#pragma once

#include "base/BindTarget.h"
#include "base/ColumnValue.h"
#include "plsql/PlsqlElements.h"
#include "plsql/PlsqlType.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_stmt;
struct sqlite3_value;

namespace engine {

struct PlsqlValue;

// The elements of a table (by index) or the fields of a record (in order).
struct PlsqlComposite {
    PlsqlElements elements;
    std::vector<PlsqlValue> fields;
    TypeRef elementType;  // a table's, so that an element written first through a field is made whole
};

struct PlsqlValue {
    enum class Kind : std::uint8_t { Null, Number, Text, Raw, Date, Boolean, Table, Record };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // Text, Raw (the bytes), Date (stored text)
    std::shared_ptr<PlsqlComposite> composite;  // Table, Record

    static PlsqlValue ofNumber(double value);
    static PlsqlValue ofText(std::string value);  // empty text is NULL, as on the server
    static PlsqlValue ofBoolean(bool value);
    // An empty table, or a record of NULL (or empty composite) fields.
    static PlsqlValue emptyOf(const PlsqlType& type);
    // The value SQLite holds: integers and reals are numbers, blobs raw.
    static PlsqlValue fromSqlite(sqlite3_value* value) { return of(ColumnValue(value)); }
    static PlsqlValue of(const ColumnValue& value);

    bool isNull() const { return kind == Kind::Null; }
    // A number SQLite can hold as an integer without losing a digit.
    bool isExactInteger() const;
    // The composite, copied first when another value shares it.
    PlsqlComposite& mutableComposite();

    // Conversions as the language applies them implicitly; ORA-06502 for
    // what does not convert.
    double toNumber() const;
    std::string toText() const;  // numbers as the server shows them, raw as hex
    // The value converted to `type` for an assignment: rounded to a NUMBER's
    // scale, checked against its precision and a text's size (ORA-06502).
    PlsqlValue convertedTo(const PlsqlType& type) const;
    // Binds the value to SQLite parameter `parameter` of `stmt`.
    void bindTo(sqlite3_stmt* stmt, int parameter) const {
        ParameterTarget target(stmt, parameter);
        bindTo(target);
    }
    // Sets `target` as a parameter bound to the value; `copy`: the target
    // must copy the bytes, as they may go before it is read.
    void bindTo(BindTarget& target, bool copy = true) const;
};

// The comparison of two scalar values: NULL when either is NULL, else <0, 0
// or >0. Numbers compare as numbers, a number with text as numbers.
std::optional<int> compareValues(const PlsqlValue& left, const PlsqlValue& right);

}  // namespace engine
