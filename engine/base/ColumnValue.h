// One value of a query's current row, as the fetch conversions read it:
// straight from the SQLite statement, or from a copy the cursor took when it
// had to let go of the statement before the rows were all fetched.
#pragma once

#include <sqlite3.h>

#include <cstddef>

namespace engine {

class ColumnValue {
public:
    // Column `column` of the row `stmt` is on, valid until the row moves on. The
    // column's value is taken once and read through the value calls: each column
    // call would find the column again and check the connection's allocation
    // state around it. SQLite calls the value unprotected, which only means it
    // takes no mutex; the engine opens its connections without SQLite's mutexes
    // and runs the calls of one connection one at a time anyway.
    ColumnValue(sqlite3_stmt* stmt, int column) : value_(sqlite3_column_value(stmt, column)) {}
    // A copied value (from sqlite3_value_dup); not owned.
    explicit ColumnValue(sqlite3_value* value) : value_(value) {}

    int type() const { return sqlite3_value_type(value_); }
    // Text form; valid until the row moves on. Call before bytes(), as SQLite
    // computes the length of the form asked for last.
    const char* text() const { return reinterpret_cast<const char*>(sqlite3_value_text(value_)); }
    const void* blob() const { return sqlite3_value_blob(value_); }
    std::size_t bytes() const { return static_cast<std::size_t>(sqlite3_value_bytes(value_)); }
    double real() const { return sqlite3_value_double(value_); }
    sqlite3_int64 integer() const { return sqlite3_value_int64(value_); }

private:
    sqlite3_value* value_;  // the column's value or the copy; not owned
};

}  // namespace engine
