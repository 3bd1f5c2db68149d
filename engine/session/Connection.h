// One logged-on session's database connection: the SQLite connection, the
// catalog installed on it, the session's transaction state, its cancel state
// and the mutex that serialises the session's calls.
//
// Sessions and the statements that ran on them share a Connection through a
// shared_ptr, so a statement never outlives the connection its SQLite statement
// belongs to. After a logoff the connection is closed for calls (ORA-01012)
// even while statements still hold it.
#pragma once

#include "oci.h"
#include "session/CancelState.h"
#include "sql/Catalog.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>

struct sqlite3;

namespace engine {

// A query reading on a connection whose statement must let go before the
// transaction ends: it copies the rows it has not yet handed out.
class OpenCursor {
public:
    virtual void keepRemainingRows() = 0;

protected:
    ~OpenCursor() = default;
};

// What a layer above keeps per session (the block language's compiled
// programs and package variables). Destroyed before the SQLite connection.
class SessionExtension {
public:
    virtual ~SessionExtension() = default;
};

class Connection {
public:
    // Opens (creating when missing, mode 0600) the database file `path` and
    // logs `user` on: the first user of a new database becomes its owner,
    // afterwards an unknown user or a wrong password gets ORA-01017.
    Connection(const std::string& path, const std::string& user, const std::string& password);
    // An abnormal end: open work is rolled back.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Holds the session for one call: serialises calls of several threads on
    // the session, refuses calls after logoff, and clears a cancel request
    // when the call ends.
    class Call {
    public:
        explicit Call(Connection& connection);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        Connection& connection_;           // the session called
        std::unique_lock<std::mutex> lock_; // the session's call mutex
    };

    // Holds off calls for work that is no call itself but must not overlap
    // one, such as finalizing a statement of this connection.
    std::unique_lock<std::mutex> holdCalls() { return std::unique_lock<std::mutex>(callMutex_); }

    sqlite3* db() const noexcept { return db_; }
    Catalog& catalog() { return *catalog_; }
    CancelState& cancelState() { return cancel_; }
    const std::string& userName() const noexcept { return userName_; }

    std::unique_ptr<SessionExtension>& extension() { return extension_; }

    // Normal logoff: commits open work; the connection takes no further calls.
    void end();

    // Transactions, with the server's rules: the first change opens one that
    // lasts until commit or rollback; DDL commits first.
    void beforeChange();
    void beforeDdl();
    void commit();
    void rollback();
    // OCITransStart: OCI_TRANS_READONLY and OCI_TRANS_SERIALIZABLE start a
    // snapshot now; other flags leave the start to the first change.
    void startTransaction(ub4 flags);
    // The number of the write transaction the session holds open, 0 when it
    // holds none. While the number stays, the session has kept the
    // database's write lock: no other session committed in between.
    std::uint64_t writeLockHeld() const;

    // The cursors reading on this connection, which a change may ask to keep
    // their rows.
    void addCursor(OpenCursor& cursor) { cursors_.insert(&cursor); }
    void removeCursor(OpenCursor& cursor) { cursors_.erase(&cursor); }

    // Runs `sql` (no result rows); throws the mapped error on failure.
    void execute(const char* sql);
    void execute(const std::string& sql) { execute(sql.c_str()); }
    // Throws the error for the failed SQLite result `rc` on this connection:
    // a cancel when one was requested, else the server's error for it.
    [[noreturn]] void fail(int rc);

private:
    enum class TransactionState { None, Write, ReadOnly, Serializable };

    void open(const std::string& path);
    void beginWriting();
    void markTransactionStart();
    bool rollBackToTransactionStart();
    void configure();
    void logOn(const std::string& user, const std::string& password);
    void rehash(const std::string& password);
    void createOwner(const std::string& user, const std::string& password);
    static int onBusy(void* self, int attempts);
    static int onProgress(void* self);

    sqlite3* db_ = nullptr;            // owned; closed by the destructor
    std::unique_ptr<Catalog> catalog_; // installed on db_, destroyed before it
    std::unique_ptr<SessionExtension> extension_;  // destroyed before db_ closes
    CancelState cancel_;               // OCIBreak requests for this session
    std::mutex callMutex_;             // one call at a time on this session
    std::string userName_;             // dictionary name of the logged-on user
    TransactionState transaction_ = TransactionState::None;  // see beforeChange()
    std::uint64_t writeTransactions_ = 0;  // write transactions begun so far
    std::set<OpenCursor*> cursors_;    // open cursors of this session's statements
    bool ended_ = false;               // logged off; calls are refused
    std::chrono::milliseconds writerWait_{0};  // how long a writer waits for a lock
};

}  // namespace engine
