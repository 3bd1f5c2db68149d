// How a connection of the engine waits for another session's write lock: an
// SQLite busy handler with its context (see sqlite3_busy_handler).
#pragma once

namespace engine {

struct BusyHandler {
    int (*call)(void* context, int attempts) = nullptr;  // null: a plain time-out
    void* context = nullptr;
};

}  // namespace engine
