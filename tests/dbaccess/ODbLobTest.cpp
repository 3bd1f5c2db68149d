// Piece chains and the LONG and LONG RAW views: pieces of at most 1024 bytes per
// row, navigation with the last-chunk rule, interleaved rows, NULL elements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;

namespace {

// Lengths of the chunks of row, in chain order.
std::vector<unsigned int> pieceLengths(ODbLob& lob, unsigned int row)
{
    std::vector<unsigned int> lengths;
    for (int i = 0; i < lob.getSize(); ++i)
        if (lob.getPiece(i).row == row)
            lengths.push_back(lob.getPiece(i).length);
    return lengths;
}

// A text whose characters tell their position, so a misplaced piece shows.
std::string patterned(std::size_t length)
{
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('a' + (i * 7 + i / 1024) % 26);
    return text;
}

struct TextCase {
    std::size_t length;
    std::vector<unsigned int> pieces;
};

class LongText : public ::testing::TestWithParam<TextCase> {};

TEST_P(LongText, IsCutInPiecesAndReadBack)
{
    const TextCase& c = GetParam();
    ODbDynamicVariable var(extLong, 4, 2);
    ODbLongArr view(var);
    const std::string text = patterned(c.length);
    view.setCString(text.c_str(), 1);
    EXPECT_EQ(c.pieces, pieceLengths(var.chain(), 1));
    if (c.length == 0) {
        EXPECT_TRUE(var.isNull(1));
        EXPECT_EQ(nullptr, view.getCString(1));
    } else {
        EXPECT_EQ(4, var.getIndVar(1));
        EXPECT_EQ(text, view.getCString(1));
        EXPECT_EQ(c.length, var.chain().getTotalRawSize(1));
    }
    EXPECT_TRUE(var.isNull(0));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongText,
                         ::testing::Values(TextCase{0, {}}, TextCase{1, {1}}, TextCase{1024, {1024}},
                                           TextCase{1025, {1024, 1}}, TextCase{2500, {1024, 1024, 452}}));

TEST(Long, InterleavedRowsReadTheirOwnPieces)
{
    ODbDynamicVariable var(extLong, 4, 3);
    ODbLob& lob = var.chain();
    const std::string a = patterned(1500), b = patterned(1100);
    // Pieces arrive interleaved, as a piecewise fetch of several rows delivers them.
    lob.newPiece(reinterpret_cast<const unsigned char*>(a.data()), 1024, 0);
    lob.newPiece(reinterpret_cast<const unsigned char*>(b.data()), 1024, 2);
    lob.newPiece(reinterpret_cast<const unsigned char*>(a.data()) + 1024, 476, 0);
    lob.newPiece(reinterpret_cast<const unsigned char*>(b.data()) + 1024, 76, 2);
    var.setNotNull(0);
    var.setNotNull(2);
    ODbLongArr view(var);
    EXPECT_EQ(a, view.getCString(0));
    EXPECT_EQ(b, view.getCString(2));
    EXPECT_EQ(nullptr, view.getCString(1));
    EXPECT_EQ(3, lob.calcASize());
    view.setCString("short", 0); // replaces row 0 only
    EXPECT_STREQ("short", view.getCString(0));
    EXPECT_EQ(b, view.getCString(2));
}

TEST(Long, NotNullRowWithoutPiecesFails)
{
    ODbDynamicVariable var(extLong, 4, 1);
    var.setNotNull(0);
    ODbLongArr view(var);
    ValueTest::expectFailure(ValueTest::Failure::Empty, [&] { view.getCString(0); });
}

TEST(Long, SettingAgainReplacesTheText)
{
    ODbDynamicVariable var(extLong, 4, 1);
    ODbLongArr view(var);
    view.setCString(patterned(2000).c_str(), 0);
    view.setCString("second", 0);
    EXPECT_STREQ("second", view.getCString(0));
    EXPECT_EQ(1, var.chain().getSize());
    view.setCString(nullptr, 0);
    EXPECT_TRUE(var.isNull(0));
    EXPECT_EQ(0, var.chain().getSize());
}

TEST(Long, ViewNeedsALongVariableAndASelectedElement)
{
    ODbDynamicVariable number(extFloat, 8, 1);
    EXPECT_THROW(ODbLong{number}, ODbException);
    EXPECT_THROW(ODbLongRaw{number}, ODbException);
    ODbDynamicVariable var(extLong, 4, 1);
    ODbLong view(var);
    EXPECT_THROW(view.getCString(), ODbException); // no element selected yet
    ODbLongArr arr(var);
    EXPECT_THROW(arr.setCString("x", 1), ODbException);
}

TEST(Long, AssignCopiesTheChainIntoAnotherVariable)
{
    ODbDynamicVariable source(extLong, 4, 1), target(extLong, 4, 1), raw(extLongRaw, 4, 1);
    ODbLongArr view(source);
    view.setCString("abc", 0);
    view.assign(source); // the viewed variable: nothing to do
    EXPECT_EQ(1, source.chain().getSize());
    view.assign(target);
    EXPECT_EQ(1, target.chain().getSize());
    EXPECT_NE(&source.chain().getPiece(0), &target.chain().getPiece(0));
    EXPECT_THROW(view.assign(raw), ODbException);
}

TEST(LongRaw, BytesInPiecesAndHexText)
{
    ODbDynamicVariable var(extLongRaw, 4, 2);
    ODbLongRawArr view(var);
    std::vector<unsigned char> bytes(2500);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 31);
    view.setUnchainedRaw(bytes.data(), 2500, 0);
    EXPECT_EQ((std::vector<unsigned int>{1024, 1024, 452}), pieceLengths(var.chain(), 0));
    const unsigned char* out = nullptr;
    unsigned int length = 0;
    view.getUnchainedRaw(out, length, 0);
    ASSERT_EQ(2500u, length);
    EXPECT_EQ(bytes, std::vector<unsigned char>(out, out + length));
    const unsigned char two[] = {0x01, 0xAB};
    view.setUnchainedRaw(two, 2, 1);
    EXPECT_STREQ("01AB", view.getCString(1));
}

TEST(LongRaw, NullElementGivesNoBytes)
{
    ODbDynamicVariable var(extLongRaw, 4, 1);
    ODbLongRawArr view(var);
    const unsigned char* out = reinterpret_cast<const unsigned char*>(1);
    unsigned int length = 9;
    view.getUnchainedRaw(out, length, 0);
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0u, length);
    EXPECT_EQ(nullptr, view.getCString(0));
    const unsigned char one[] = {7};
    view.setUnchainedRaw(one, 1, 0);
    view.setUnchainedRaw(one, 0, 0); // no bytes: NULL again
    EXPECT_TRUE(var.isNull(0));
}

TEST(LongRaw, AccessorReadsTheHexText)
{
    ODbDynamicVariable var(extLongRaw, 4, 1);
    ODbData data(var);
    ODbLongRaw& view = data.getLongRaw();
    const unsigned char bytes[] = {0x00, 0xFF, 0x10};
    view.setUnchainedRaw(bytes, 3);
    data.setLongRaw(view);
    EXPECT_STREQ("00FF10", data.getLongRaw().getCString());
    EXPECT_FALSE(data.isNull());
}

// ---- chain navigation ----------------------------------------------------------------

// A chain of rows given in order, one chunk each.
ODbLob chainOf(std::initializer_list<unsigned int> rows)
{
    ODbLob lob;
    unsigned char byte = 0;
    for (unsigned int row : rows) {
        lob.newPiece(&byte, 1, row);
        ++byte;
    }
    return lob;
}

TEST(Lob, FirstAndNextWalkOneRow)
{
    ODbLob lob = chainOf({0, 1, 0, 1, 0});
    ASSERT_TRUE(lob.first(1));
    EXPECT_EQ(1, lob.getCurChunk().data[0]);
    EXPECT_TRUE(lob.next(true));
    EXPECT_EQ(3, lob.getCurChunk().data[0]);
    EXPECT_FALSE(lob.next(true));
    EXPECT_THROW(lob.getCurChunk(), ODbException);
    EXPECT_FALSE(lob.first(7));
}

TEST(Lob, NextWithoutLastStopsOnTheFinalChunk)
{
    ODbLob lob = chainOf({0, 0, 0});
    ASSERT_TRUE(lob.first(0));
    EXPECT_TRUE(lob.next(false));
    EXPECT_EQ(1, lob.getCurChunk().data[0]);
    EXPECT_FALSE(lob.next(false)); // reached the last chunk: send it as the last piece
    EXPECT_EQ(2, lob.getCurChunk().data[0]);
    EXPECT_FALSE(lob.next(false));
}

TEST(Lob, LastChunkRuleHoldsPerRowWhenRowsInterleave)
{
    ODbLob lob = chainOf({0, 1, 0, 1});
    ASSERT_TRUE(lob.first(0));
    EXPECT_FALSE(lob.next(false)); // chunk 2 is row 0's final chunk
    EXPECT_EQ(2, lob.getCurChunk().data[0]);
}

TEST(Lob, NewPieceDefaultsAndLimits)
{
    ODbLob lob;
    EXPECT_EQ(0, lob.newPiece());
    EXPECT_EQ(PieceChunk::Size, lob.getPiece(0).length);
    EXPECT_EQ(0u, lob.getPiece(0).row);
    EXPECT_EQ(0u, lob.getPiece(0).spare);
    std::vector<unsigned char> big(PieceChunk::Size + 1);
    EXPECT_THROW(lob.newPiece(big.data(), PieceChunk::Size + 1, 0), ODbException);
    EXPECT_EQ(1, lob.newPiece(big.data(), PieceChunk::Size, 3));
    EXPECT_EQ(2048u, lob.getTotalRawSize());
    EXPECT_EQ(1024u, lob.getTotalRawSize(3));
    EXPECT_THROW(lob.getPiece(2), ODbException);
    EXPECT_THROW(lob.getPiece(-1), ODbException);
}

TEST(Lob, LengthWordBeyondTheAreaIsNotTrusted)
{
    ODbDynamicVariable var(extLongRaw, 4, 1);
    var.chain().newPiece();
    var.chain().getPiece(0).length = 999999; // as a faulty writer might leave it
    var.setNotNull(0);
    ODbLongRawArr view(var);
    const unsigned char* out = nullptr;
    unsigned int length = 0;
    view.getUnchainedRaw(out, length, 0);
    EXPECT_EQ(PieceChunk::Size, length);
}

TEST(Lob, DeleteClearAndCountRowChanges)
{
    ODbLob lob = chainOf({0, 0, 1, 2, 2});
    EXPECT_EQ(2, lob.calcASize());
    lob.deletePiece(2);
    EXPECT_EQ(4, lob.getSize());
    EXPECT_EQ(1, lob.calcASize());
    EXPECT_EQ(3, lob.getPiece(2).data[0]);
    EXPECT_THROW(lob.deletePiece(4), ODbException);
    lob.clearBuf();
    EXPECT_EQ(0, lob.getSize());
    ValueTest::expectFailure(ValueTest::Failure::Empty, [&] { lob.calcASize(); });
}

TEST(Lob, CopiesOwnTheirChunks)
{
    ODbLob lob = chainOf({0, 1});
    ODbLob copy(lob);
    copy.getPiece(0).data[0] = 42;
    EXPECT_EQ(0, lob.getPiece(0).data[0]);
    ODbLob assigned;
    assigned = lob;
    assigned = assigned;
    EXPECT_EQ(2, assigned.getSize());
    EXPECT_NE(&assigned.getPiece(1), &lob.getPiece(1));
}

} // namespace
