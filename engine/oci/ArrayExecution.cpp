// Iterated execution with data-at-exec pieces.
#include "oci/ArrayExecution.h"

#include "base/CallError.h"
#include "oci/BindHandle.h"
#include "session/Connection.h"

#include <sqlite3.h>

namespace engine {

void ArrayExecution::start(Connection& connection, sqlite3_stmt* stmt, std::vector<BindHandle*> binds,
                           ub4 iterations, ub4 rowOffset) {
    sqlite3_reset(stmt);
    start(std::move(binds), iterations, rowOffset, [this](ub4 element) { return runOnce(element); });
    connection_ = &connection;
    stmt_ = stmt;
}

void ArrayExecution::start(std::vector<BindHandle*> binds, ub4 iterations, ub4 rowOffset, Iteration iteration) {
    connection_ = nullptr;
    stmt_ = nullptr;
    iteration_ = std::move(iteration);
    binds_ = std::move(binds);
    iterations_ = iterations;
    rowOffset_ = rowOffset;
    next_ = 0;
    rowCount_ = 0;
    gathering_ = kNoIteration;
    request_ = PieceRequest{};
}

void ArrayExecution::abandon() {
    request_ = PieceRequest{};
    if (stmt_ != nullptr) sqlite3_reset(stmt_);
    stmt_ = nullptr;
    iteration_ = nullptr;
}

sword ArrayExecution::resume() {
    if (!iteration_) throw CallError(CallCode::FetchOutOfSequence);
    for (; next_ < iterations_; ++next_) {
        if (!gatherPieces(next_)) return OCI_NEED_DATA;
        rowCount_ += iteration_(rowOffset_ + next_);
    }
    stmt_ = nullptr;
    iteration_ = nullptr;
    return OCI_SUCCESS;
}

// Makes sure every data-at-exec bind holds its value for `iteration`; false
// (with a request) when one needs a piece from the client.
bool ArrayExecution::gatherPieces(ub4 iteration) {
    const bool fresh = gathering_ != iteration;
    gathering_ = iteration;
    for (BindHandle* bind : binds_) {
        // A block reads its PL/SQL tables whole, from the block's own run.
        if (!bind->dataAtExec() || (stmt_ == nullptr && bind->isTable())) continue;
        if (bind->hasInCallback()) {
            if (fresh) bind->pullFromCallback(iteration);
            continue;
        }
        if (fresh) bind->startPieces();
        if (bind->piecesComplete()) continue;
        if (request_.handle == bind && !request_.answered) throw CallError(CallCode::NextPieceToInsert);
        ask(*bind, iteration);
        return false;
    }
    request_ = PieceRequest{};
    return true;
}

void ArrayExecution::ask(BindHandle& bind, ub4 iteration) {
    request_ = PieceRequest{};
    request_.handle = &bind;
    request_.handleType = OCI_HTYPE_BIND;
    request_.direction = OCI_PARAM_IN;
    request_.iteration = iteration;
    request_.piece = bind.piecesStarted() ? OCI_NEXT_PIECE : OCI_FIRST_PIECE;
}

// The statement is reset: start() takes it so, and each run leaves it so.
ub4 ArrayExecution::runOnce(ub4 element) {
    for (BindHandle* bind : binds_) bind->bindElement(stmt_, element, false);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const int error = sqlite3_reset(stmt_);
        connection_->fail(error != SQLITE_OK ? error : rc);
    }
    const auto changed = static_cast<ub4>(sqlite3_changes(connection_->db()));
    sqlite3_reset(stmt_);
    return changed;
}

void ArrayExecution::answer(BindHandle& bind, const void* buffer, ub4 length, ub1 piece, const void* indicator) {
    if (!awaitingPiece() || request_.handle != &bind) throw CallError(CallCode::FetchOutOfSequence);
    bind.addPiece(buffer, length, piece, indicator);
    request_.answered = true;
}

}  // namespace engine
