// One piece of a LONG or LONG RAW value.
#pragma once

namespace Oracle {

// Plain record, copied by value. A new chunk reports a full length so that the
// call interface may fill the whole area.
struct PieceChunk {
    // Bytes per piece: what the call interface moves per round of the piecewise protocol.
    static constexpr unsigned int Size = 1024;

    unsigned char data[Size] = {};
    unsigned int length = Size; // valid bytes in data
    unsigned int row = 0;       // element index or iteration the piece belongs to
    unsigned int spare = 0;
};

} // namespace Oracle
