// Shared plumbing of the engine's SQL functions.
#include "sql/SqlFunctionSupport.h"

#include <cstdio>

namespace engine {

void SqlFunctionSupport::install(sqlite3* db, const Entry* entries, std::size_t count) {
    for (const Entry* entry = entries; entry != entries + count; ++entry) {
        const int flags = SQLITE_UTF8 | (entry->deterministic ? SQLITE_DETERMINISTIC : 0);
        for (int args = entry->minArgs; args <= entry->maxArgs; ++args) {
            const int rc = sqlite3_create_function_v2(db, entry->name, args, flags, nullptr, entry->function,
                                                      nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) throw OraError::fromSqlite(db, rc);
        }
    }
}

std::string SqlFunctionSupport::text(sqlite3_value* value) {
    return std::string(textView(value));
}

std::string_view SqlFunctionSupport::textView(sqlite3_value* value) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return data == nullptr ? std::string_view()
                           : std::string_view(data, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

bool SqlFunctionSupport::anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    }
    return false;
}

void SqlFunctionSupport::resultText(sqlite3_context* context, const std::string& text) {
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string SqlFunctionSupport::numberText(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

}  // namespace engine
