// The sequences of one database, as one session sees them.
//
// Each sequence is a row of the engine's sequence table (next value and step).
// As on the server, NEXTVAL is no part of the session's transaction: it
// advances the row on a connection of its own in autocommit mode, so the
// number is taken for good at once, a rollback never gives it back, and the
// session holds no lock that would keep another session's NEXTVAL waiting.
// That own connection needs a database file in WAL mode (so that it can write
// while the session reads) and no transaction open on the session's
// connection: while the session holds the write lock, or reads in a snapshot
// of its own, a second writer would wait for the session itself or break the
// snapshot, so the row is advanced in the session's transaction instead. The
// values so taken are remembered until the transaction ends, so that a
// rollback can put them back (see Connection::rollback) and no number is
// handed out twice.
// CURRVAL is what this session last got from NEXTVAL, kept in memory: it is
// undefined until the session's first NEXTVAL.
#pragma once

#include "base/StoredNames.h"
#include "store/BusyHandler.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

namespace engine {

class SequenceStore {
public:
    // `db` is the session's connection (not owned); the sequence table must
    // exist. `busy` decides how long NEXTVAL waits for another session's
    // commit: the session's own handler ends the wait when its call is
    // cancelled; without one the wait is a plain ten seconds.
    SequenceStore(sqlite3* db, BusyHandler busy);

    // Names are dictionary names (decoded). create throws ORA-00955 when a
    // table, view or sequence has the name; the others ORA-02289 for an unknown
    // sequence, current ORA-08002 before this session's first NEXTVAL of it.
    void create(const std::string& name, std::int64_t start, std::int64_t increment);
    void drop(const std::string& name);
    std::int64_t next(const std::string& name);
    std::int64_t current(const std::string& name) const;
    bool exists(const std::string& name) const;

    // Whether NEXTVAL advanced a row inside the session's open transaction.
    bool advancedInTransaction() const;
    // Writes those advances again, in the session's transaction: after its
    // other changes were rolled back, before it commits.
    void reapplyTransactionAdvances();
    // The transaction ended (committed, or rolled back and reapplied).
    void transactionEnded();

private:
    struct CloseConnection {
        void operator()(sqlite3* db) const noexcept;
    };
    using OwnedConnection = std::unique_ptr<sqlite3, CloseConnection>;

    sqlite3* advancingConnection(bool sessionInTransaction);
    static OwnedConnection openIndependent(sqlite3* session, BusyHandler busy);

    sqlite3* db_;  // the session's connection, not owned
    BusyHandler busy_;  // how the own connection waits for a lock
    // Guards current_ and the own connection: a cancelling thread never touches
    // them, but the SQL functions and the session's own calls may come from
    // different threads.
    mutable std::mutex mutex_;
    std::map<std::string, std::int64_t> current_;  // CURRVAL per sequence name
    // Next value of each sequence advanced in the session's transaction.
    std::map<std::string, std::int64_t> advancedInTransaction_;
    OwnedConnection independent_;    // NEXTVAL's own connection, opened lazily
    bool independentTried_ = false;  // whether opening it was attempted
};

}  // namespace engine
