// One value of a query's current row, as the fetch conversions read it:
// straight from the SQLite statement, or from a copy the cursor took when it
// had to let go of the statement before the rows were all fetched.
#pragma once

#include <sqlite3.h>

#include <cstddef>

namespace engine {

class ColumnValue {
public:
    // Column `column` of the row `stmt` is on.
    ColumnValue(sqlite3_stmt* stmt, int column) : stmt_(stmt), column_(column) {}
    // A copied value (from sqlite3_value_dup); not owned.
    explicit ColumnValue(sqlite3_value* value) : value_(value) {}

    int type() const { return value_ ? sqlite3_value_type(value_) : sqlite3_column_type(stmt_, column_); }
    // Text form; valid until the row moves on. Call before bytes(), as SQLite
    // computes the length of the form asked for last.
    const char* text() const {
        const unsigned char* text = value_ ? sqlite3_value_text(value_) : sqlite3_column_text(stmt_, column_);
        return reinterpret_cast<const char*>(text);
    }
    const void* blob() const { return value_ ? sqlite3_value_blob(value_) : sqlite3_column_blob(stmt_, column_); }
    std::size_t bytes() const {
        return static_cast<std::size_t>(value_ ? sqlite3_value_bytes(value_) : sqlite3_column_bytes(stmt_, column_));
    }
    double real() const { return value_ ? sqlite3_value_double(value_) : sqlite3_column_double(stmt_, column_); }
    sqlite3_int64 integer() const {
        return value_ ? sqlite3_value_int64(value_) : sqlite3_column_int64(stmt_, column_);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;  // the statement, when reading from it
    int column_ = 0;                // 0-based column of stmt_
    sqlite3_value* value_ = nullptr; // the copied value, when reading from a copy
};

}  // namespace engine
