// Where a bound value goes: an SQLite parameter, or a value the engine holds
// itself (HeldValue), set the same way. The conversions of client buffers
// (ValueCodec) and of block values (PlsqlValue) write through this interface,
// so that one conversion serves a statement and the engine's own reading.
#pragma once

#include <sqlite3.h>

#include <cstddef>

namespace engine {

class BindTarget {
public:
    virtual void null() = 0;
    virtual void integer(sqlite3_int64 value) = 0;
    virtual void real(double value) = 0;
    // `copy`: the bytes may change or go before the value is read.
    virtual void text(const char* text, std::size_t length, bool copy) = 0;
    virtual void blob(const void* bytes, std::size_t length, bool copy) = 0;

protected:
    ~BindTarget() = default;
};

// SQLite parameter `parameter` of `stmt`.
class ParameterTarget final : public BindTarget {
public:
    ParameterTarget(sqlite3_stmt* stmt, int parameter) : stmt_(stmt), parameter_(parameter) {}

    void null() override { sqlite3_bind_null(stmt_, parameter_); }
    void integer(sqlite3_int64 value) override { sqlite3_bind_int64(stmt_, parameter_, value); }
    void real(double value) override { sqlite3_bind_double(stmt_, parameter_, value); }
    void text(const char* text, std::size_t length, bool copy) override {
        sqlite3_bind_text(stmt_, parameter_, text, static_cast<int>(length), copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
    }
    void blob(const void* bytes, std::size_t length, bool copy) override {
        sqlite3_bind_blob(stmt_, parameter_, bytes, static_cast<int>(length), copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
    }

private:
    sqlite3_stmt* stmt_;
    int parameter_;
};

}  // namespace engine
