// Walks the chunks of one row of a piece chain.
#include "PieceFeed.h"

#include "ODbLob.h"

namespace Oracle {

PieceFeed::PieceFeed() : lob_(nullptr), row_(0), pos_(-1), next_(-1) {}

bool PieceFeed::start(ODbLob& lob, ODbIndex row)
{
    lob_ = &lob;
    row_ = row;
    pos_ = findFrom(0);
    next_ = pos_ < 0 ? -1 : findFrom(pos_ + 1);
    return pos_ >= 0;
}

bool PieceFeed::advance()
{
    if (next_ < 0)
        return false;
    pos_ = next_;
    next_ = findFrom(pos_ + 1);
    return true;
}

PieceChunk& PieceFeed::current() const
{
    return lob_->getPiece(pos_);
}

int PieceFeed::findFrom(int index) const
{
    for (int i = index; i < lob_->getSize(); ++i)
        if (lob_->getPiece(i).row == row_)
            return i;
    return -1;
}

} // namespace Oracle
