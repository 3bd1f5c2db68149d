// What the engine's SQL functions share: reading arguments, setting results,
// turning the server's errors into the statement's error, and registering a
// table of functions on a connection.
#pragma once

#include "base/OraError.h"

#include <sqlite3.h>

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace engine {

class SqlFunctionSupport {
public:
    using Function = void (*)(sqlite3_context*, int, sqlite3_value**);

    // One SQL function as registered: a name, its argument counts, and whether
    // SQLite may reuse a result for the same arguments.
    struct Entry {
        const char* name;
        int minArgs;  // -1 (with maxArgs -1): any number of arguments
        int maxArgs;
        Function function;
        bool deterministic;
    };

    // Registers `count` entries on `db`; throws OraError when SQLite refuses one.
    static void install(sqlite3* db, const Entry* entries, std::size_t count);

    // The text of an argument (empty for NULL).
    static std::string text(sqlite3_value* value);
    // The same without a copy; valid until the argument changes or the call ends.
    static std::string_view textView(sqlite3_value* value);
    static bool anyNull(int argc, sqlite3_value** argv);
    static void resultText(sqlite3_context* context, const std::string& text);
    // A number as the server shows it: integers without a decimal point, others
    // with up to 15 significant digits and no trailing zeros.
    static std::string numberText(double value);

    // Runs `body`, turning an OraError into the statement's error with the
    // server's text. No exception may cross back into SQLite.
    template <typename Body>
    static void guarded(sqlite3_context* context, Body body) {
        try {
            body();
        } catch (const OraError& error) {
            sqlite3_result_error(context, error.what(), -1);
        } catch (const std::bad_alloc&) {
            sqlite3_result_error_nomem(context);
        }
    }
};

}  // namespace engine
