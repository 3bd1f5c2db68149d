// One value as the fetch conversions read it: a column of a query's current
// row straight from the SQLite statement, a copy the cursor took when it had
// to let go of the statement before the rows were all fetched, or a value the
// engine holds itself (a block's value given back to a client).
#pragma once

#include "base/BindTarget.h"

#include <sqlite3.h>

#include <cmath>
#include <cstddef>
#include <string>

namespace engine {

// A value held apart from any statement, set as a parameter is set, and with
// the same SQLite type a parameter would give it. It refers to the bytes it
// was given unless asked to copy them; text read through ColumnValue::text()
// must then end in a NUL, as SQLite's does.
class HeldValue final : public BindTarget {
public:
    HeldValue() = default;
    HeldValue(const HeldValue&) = delete;
    HeldValue& operator=(const HeldValue&) = delete;

    void null() override { type_ = SQLITE_NULL; }
    void integer(sqlite3_int64 value) override {
        type_ = SQLITE_INTEGER;
        integer_ = value;
    }
    // SQLite holds no NaN: a parameter set to one is NULL.
    void real(double value) override {
        type_ = std::isnan(value) ? SQLITE_NULL : SQLITE_FLOAT;
        real_ = value;
    }
    void text(const char* text, std::size_t length, bool copy) override { hold(SQLITE_TEXT, text, length, copy); }
    void blob(const void* bytes, std::size_t length, bool copy) override {
        hold(SQLITE_BLOB, static_cast<const char*>(bytes), length, copy);
    }

    int type() const { return type_; }
    // Each read as its own type: the number of an integer or a real, the
    // bytes of a text or a blob.
    sqlite3_int64 integerValue() const { return type_ == SQLITE_FLOAT ? static_cast<sqlite3_int64>(real_) : integer_; }
    double realValue() const { return type_ == SQLITE_INTEGER ? static_cast<double>(integer_) : real_; }
    const char* bytes() const { return bytes_; }
    std::size_t size() const { return size_; }

private:
    void hold(int type, const char* bytes, std::size_t length, bool copy) {
        type_ = type;
        if (copy) {
            copy_.assign(bytes, length);
            bytes = copy_.data();
        }
        bytes_ = bytes;
        size_ = length;
    }

    int type_ = SQLITE_NULL;
    sqlite3_int64 integer_ = 0;
    double real_ = 0;
    const char* bytes_ = "";   // TEXT, BLOB
    std::size_t size_ = 0;
    std::string copy_;         // the bytes when they were to be copied
};

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
    // A value the engine holds; not owned. It is read as its own type.
    explicit ColumnValue(const HeldValue& held) : held_(&held) {}

    int type() const { return value_ != nullptr ? sqlite3_value_type(value_) : held_->type(); }
    // Text form; valid until the row moves on. Call before bytes(), as SQLite
    // computes the length of the form asked for last.
    const char* text() const {
        return value_ != nullptr ? reinterpret_cast<const char*>(sqlite3_value_text(value_)) : held_->bytes();
    }
    const void* blob() const { return value_ != nullptr ? sqlite3_value_blob(value_) : held_->bytes(); }
    std::size_t bytes() const {
        return value_ != nullptr ? static_cast<std::size_t>(sqlite3_value_bytes(value_)) : held_->size();
    }
    double real() const { return value_ != nullptr ? sqlite3_value_double(value_) : held_->realValue(); }
    sqlite3_int64 integer() const { return value_ != nullptr ? sqlite3_value_int64(value_) : held_->integerValue(); }

private:
    sqlite3_value* value_ = nullptr;     // the column's value or the copy; not owned
    const HeldValue* held_ = nullptr;    // else the engine's value; not owned
};

}  // namespace engine
