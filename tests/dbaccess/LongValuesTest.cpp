// LONG and LONG RAW values moved piece by piece in both directions, at the
// sizes around one piece and far beyond.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

// One byte, one full piece, one byte over a piece, and many pieces: more
// than any fixed maximum of a piecewise bind or define would let through.
const unsigned int Sizes[] = {1, 1024, 1025, 3000001};

std::string textOf(unsigned int size, unsigned int seed)
{
    std::string text(size, ' ');
    for (unsigned int i = 0; i < size; ++i)
        text[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
    return text;
}

std::vector<unsigned char> bytesOf(unsigned int size, unsigned int seed)
{
    std::vector<unsigned char> bytes(size);
    for (unsigned int i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 13 + seed); // zero bytes included
    return bytes;
}

class LongValues : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection_ = connect();
        execSql(*connection_, "create table lt (id number, v long)");
        execSql(*connection_, "create table lr (id number, v long raw)");
    }

    // Inserts one row; a null text inserts NULL.
    void insertText(int id, const std::string* text)
    {
        ODbQuery query(*connection_);
        query.open("insert into lt (id, v) values (:id, :v)");
        setId(query, id);
        ODbParam& value = query.paramByName("v");
        value.initParam(supLong, 0, 1);
        if (text != nullptr) {
            ODbLongArr& view = value.getLong();
            view.setCString(text->c_str(), 0);
            value.setLong(view);
        }
        query.exec(1);
    }

    void insertBytes(int id, const std::vector<unsigned char>& bytes)
    {
        ODbQuery query(*connection_);
        query.open("insert into lr (id, v) values (:1, :2)"); // bound by position
        query.paramByPos(1).initParam(supLongInt, 0, 1);
        query.paramByPos(1).setLongInt(id);
        ODbParam& value = query.paramByPos(2);
        value.initParam(supLongRaw, 0, 1);
        ODbLongRawArr& view = value.getLongRaw();
        view.setUnchainedRaw(bytes.data(), static_cast<unsigned int>(bytes.size()), 0);
        value.setLongRaw(view);
        query.exec(1);
    }

    static void setId(ODbQuery& query, int id)
    {
        query.paramByName("id").initParam(supLongInt, 0, 1);
        query.paramByName("id").setLongInt(id);
    }

    static std::string textIn(ODbData& field)
    {
        const char* text = field.getLong().getCString();
        return text != nullptr ? std::string(text) : std::string("<null>");
    }

    static std::vector<unsigned char> bytesIn(ODbData& field)
    {
        const unsigned char* bytes = nullptr;
        unsigned int length = 0;
        field.getLongRaw().getUnchainedRaw(bytes, length);
        return std::vector<unsigned char>(bytes, bytes + length);
    }

    Utils::RefCountPtr<ODbConnect> connection_;
};

TEST_F(LongValues, LongTextBothWays)
{
    for (unsigned int size : Sizes) {
        SCOPED_TRACE(size);
        const std::string text = textOf(size, size);
        insertText(static_cast<int>(size), &text);
        ODbQuery query(*connection_);
        query.open(("select v from lt where id = " + std::to_string(size)).c_str());
        ASSERT_TRUE(query.next());
        const std::string read = textIn(query.fieldByPos(1));
        EXPECT_EQ(text.size(), read.size());
        EXPECT_TRUE(text == read);
        EXPECT_FALSE(query.next());
    }
}

TEST_F(LongValues, LongRawBothWays)
{
    for (unsigned int size : Sizes) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> bytes = bytesOf(size, size);
        insertBytes(static_cast<int>(size), bytes);
        ODbQuery query(*connection_);
        query.open(("select v from lr where id = " + std::to_string(size)).c_str());
        ASSERT_TRUE(query.next());
        const std::vector<unsigned char> read = bytesIn(query.fieldByPos(1));
        EXPECT_EQ(bytes.size(), read.size());
        EXPECT_TRUE(bytes == read);
    }
}

// Several LONG rows arrive in one batch; each row keeps only its own pieces.
TEST_F(LongValues, RowsOfOneBatchKeepTheirOwnPieces)
{
    const unsigned int sizes[] = {3000, 1, 2048, 5};
    for (int id = 0; id < 4; ++id) {
        const std::string text = textOf(sizes[id], static_cast<unsigned int>(id));
        insertText(id, &text);
    }
    for (int pass = 0; pass < 2; ++pass) { // twice: the second run refills the chains
        ODbQuery query(*connection_);
        query.open("select id, v from lt order by id");
        for (int id = 0; id < 4; ++id) {
            SCOPED_TRACE(id);
            ASSERT_TRUE(query.next());
            EXPECT_EQ(id, query.fieldByPos(1).getLongInt());
            EXPECT_EQ(textOf(sizes[id], static_cast<unsigned int>(id)), textIn(query.fieldByPos(2)));
        }
        EXPECT_FALSE(query.next());
    }
}

// A select cursor closed and opened again keeps nothing of its earlier
// defines: the variable defined first is gone by then.
TEST_F(LongValues, ReopenedCursorForgetsEarlierDefines)
{
    const std::string text = textOf(1500, 1);
    insertText(1, &text);
    Utils::RefCountPtr<ODbSelectCursor> cursor = ODbClassfactory::createODbSelectCursor(*connection_);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ODbDynamicVariable value(extLong, 4, 5);
        cursor->open("select v from lt", 5);
        cursor->define(1, value);
        ASSERT_TRUE(cursor->next());
        ODbData field(value);
        EXPECT_EQ(text, textIn(field));
        cursor->close();
    }
}

TEST_F(LongValues, NullLongBothWays)
{
    insertText(1, nullptr);
    ODbQuery query(*connection_);
    query.open("select v from lt where id = 1");
    ASSERT_TRUE(query.next());
    EXPECT_TRUE(query.fieldByPos(1).isNull());
    EXPECT_EQ("<null>", textIn(query.fieldByPos(1)));
}

TEST_F(LongValues, RowCopyKeepsTheLongValue)
{
    const std::string text = textOf(2500, 3);
    insertText(1, &text);
    ODbQuery query(*connection_);
    query.open("select v from lt");
    ASSERT_TRUE(query.next());
    ODbRow<ODbData> row = query.getRow();
    EXPECT_FALSE(query.next());
    EXPECT_EQ(text, textIn(row.getField(1)));
}

} // namespace
