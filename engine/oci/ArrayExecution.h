// The execute side of a statement that changes data: runs its SQLite statement
// (or, for a PL/SQL block, the block) once per iteration with that iteration's
// bound elements.
//
// Data-at-exec binds get their value before each iteration, either from the
// client's in-bind callback or piece by piece: the execution stops with
// OCI_NEED_DATA, the client supplies a piece, and the next execute call goes
// on where it stopped.
#pragma once

#include "oci/PieceRequest.h"

#include <functional>
#include <vector>

struct sqlite3_stmt;

namespace engine {

class BindHandle;
class Connection;

class ArrayExecution {
public:
    // One iteration's work with element `element` of the binds, whose
    // data-at-exec values are gathered; returns the rows it changed.
    using Iteration = std::function<ub4(ub4 element)>;

    // Prepares `iterations` runs of `stmt` with elements rowOffset.. of `binds`.
    void start(Connection& connection, sqlite3_stmt* stmt, std::vector<BindHandle*> binds, ub4 iterations,
               ub4 rowOffset);
    // Prepares `iterations` runs of `iteration` with elements rowOffset.. of `binds`.
    void start(std::vector<BindHandle*> binds, ub4 iterations, ub4 rowOffset, Iteration iteration);
    // Runs (or goes on running) the iterations: OCI_SUCCESS when all ran,
    // OCI_NEED_DATA when a data-at-exec bind needs its next piece.
    sword resume();
    // Forgets an execution that stopped (an error, a new prepare).
    void abandon();
    bool awaitingPiece() const { return request_.handle != nullptr; }
    // Rows changed by the iterations that ran.
    ub4 rowCount() const { return rowCount_; }

    const PieceRequest& request() const { return request_; }
    // A piece for the pending request.
    void answer(BindHandle& bind, const void* buffer, ub4 length, ub1 piece, const void* indicator);

private:
    bool gatherPieces(ub4 iteration);
    void ask(BindHandle& bind, ub4 iteration);
    ub4 runOnce(ub4 element);

    Connection* connection_ = nullptr;  // the session of stmt_; valid while running
    sqlite3_stmt* stmt_ = nullptr;      // the statement run, if the iterations run one
    Iteration iteration_;               // the work of one iteration; empty when not running
    std::vector<BindHandle*> binds_;    // all binds of the statement
    ub4 iterations_ = 0;   // runs asked for
    ub4 rowOffset_ = 0;    // element of the first run
    ub4 next_ = 0;         // runs done
    ub4 rowCount_ = 0;     // rows changed so far
    static constexpr ub4 kNoIteration = ~ub4{0};
    ub4 gathering_ = kNoIteration;  // iteration whose data-at-exec values are being gathered
    PieceRequest request_; // the piece asked for, if any
};

}  // namespace engine
