// A prepared SQLite statement owned for the length of a scope: the engine's
// own queries of its dictionary tables go through this, so that every failure
// becomes an OraError and no statement handle outlives its use.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class PreparedQuery {
public:
    // Prepares `sql` (SQLite text) on `db`; throws OraError when SQLite refuses it.
    PreparedQuery(sqlite3* db, const std::string& sql);
    ~PreparedQuery();
    PreparedQuery(const PreparedQuery&) = delete;
    PreparedQuery& operator=(const PreparedQuery&) = delete;

    // Binds parameter `index` (1-based).
    PreparedQuery& bind(int index, const std::string& text);
    PreparedQuery& bind(int index, std::int64_t value);
    PreparedQuery& bindBlob(int index, const std::string& bytes);

    // Steps once: true when a row is ready, false when done. Throws OraError.
    bool step();
    // Steps until done (for statements that return no rows), then resets.
    void run();

    // Column `column` (0-based) of the current row.
    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;

    sqlite3_stmt* handle() const { return stmt_; }

private:
    sqlite3* db_;          // the connection, not owned
    sqlite3_stmt* stmt_;   // owned; finalized by the destructor
};

}  // namespace engine
