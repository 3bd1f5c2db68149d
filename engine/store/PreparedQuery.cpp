// RAII over sqlite3_stmt for the engine's dictionary queries.
#include "store/PreparedQuery.h"

#include "base/OraError.h"

#include <sqlite3.h>

namespace engine {

PreparedQuery::PreparedQuery(sqlite3* db, const std::string& sql) : db_(db), stmt_(nullptr) {
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) throw OraError::fromSqlite(db_, rc);
}

PreparedQuery::~PreparedQuery() { sqlite3_finalize(stmt_); }

PreparedQuery& PreparedQuery::bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

PreparedQuery& PreparedQuery::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

PreparedQuery& PreparedQuery::bindBlob(int index, const std::string& bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

bool PreparedQuery::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw OraError::fromSqlite(db_, sqlite3_extended_errcode(db_));
}

void PreparedQuery::run() {
    while (step()) {
    }
    // Ready to be bound and run again.
    sqlite3_reset(stmt_);
}

std::int64_t PreparedQuery::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string PreparedQuery::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return data == nullptr ? std::string() : std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string PreparedQuery::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return data == nullptr ? std::string() : std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

}  // namespace engine
