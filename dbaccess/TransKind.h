// Isolation kinds a caller can ask for when it starts a transaction.
#pragma once

namespace Oracle {

// Passed by value to ODbConnect::startTrans. Its type is int so that any int
// a caller passes is a value of it: kinds beyond the four start the server's
// read-write transaction.
enum TransKind : int {
    ReadOnly = 0,      // the transaction only reads
    ReadWrite = 1,     // the transaction reads and writes
    ReadCommitted = 2, // the server's default isolation
    Serializable = 3   // the transaction sees one snapshot throughout
};

} // namespace Oracle
