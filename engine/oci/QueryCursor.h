// The fetch side of an executed query: steps the SQLite statement and moves
// each row into the defined buffers, a batch at a time.
//
// Static defines are filled as a row is read. Dynamic-fetch defines (LONG and
// LONG RAW read piecewise) are filled after them: for each such column the
// cursor stops with OCI_NEED_DATA, the client supplies a buffer, and the next
// fetch call writes the following piece into it, until the value is through.
//
// While it reads, the statement holds the session's SQLite read snapshot. A
// change the session starts later cannot begin from that snapshot once
// another session has committed, so the connection may ask the cursor to keep
// its remaining rows (copies of the values) and let go of the statement; the
// fetches then go on from the copies, as the server's read consistency has it.
#pragma once

#include "base/ColumnValue.h"
#include "oci/PieceRequest.h"
#include "session/Connection.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace engine {

class Connection;
class DefineHandle;

class QueryCursor : public OpenCursor {
public:
    QueryCursor() = default;
    ~QueryCursor();
    QueryCursor(const QueryCursor&) = delete;
    QueryCursor& operator=(const QueryCursor&) = delete;

    // Starts fetching from `stmt`, executed and bound, on `connection`.
    void open(Connection& connection, sqlite3_stmt* stmt);
    // The defines rows go to from now on: one entry per column (null where
    // none is defined). Defines may come after the execute, as the vendor's
    // interface allows.
    void setDefines(const std::vector<const DefineHandle*>& defines);
    // Ends the fetch (a fetch of 0 rows, a new execute); idempotent.
    void close();
    bool isOpen() const { return stmt_ != nullptr; }
    bool awaitingPiece() const { return request_.handle != nullptr; }

    // Fetches up to `rows` rows into elements 0.. of the defines, or goes on
    // with the batch a piece request interrupted. OCI_SUCCESS for a full
    // batch, OCI_NO_DATA when the rows ran out (the partial batch delivered),
    // OCI_NEED_DATA when a dynamic define needs a buffer.
    sword fetch(ub4 rows);
    // Whether the last batch truncated a value (ORA-01406).
    bool truncated() const { return truncated_; }
    // Rows delivered since open().
    ub4 rowCount() const { return rowCount_; }

    // Copies the rows not yet fetched and releases the statement (and with it
    // the read snapshot). Does nothing while a row is half delivered in pieces.
    void keepRemainingRows() override;

    const PieceRequest& request() const { return request_; }
    // The client's buffer for the pending request.
    void answer(const Handle& define, void* buffer, ub4* length, const void* indicator, ub2* returnCode);

private:
    struct ValueDeleter {
        void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
    };
    using Row = std::vector<std::unique_ptr<sqlite3_value, ValueDeleter>>;

    bool readRow();
    bool stepStatement();
    ColumnValue valueOf(int column) const;
    bool fillDynamicColumns();
    bool deliverPiece(const std::string_view& value);
    void ask(const DefineHandle& define, ub1 piece);

    Connection* connection_ = nullptr;  // the session; valid while open
    sqlite3_stmt* stmt_ = nullptr;      // the executed statement; null when closed
    std::vector<const DefineHandle*> static_;   // per column, static defines
    std::vector<const DefineHandle*> dynamic_;  // per column, dynamic defines
    std::vector<int> dynamicColumns_;           // columns of the dynamic defines, in order
    ub4 wanted_ = 0;           // rows the current batch asks for
    ub4 batch_ = 0;            // rows delivered in the current batch
    ub4 rowCount_ = 0;         // rows delivered since open()
    bool rowPending_ = false;  // a row is read but its dynamic columns are not through
    bool done_ = false;        // the statement has no more rows (kept rows may remain)
    bool truncated_ = false;   // a value of the current batch was truncated
    bool keeping_ = false;     // rows come from kept_, the statement is let go
    std::deque<Row> kept_;     // rows copied by keepRemainingRows(), not yet read
    Row current_;              // the kept row being read
    std::size_t dynamicIndex_ = 0;  // which dynamic column is being delivered
    std::size_t offset_ = 0;        // bytes of it delivered
    std::string scratch_;           // text form of a non-text dynamic value
    PieceRequest request_;          // the piece asked for, if any
};

}  // namespace engine
