// Walks the chunks of one row of a piece chain for the piecewise execute of
// either back end, knowing ahead whether the chunk it hands out is the row's
// last.
#pragma once

#include "ODbTypes.h"

namespace Oracle {

class ODbLob;
struct PieceChunk;

// Rows of a chain may be interleaved; the feed skips chunks of other rows.
class PieceFeed {
public:
    PieceFeed();

    // Positions on the first chunk of `row`; false when the row has none.
    bool start(ODbLob& lob, ODbIndex row);
    // Moves to the row's next chunk; false when there is none.
    bool advance();
    PieceChunk& current() const;
    // The current chunk is the row's last one.
    bool isLast() const { return next_ < 0; }

private:
    int findFrom(int index) const;

    ODbLob* lob_;  // not owned
    ODbIndex row_; // the row being fed
    int pos_;      // index of the current chunk, -1 when none
    int next_;     // index of the row's following chunk, -1 when none
};

} // namespace Oracle
