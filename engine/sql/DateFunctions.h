// The server's date functions over the engine's stored dates ("YYYY-MM-DD
// HH24:MI:SS" text): SYSDATE, TO_CHAR, TO_DATE, TRUNC, ADD_MONTHS, LAST_DAY.
#pragma once

struct sqlite3;

namespace engine {

class DateFunctions {
public:
    // Registers the functions on `db`; throws OraError when SQLite refuses one.
    // TRUNC replaces SQLite's own, which it still serves for numbers.
    static void install(sqlite3* db);
};

}  // namespace engine
