// The stored programs of a database (procedures, functions, package
// headers and bodies): their source, line by line for USER_SOURCE and
// whole for the compiler, their status, times, and compilation errors.
//
// Names are dictionary names (decoded); a kind is the server's object type
// text ("PROCEDURE", "FUNCTION", "PACKAGE", "PACKAGE BODY").
#pragma once

#include "base/InternalApi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace engine {

struct ProgramError {
    std::size_t line = 1;      // 1-based, in the object's source
    std::size_t position = 1;  // 1-based column
    std::string text;          // "PLS-nnnnn: ..."
};

struct StoredProgram {
    std::string name;
    std::string kind;
    std::string source;  // from the kind's keyword to the final END (as USER_SOURCE shows it)
    bool valid = true;
    std::int64_t version = 0;  // changes with every CREATE OR REPLACE of the object
};

class ENGINE_INTERNAL_API ProgramStore {
public:
    explicit ProgramStore(sqlite3* db) : db_(db) {}

    // Stores (or replaces) an object with its compilation errors (none: valid).
    void save(const StoredProgram& program, const std::vector<ProgramError>& errors);
    // Removes an object (and, for a package, its body); false when it did not exist.
    bool drop(const std::string& name, const std::string& kind);
    std::optional<StoredProgram> find(const std::string& name, const std::string& kind) const;
    // The kind of the program named `name` among `kinds` (tried in order).
    std::optional<std::string> kindOf(const std::string& name, const std::vector<std::string>& kinds) const;
    // Every stored program, by name.
    std::vector<StoredProgram> list() const;

private:
    sqlite3* db_;  // the session's connection, not owned
};

}  // namespace engine
