// The library's side of the piecewise protocol.
#include "PieceExchange.h"

#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLob.h"

namespace Oracle {

PieceExchange::PieceExchange() : emptyPieceLength_(0) {}

PieceExchange::Transfer PieceExchange::supply(ODbDynamicVariable& var, ODbIndex row, Piece requested)
{
    checkRow(var, row);
    bool available;
    if (requested == FirstPiece)
        available = !var.isNull(row) && feed_.start(var.chain(), row);
    else if (requested == NextPiece)
        available = feed_.advance();
    else
        throw ODbException();
    if (!available && requested == NextPiece)
        throw ODbException();
    if (!available) {
        emptyPieceLength_ = 0;
        return {nullptr, &emptyPieceLength_, LastPiece};
    }
    PieceChunk& chunk = feed_.current();
    return {chunk.data, &chunk.length, feed_.isLast() ? LastPiece : requested};
}

PieceExchange::Transfer PieceExchange::receive(ODbDynamicVariable& var, ODbIndex row, Piece requested)
{
    checkRow(var, row);
    ODbLob& lob = var.chain();
    PieceChunk& chunk = lob.getPiece(lob.newPiece());
    chunk.row = static_cast<unsigned int>(row);
    chunk.length = PieceChunk::Size;
    return {chunk.data, &chunk.length, requested};
}

void PieceExchange::checkRow(const ODbDynamicVariable& var, ODbIndex row)
{
    if (row >= var.getArraySize())
        throw ODbException();
}

} // namespace Oracle
