// The SQL functions translated statements call: the engine's own ones
// (sequence NEXTVAL/CURRVAL, SYSDATE, the server's SUBSTR) and the server's
// functions SQLite lacks (TO_CHAR, TO_DATE, TO_NUMBER, DECODE, CONCAT, NVL2,
// LPAD, RPAD).
//
// A function that fails reports the server's error text ("ORA-NNNNN: ..."), so
// the statement fails with it (OraError::fromSqlite keeps such texts).
#pragma once

#include <memory>

struct sqlite3;

namespace engine {

class SequenceStore;

class DialectFunctions {
public:
    // Registers every function on `db`. The sequence functions share
    // `sequences`, which they keep alive until the connection drops them.
    static void install(sqlite3* db, const std::shared_ptr<SequenceStore>& sequences);
};

}  // namespace engine
