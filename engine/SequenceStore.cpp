// Sequences kept in the engine's sequence table.
#include "SequenceStore.h"

#include "PreparedQuery.h"

#include <sqlite3.h>

namespace engine {
namespace {

const std::string& sequenceTable() {
    static const std::string quoted = quoteStored(kSequenceTable);
    return quoted;
}

}  // namespace

SequenceStore::SequenceStore(sqlite3* db) : db_(db) {}

void SequenceStore::create(const EngineCommand& command) {
    PreparedQuery taken(db_, "SELECT 1 FROM sqlite_master WHERE name = ?1 AND type IN ('table', 'view')");
    if (exists(command.name) || taken.bind(1, encodeName(command.name)).step())
        throw OraError(OraCode::NameAlreadyUsed);
    PreparedQuery insert(db_, "INSERT INTO " + sequenceTable() + " (NAME, NEXT_VALUE, INCREMENT) VALUES (?1, ?2, ?3)");
    insert.bind(1, command.name).bind(2, command.start).bind(3, command.increment).run();
}

void SequenceStore::drop(const std::string& name) {
    PreparedQuery remove(db_, "DELETE FROM " + sequenceTable() + " WHERE NAME = ?1");
    remove.bind(1, name).run();
    if (sqlite3_changes(db_) == 0) throw OraError(OraCode::SequenceMissing);
    std::lock_guard<std::mutex> lock(mutex_);
    current_.erase(name);
}

std::int64_t SequenceStore::next(const std::string& name) {
    PreparedQuery advance(db_, "UPDATE " + sequenceTable() +
                                   " SET NEXT_VALUE = NEXT_VALUE + INCREMENT WHERE NAME = ?1"
                                   " RETURNING NEXT_VALUE - INCREMENT");
    if (!advance.bind(1, name).step()) throw OraError(OraCode::SequenceMissing);
    const std::int64_t value = advance.integer(0);
    advance.run();
    std::lock_guard<std::mutex> lock(mutex_);
    current_[name] = value;
    return value;
}

std::int64_t SequenceStore::current(const std::string& name) const {
    if (!exists(name)) throw OraError(OraCode::SequenceMissing);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = current_.find(name);
    if (found == current_.end()) throw OraError(OraCode::CurrvalNotDefined, {name});
    return found->second;
}

bool SequenceStore::exists(const std::string& name) const {
    PreparedQuery query(db_, "SELECT 1 FROM " + sequenceTable() + " WHERE NAME = ?1");
    return query.bind(1, name).step();
}

}  // namespace engine
