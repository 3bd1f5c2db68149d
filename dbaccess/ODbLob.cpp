#include "ODbLob.h"

#include <algorithm>
#include <cstring>

#include "ODbException.h"

namespace Oracle {

namespace {

// The length word is written by the call interface and by callers: never trust
// it beyond the data area.
unsigned int validLength(const PieceChunk& chunk)
{
    return chunk.length < PieceChunk::Size ? chunk.length : PieceChunk::Size;
}

} // namespace

ODbLob::ODbLob() : pos_(0), row_(0) {}

ODbLob::ODbLob(const ODbLob& other) : pos_(other.pos_), row_(other.row_)
{
    chunks_.reserve(other.chunks_.size());
    for (const auto& chunk : other.chunks_)
        chunks_.emplace_back(new PieceChunk(*chunk));
}

ODbLob& ODbLob::operator=(const ODbLob& other)
{
    if (this != &other) {
        ODbLob copy(other);
        chunks_.swap(copy.chunks_);
        pos_ = other.pos_;
        row_ = other.row_;
    }
    return *this;
}

ODbLob::~ODbLob() = default;

int ODbLob::newPiece()
{
    chunks_.emplace_back(new PieceChunk);
    return static_cast<int>(chunks_.size() - 1);
}

int ODbLob::newPiece(const unsigned char* bytes, unsigned int length, ODbIndex row)
{
    if (length > PieceChunk::Size || (bytes == nullptr && length > 0))
        throw ODbException();
    std::unique_ptr<PieceChunk> chunk(new PieceChunk);
    if (length > 0)
        std::memcpy(chunk->data, bytes, length);
    chunk->length = length;
    chunk->row = row;
    chunks_.push_back(std::move(chunk));
    return static_cast<int>(chunks_.size() - 1);
}

void ODbLob::deletePiece(int index)
{
    getPiece(index); // checks the index
    chunks_.erase(chunks_.begin() + index);
}

void ODbLob::deleteRow(ODbIndex row)
{
    std::size_t kept = 0;
    for (auto& chunk : chunks_)
        if (chunk->row != row)
            chunks_[kept++] = std::move(chunk);
    chunks_.resize(kept);
    pos_ = chunks_.size();
}

void ODbLob::clearBuf()
{
    chunks_.clear();
    pos_ = 0;
}

int ODbLob::getSize() const
{
    return static_cast<int>(chunks_.size());
}

PieceChunk& ODbLob::getPiece(int index)
{
    return const_cast<PieceChunk&>(static_cast<const ODbLob&>(*this).getPiece(index));
}

const PieceChunk& ODbLob::getPiece(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= chunks_.size())
        throw ODbException();
    return *chunks_[static_cast<std::size_t>(index)];
}

PieceChunk& ODbLob::getCurChunk()
{
    if (pos_ >= chunks_.size())
        throw ODbException();
    return *chunks_[pos_];
}

ODbIndex ODbLob::getTotalRawSize() const
{
    ODbIndex total = 0;
    for (const auto& chunk : chunks_)
        total += validLength(*chunk);
    return total;
}

ODbIndex ODbLob::getTotalRawSize(ODbIndex row) const
{
    ODbIndex total = 0;
    for (const auto& chunk : chunks_)
        if (chunk->row == row)
            total += validLength(*chunk);
    return total;
}

void ODbLob::copyRow(ODbIndex row, unsigned char* out) const
{
    for (const auto& chunk : chunks_) {
        if (chunk->row != row)
            continue;
        const unsigned int length = validLength(*chunk);
        std::memcpy(out, chunk->data, length);
        out += length;
    }
}

void ODbLob::replaceRow(ODbIndex row, const unsigned char* bytes, std::size_t length)
{
    deleteRow(row);
    for (std::size_t offset = 0; offset < length; offset += PieceChunk::Size) {
        const std::size_t piece = std::min<std::size_t>(length - offset, PieceChunk::Size);
        newPiece(bytes + offset, static_cast<unsigned int>(piece), row);
    }
}

bool ODbLob::first(ODbIndex row)
{
    row_ = row;
    for (pos_ = 0; pos_ < chunks_.size(); ++pos_)
        if (chunks_[pos_]->row == row)
            return true;
    return false;
}

bool ODbLob::next(bool mayReachLast)
{
    while (pos_ < chunks_.size()) {
        ++pos_;
        if (pos_ < chunks_.size() && chunks_[pos_]->row == row_)
            return mayReachLast || !isLastOfRow(pos_);
    }
    return false;
}

bool ODbLob::isLastOfRow(std::size_t pos) const
{
    for (std::size_t i = pos + 1; i < chunks_.size(); ++i)
        if (chunks_[i]->row == chunks_[pos]->row)
            return false;
    return true;
}

int ODbLob::calcASize() const
{
    if (chunks_.empty())
        throw ODbException();
    int changes = 0;
    for (std::size_t i = 1; i < chunks_.size(); ++i)
        if (chunks_[i]->row != chunks_[i - 1]->row)
            ++changes;
    return changes;
}

} // namespace Oracle
