// An owned SQLite prepared statement (finalized by the destructor).
#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class Connection;

class SqliteStatement {
public:
    SqliteStatement() = default;
    // Compiles `sql` on `connection`; throws the server's error when SQLite
    // refuses it, ORA-00933 when text follows the first statement.
    SqliteStatement(Connection& connection, const std::string& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* get() const noexcept { return stmt_; }
    explicit operator bool() const noexcept { return stmt_ != nullptr; }
    // Ends any running step and forgets row state; bindings stay.
    void reset() noexcept;

private:
    sqlite3_stmt* stmt_ = nullptr;  // owned
};

}  // namespace engine
