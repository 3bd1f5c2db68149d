// Piece chain of a LONG or LONG RAW variable: the pieces of every element in
// one ordered sequence, rows possibly interleaved, with a reading position.
#pragma once

#include <memory>
#include <vector>

#include "ODbTypes.h"
#include "PieceChunk.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbLob {
public:
    ODbLob();
    ODbLob(const ODbLob& other);            // the copy owns copies of the chunks
    ODbLob& operator=(const ODbLob& other);
    ~ODbLob();

    // Appends an empty chunk (length Size, row 0); returns its index.
    int newPiece();
    // Appends a chunk holding length bytes (at most PieceChunk::Size) for row.
    int newPiece(const unsigned char* bytes, unsigned int length, ODbIndex row);
    // Removes chunk index and closes the gap.
    void deletePiece(int index);
    // Removes every chunk of row.
    void deleteRow(ODbIndex row);
    void clearBuf();
    int getSize() const;
    // Chunk by index; an index outside the chain throws an empty-message ODbException.
    PieceChunk& getPiece(int index);
    const PieceChunk& getPiece(int index) const;
    // Chunk at the reading position (same check).
    PieceChunk& getCurChunk();

    ODbIndex getTotalRawSize() const;
    ODbIndex getTotalRawSize(ODbIndex row) const;
    // Replaces row's chunks by the bytes, appended in pieces of at most
    // PieceChunk::Size: piece k holds bytes k * Size onward.
    void replaceRow(ODbIndex row, const unsigned char* bytes, std::size_t length);
    // Copies row's bytes in chain order to out, which holds getTotalRawSize(row) bytes.
    void copyRow(ODbIndex row, unsigned char* out) const;

    // Remembers row and moves to its first chunk; false when row has none.
    bool first(ODbIndex row);
    // Moves to the next chunk of the remembered row: true when there is one.
    // With mayReachLast false, landing on the row's final chunk returns false
    // but keeps the position there, so the caller sends it as the last piece.
    bool next(bool mayReachLast);
    // Number of places where the row changes between neighbouring chunks; an
    // empty chain throws an empty-message ODbException.
    int calcASize() const;

private:
    bool isLastOfRow(std::size_t pos) const;

    std::vector<std::unique_ptr<PieceChunk>> chunks_; // chunks never move: the call interface holds their addresses
    std::size_t pos_;                                 // reading position; chunks_.size() when past the end
    ODbIndex row_;                                    // row being read
};

} // namespace Oracle
