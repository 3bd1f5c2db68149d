// The sequences of one database, as one session sees them.
//
// Each sequence is a row of the engine's sequence table (next value and step).
// NEXTVAL advances that row in the session's own transaction, so a rollback
// gives the numbers back. CURRVAL is what this session last got from NEXTVAL,
// kept in memory: it is undefined until the session's first NEXTVAL.
#pragma once

#include "SqlDialect.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

struct sqlite3;

namespace engine {

class SequenceStore {
public:
    // `db` is the session's connection (not owned); the sequence table must exist.
    explicit SequenceStore(sqlite3* db);

    // Names are dictionary names (decoded). create throws ORA-00955 when a
    // table, view or sequence has the name; the others ORA-02289 for an unknown
    // sequence, current ORA-08002 before this session's first NEXTVAL of it.
    void create(const EngineCommand& command);
    void drop(const std::string& name);
    std::int64_t next(const std::string& name);
    std::int64_t current(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    sqlite3* db_;  // the session's connection, not owned
    // Guards current_: a cancelling thread never touches it, but the SQL
    // functions and the session's own calls may come from different threads.
    mutable std::mutex mutex_;
    std::map<std::string, std::int64_t> current_;  // CURRVAL per sequence name
};

}  // namespace engine
