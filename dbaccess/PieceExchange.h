// The library's side of the piecewise protocol for LONG and LONG RAW values,
// the same over both call-interface releases: which chunk of a chain goes out
// next, and which new chunk receives a piece coming in. Private to the library.
#pragma once

#include "ODbTypes.h"
#include "PieceFeed.h"

namespace Oracle {

class ODbDynamicVariable;

class PieceExchange {
public:
    // Piece codes, numbered as both call interfaces number them.
    enum Piece : unsigned char { OnePiece = 0, FirstPiece = 1, NextPiece = 2, LastPiece = 3 };

    // What the back end hands to the call interface for one piece. The buffer
    // and the length word stay valid until the next exchange of this object
    // or until the variable's chain changes.
    struct Transfer {
        void* buffer;         // null for an empty piece
        unsigned int* length; // in: bytes offered; out: bytes received
        Piece piece;          // the code to report with the piece
    };

    PieceExchange();

    // The next piece of element `row` of `var` for a call that asks for the
    // piece `requested` (first or next). A row's only or last chunk goes as the
    // last piece, so the call interface never asks beyond the chain; a NULL
    // row, or one without chunks, goes as one empty last piece. A request the
    // chain cannot answer throws an empty-message ODbException.
    Transfer supply(ODbDynamicVariable& var, ODbIndex row, Piece requested);
    // A new chunk appended to `var`'s chain for element `row`, to be filled by
    // the call interface with the piece `requested`.
    static Transfer receive(ODbDynamicVariable& var, ODbIndex row, Piece requested);

private:
    static void checkRow(const ODbDynamicVariable& var, ODbIndex row);

    PieceFeed feed_;                // position in the chain being sent
    unsigned int emptyPieceLength_; // length word of an empty (NULL) piece
};

} // namespace Oracle
