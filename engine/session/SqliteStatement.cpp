// Compiling and finalizing SQLite statements.
#include "session/SqliteStatement.h"

#include "base/OraError.h"
#include "session/Connection.h"

#include <sqlite3.h>

#include <cctype>
#include <utility>

namespace engine {
namespace {

bool onlyBlanks(const char* text) {
    for (; *text != '\0'; ++text) {
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    }
    return true;
}

}  // namespace

SqliteStatement::SqliteStatement(Connection& connection, const std::string& sql) {
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(connection.db(), sql.c_str(), static_cast<int>(sql.size() + 1),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, &tail);
    if (rc != SQLITE_OK) connection.fail(rc);
    if (stmt_ == nullptr) throw OraError(OraCode::InvalidSqlStatement);
    if (tail != nullptr && !onlyBlanks(tail)) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw OraError(OraCode::NotProperlyEnded);
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void SqliteStatement::reset() noexcept {
    if (stmt_ != nullptr) sqlite3_reset(stmt_);
}

}  // namespace engine
