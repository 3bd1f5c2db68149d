// Conversion between the call interface's external datatypes and SQLite values,
// one entry per external type in a single table (ValueCodec.cpp).
//
// Binding reads one element of a client buffer and binds it to an SQLite
// parameter (or sets a BindTarget the same way); fetching reads one column of
// the current row into one element of a client buffer. NULL indicators,
// return codes and array strides are the callers' (BindHandle,
// DefineHandle); the codec sees one element at a time.
#pragma once

#include "base/BindTarget.h"
#include "base/ColumnValue.h"
#include "oci.h"

#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace engine {

// One element of a bound buffer.
struct BindElement {
    const ub1* data;  // the element
    sb4 capacity;     // value_sz of the bind: bytes available at data
    long length;      // length from the bind's length array, or -1 when none
    bool copy;        // SQLite must copy (the buffer may change before the value is read)
};

// One element of a defined buffer, and what the fetch put there.
struct FetchTarget {
    ub1* data;             // the element
    sb4 capacity;          // value_sz of the define
    int columnType;        // SQLite's type of the value (SQLITE_INTEGER ...), never SQLITE_NULL
    ub4 written = 0;       // bytes written (the returned length)
    ub4 fullLength = 0;    // the value's full length, for truncation reports
    bool truncated = false;
};

class ValueCodec {
public:
    using BindFunction = void (*)(BindTarget& target, const BindElement& element);
    using FetchFunction = void (*)(const ColumnValue& value, FetchTarget& target);

    // The codec of external type `dty`; ORA-03115 for a type the engine does
    // not convert.
    static const ValueCodec& forType(ub2 dty);

    // Binds a NULL when the element is empty, as the server treats an empty
    // string or raw as NULL.
    void bind(sqlite3_stmt* stmt, int parameter, const BindElement& element) const {
        ParameterTarget target(stmt, parameter);
        bindFunction(target, element);
    }
    void bind(BindTarget& target, const BindElement& element) const { bindFunction(target, element); }
    // The value is not NULL (the caller handles NULL). An infinite number
    // (SQLite's result of an overflow) is ORA-01426, whatever the target type:
    // the server has no such number to give.
    void fetch(const ColumnValue& value, FetchTarget& target) const;

    // `value` as the text a client sees (numbers formatted, raw bytes as
    // hexadecimal); `scratch` holds it when it is not SQLite's own text.
    // `type` is the value's SQLite type.
    static std::string_view columnText(const ColumnValue& value, int type, std::string& scratch);
    // The bytes of `value`: a raw value's bytes, anything else's text.
    static std::string_view columnBytes(const ColumnValue& value, std::string& scratch);

    ub2 type;                    // external datatype code
    BindFunction bindFunction;   // element -> parameter
    FetchFunction fetchFunction; // column -> element
};

}  // namespace engine
