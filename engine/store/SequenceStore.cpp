// Sequences kept in the engine's sequence table.
#include "store/SequenceStore.h"

#include "base/OraError.h"
#include "store/PreparedQuery.h"

#include <sqlite3.h>

namespace engine {
namespace {

const std::string& sequenceTable() {
    static const std::string quoted = quoteStored(kSequenceTable);
    return quoted;
}

// Whether the session's connection is inside a transaction: an explicit one,
// or the write lock of the statement that is running.
// The lock wait of NEXTVAL's own connection when the session gives no handler.
constexpr int kDefaultLockWaitMs = 10000;

bool inTransaction(sqlite3* db) {
    return !sqlite3_get_autocommit(db) || sqlite3_txn_state(db, "main") == SQLITE_TXN_WRITE;
}

}  // namespace

void SequenceStore::CloseConnection::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

SequenceStore::SequenceStore(sqlite3* db, BusyHandler busy) : db_(db), busy_(busy) {}

// A second connection to the session's database file, or none when the
// database has no file (in memory) or is not in WAL mode.
SequenceStore::OwnedConnection SequenceStore::openIndependent(sqlite3* session, BusyHandler busy) {
    const char* path = sqlite3_db_filename(session, "main");
    if (path == nullptr || *path == '\0') return nullptr;
    sqlite3* opened = nullptr;
    const int rc = sqlite3_open_v2(path, &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    OwnedConnection connection(opened);
    if (rc != SQLITE_OK) throw OraError::fromSqlite(opened, rc);
    sqlite3_extended_result_codes(opened, 1);
    if (busy.call != nullptr)
        sqlite3_busy_handler(opened, busy.call, busy.context);
    else
        sqlite3_busy_timeout(opened, kDefaultLockWaitMs);
    PreparedQuery mode(opened, "PRAGMA journal_mode");
    if (!mode.step() || mode.text(0) != "wal") return nullptr;
    return connection;
}

sqlite3* SequenceStore::advancingConnection(bool sessionInTransaction) {
    if (sessionInTransaction) return db_;
    if (!independentTried_) {
        independentTried_ = true;
        independent_ = openIndependent(db_, busy_);
    }
    return independent_ ? independent_.get() : db_;
}

void SequenceStore::create(const std::string& name, std::int64_t start, std::int64_t increment) {
    PreparedQuery taken(db_, "SELECT 1 FROM sqlite_master WHERE name = ?1 AND type IN ('table', 'view')");
    if (exists(name) || taken.bind(1, encodeName(name)).step())
        throw OraError(OraCode::NameAlreadyUsed);
    PreparedQuery insert(db_, "INSERT INTO " + sequenceTable() + " (NAME, NEXT_VALUE, INCREMENT) VALUES (?1, ?2, ?3)");
    insert.bind(1, name).bind(2, start).bind(3, increment).run();
}

void SequenceStore::drop(const std::string& name) {
    PreparedQuery remove(db_, "DELETE FROM " + sequenceTable() + " WHERE NAME = ?1");
    remove.bind(1, name).run();
    if (sqlite3_changes(db_) == 0) throw OraError(OraCode::SequenceMissing);
    std::lock_guard<std::mutex> lock(mutex_);
    current_.erase(name);
}

std::int64_t SequenceStore::next(const std::string& name) {
    // Asked before the lock is taken: SQLite's own connection mutex, which a
    // NEXTVAL inside a statement already holds, always comes first.
    const bool sessionInTransaction = inTransaction(db_);
    std::lock_guard<std::mutex> lock(mutex_);
    sqlite3* const connection = advancingConnection(sessionInTransaction);
    PreparedQuery advance(connection, "UPDATE " + sequenceTable() +
                                   " SET NEXT_VALUE = NEXT_VALUE + INCREMENT WHERE NAME = ?1"
                                   " RETURNING NEXT_VALUE - INCREMENT, NEXT_VALUE");
    if (!advance.bind(1, name).step()) throw OraError(OraCode::SequenceMissing);
    const std::int64_t value = advance.integer(0);
    const std::int64_t following = advance.integer(1);
    advance.run();
    current_[name] = value;
    if (connection == db_) advancedInTransaction_[name] = following;
    return value;
}

std::int64_t SequenceStore::current(const std::string& name) const {
    if (!exists(name)) throw OraError(OraCode::SequenceMissing);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = current_.find(name);
    if (found == current_.end()) throw OraError(OraCode::CurrvalNotDefined, {name});
    return found->second;
}

bool SequenceStore::advancedInTransaction() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !advancedInTransaction_.empty();
}

void SequenceStore::reapplyTransactionAdvances() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [name, following] : advancedInTransaction_) {
        PreparedQuery restore(db_, "UPDATE " + sequenceTable() + " SET NEXT_VALUE = ?2 WHERE NAME = ?1");
        restore.bind(1, name).bind(2, following).run();
    }
    advancedInTransaction_.clear();
}

void SequenceStore::transactionEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    advancedInTransaction_.clear();
}

bool SequenceStore::exists(const std::string& name) const {
    PreparedQuery query(db_, "SELECT 1 FROM " + sequenceTable() + " WHERE NAME = ?1");
    return query.bind(1, name).step();
}

}  // namespace engine
