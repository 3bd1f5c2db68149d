// Opening, logon, transactions and call serialisation of a session.
#include "session/Connection.h"

#include "base/CallError.h"
#include "base/OraError.h"
#include "sql/SqlDialect.h"
#include "store/PasswordHasher.h"
#include "store/SequenceStore.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace engine {
namespace {

// How long a writer waits for another session's transaction before giving up
// with ORA-00054: long enough to ride out an ordinary commit, short enough
// that a session left open surfaces as an error instead of a hang. The
// environment variable VOR_LOCK_WAIT_MS overrides it (tests shorten it).
constexpr std::chrono::milliseconds kWriterWait{10000};
// Granularity of that wait; a cancel request ends it at once anyway.
constexpr std::chrono::milliseconds kWriterPoll{20};
// SQLite virtual-machine steps between two looks at the cancel flag: small
// enough for a prompt cancel, large enough to cost nothing measurable.
constexpr int kProgressSteps = 1000;
// Savepoint at the start of each write transaction (see Connection::rollback).
constexpr const char* kTransactionStart = "vor_transaction_start";

// Creates the database file readable by its owner alone when it does not
// exist yet; SQLite gives its journal files the same mode.
void createPrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        throw CallError(CallCode::UnresolvedAlias);
    }
}

std::chrono::milliseconds configuredWriterWait() {
    const char* setting = std::getenv("VOR_LOCK_WAIT_MS");
    if (setting == nullptr || *setting == '\0') return kWriterWait;
    char* end = nullptr;
    const long milliseconds = std::strtol(setting, &end, 10);
    return *end == '\0' && milliseconds >= 0 ? std::chrono::milliseconds(milliseconds) : kWriterWait;
}

}  // namespace

Connection::Call::Call(Connection& connection) : connection_(connection), lock_(connection.callMutex_) {
    if (connection_.ended_) throw CallError(CallCode::NotLoggedOn);
    connection_.cancel_.beginCall();
}

Connection::Call::~Call() { connection_.cancel_.endCall(); }

Connection::Connection(const std::string& path, const std::string& user, const std::string& password) {
    try {
        open(path);
        configure();
        catalog_ = std::make_unique<Catalog>(db_, BusyHandler{&Connection::onBusy, this});
        logOn(user, password);
    } catch (...) {
        catalog_.reset();
        sqlite3_close_v2(db_);
        throw;
    }
}

Connection::~Connection() {
    cancel_.attach(nullptr);
    extension_.reset();
    catalog_.reset();
    // Closing discards an open transaction: the abnormal end loses its work.
    sqlite3_close_v2(db_);
}

void Connection::open(const std::string& path) {
    createPrivateFile(path);
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) throw OraError::fromSqlite(db_, rc);
}

void Connection::configure() {
    writerWait_ = configuredWriterWait();
    sqlite3_extended_result_codes(db_, 1);
    // Double-quoted text is an identifier, never a string literal.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_handler(db_, &Connection::onBusy, this);
    sqlite3_progress_handler(db_, kProgressSteps, &Connection::onProgress, this);
    cancel_.attach(db_);
    execute("PRAGMA journal_mode=WAL");
    execute("PRAGMA foreign_keys=ON");
}

void Connection::logOn(const std::string& user, const std::string& password) {
    userName_ = identifierName(user);
    if (userName_.empty()) throw OraError(OraCode::LogonDenied);
    if (password.empty()) throw CallError(CallCode::NullPassword);
    if (!catalog_->hasUsers()) {
        createOwner(user, password);
        return;
    }
    const std::optional<UserAccount> account = catalog_->findUser(userName_);
    if (!account || !PasswordHasher::verify(*account, password)) throw OraError(OraCode::LogonDenied);
    if (PasswordHasher::isOutdated(*account)) rehash(password);
}

// Replaces an account's hash of an older form (or of fewer iterations) by a
// new one, now that the password is known. A database that cannot be written
// at the moment keeps the older hash until a later logon; the logon stands.
void Connection::rehash(const std::string& password) {
    try {
        catalog_->replaceUser(PasswordHasher::makeAccount(userName_, password));
    } catch (const OraError&) {
    }
}

void Connection::createOwner(const std::string& user, const std::string& password) {
    // Two first logons may race: the write lock decides who finds no users.
    execute("BEGIN IMMEDIATE");
    try {
        if (catalog_->hasUsers()) {
            execute("ROLLBACK");
            logOn(user, password);
            return;
        }
        catalog_->addUser(PasswordHasher::makeAccount(userName_, password));
        execute("COMMIT");
    } catch (...) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

int Connection::onBusy(void* self, int attempts) {
    auto& connection = *static_cast<Connection*>(self);
    if (attempts * kWriterPoll >= connection.writerWait_) return 0;
    return connection.cancel_.waitFor(kWriterPoll) ? 1 : 0;
}

int Connection::onProgress(void* self) {
    return static_cast<Connection*>(self)->cancel_.requested() ? 1 : 0;
}

void Connection::fail(int rc) {
    if (cancel_.requested() || (rc & 0xff) == SQLITE_INTERRUPT) throw OraError(OraCode::UserRequestedCancel);
    if (rc == SQLITE_BUSY_SNAPSHOT) throw CallError(CallCode::CannotSerialize);
    throw OraError::fromSqlite(db_, rc);
}

void Connection::execute(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc);
}

void Connection::end() {
    commit();
    ended_ = true;
}

void Connection::beforeChange() {
    switch (transaction_) {
    case TransactionState::None:
        beginWriting();
        transaction_ = TransactionState::Write;
        break;
    case TransactionState::ReadOnly: throw CallError(CallCode::ReadOnlyTransaction);
    case TransactionState::Write:
    case TransactionState::Serializable: break;
    }
}

// Opens the write transaction of a first change. When the session's own open
// cursors hold a snapshot older than the last commit, no write can start from
// it: the cursors keep their remaining rows and let go, and the write starts
// from the newest state.
void Connection::beginWriting() {
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_BUSY_SNAPSHOT && !cursors_.empty()) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        for (OpenCursor* cursor : cursors_) cursor->keepRemainingRows();
        rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) fail(rc);
    ++writeTransactions_;
    markTransactionStart();
}

std::uint64_t Connection::writeLockHeld() const {
    const bool open = transaction_ == TransactionState::Write && !sqlite3_get_autocommit(db_);
    return open ? writeTransactions_ : 0;
}

// The point a rollback returns to when it must keep the sequence numbers that
// NEXTVAL took inside the transaction.
void Connection::markTransactionStart() { execute("SAVEPOINT " + std::string(kTransactionStart)); }

void Connection::beforeDdl() {
    if (transaction_ == TransactionState::ReadOnly) throw CallError(CallCode::ReadOnlyTransaction);
    commit();
}

// A statement or block that failed after a NEXTVAL has undone the sequence's
// advance with its own changes; the number was handed out all the same, so the
// advances are written again before the commit.
void Connection::commit() {
    if (!sqlite3_get_autocommit(db_)) {
        if (catalog_->sequences().advancedInTransaction()) catalog_->sequences().reapplyTransactionAdvances();
        execute("COMMIT");
    }
    catalog_->sequences().transactionEnded();
    transaction_ = TransactionState::None;
}

// A sequence number taken is never given back: when NEXTVAL advanced a
// sequence inside the transaction, the rollback returns to the transaction's
// start, writes the advances again and commits them, all under the write lock
// the transaction holds, so that no other session can take those numbers in
// between.
void Connection::rollback() {
    if (!sqlite3_get_autocommit(db_)) {
        // SQLite's rollback aborts statements still reading; the server's
        // cursors read on, so they keep their rows first.
        for (OpenCursor* cursor : cursors_) cursor->keepRemainingRows();
        if (catalog_->sequences().advancedInTransaction() && rollBackToTransactionStart()) {
            catalog_->sequences().reapplyTransactionAdvances();
            execute("COMMIT");
        } else {
            execute("ROLLBACK");
        }
    }
    catalog_->sequences().transactionEnded();
    transaction_ = TransactionState::None;
}

bool Connection::rollBackToTransactionStart() {
    const std::string sql = "ROLLBACK TO " + std::string(kTransactionStart);
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

void Connection::startTransaction(ub4 flags) {
    if (!sqlite3_get_autocommit(db_)) throw CallError(CallCode::TransactionNotFirst);
    if (flags & OCI_TRANS_READONLY) {
        execute("BEGIN");
        transaction_ = TransactionState::ReadOnly;
    } else if (flags & OCI_TRANS_SERIALIZABLE) {
        execute("BEGIN");
        markTransactionStart();
        transaction_ = TransactionState::Serializable;
    }
}

}  // namespace engine
