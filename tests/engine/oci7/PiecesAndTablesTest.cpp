// The release-7 face's extended binds and defines: PL/SQL tables with their
// element counts, and LONG values moved in pieces through ogetpi/osetpi.
#include "Oci7TestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using engine_test::Oci7TestSession;
using engine_test::oraText;
using engine_test::TempDataDirectory;

namespace {

constexpr ub4 kPiece = 4096;

class Oci7Extended : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(session.logon("scott", "tiger"), 0) << session.message(session.lda()); }

    TempDataDirectory dir;
    Oci7TestSession session;
};

TEST_F(Oci7Extended, PlsqlTablesGoInAndComeBackWithTheirCount) {
    session.run("create package tabs is type numbers is table of number index by binary_integer; "
                "type names is table of varchar2(10) index by binary_integer; "
                "procedure firsts(i in numbers, o out names); end;");
    session.run("create package body tabs is procedure firsts(i in numbers, o out names) is\n"
                "begin for k in 1 .. i.count - 1 loop o(k) := 'n' || i(k); end loop; end; end;");
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "begin tabs.firsts(:i, :o); end;"), 0);
    double in[5] = {10, 20, 30, 40, 50};
    ub4 inCount = 4;
    char out[6][11] = {};
    sb2 outIndicators[6] = {};
    ub2 outLengths[6] = {};
    ub4 outCount = 0;
    ASSERT_EQ(obindps(&cursor, OCI7_ARRAY, oraText(":i"), -1, reinterpret_cast<ub1*>(in), sizeof in[0], SQLT_FLT, -1,
                      nullptr, nullptr, nullptr, sizeof in[0], 0, 0, 0, 5, &inCount, nullptr, -1, -1),
              0)
        << session.message(cursor);
    ASSERT_EQ(obindps(&cursor, OCI7_ARRAY, oraText(":o"), -1, reinterpret_cast<ub1*>(out), sizeof out[0], SQLT_STR,
                      -1, outIndicators, outLengths, nullptr, sizeof out[0], sizeof(sb2), sizeof(ub2), 0, 6, &outCount,
                      nullptr, -1, -1),
              0);
    ASSERT_EQ(oexn(&cursor, 1, 0), 0) << session.message(cursor);
    EXPECT_EQ(outCount, 3u) << "the current count of the first 4 elements, less one";
    EXPECT_STREQ(out[0], "n10");
    EXPECT_STREQ(out[2], "n30");
    EXPECT_EQ(outLengths[2], 3u);
    EXPECT_EQ(inCount, 4u);

    inCount = 5;
    ub4 room = 2;
    ASSERT_EQ(obindps(&cursor, OCI7_ARRAY, oraText(":o"), -1, reinterpret_cast<ub1*>(out), sizeof out[0], SQLT_STR,
                      -1, nullptr, nullptr, nullptr, 0, 0, 0, 0, 2, &room, nullptr, -1, -1),
              0);
    EXPECT_EQ(oexn(&cursor, 1, 0), 6513) << "four elements for an array of two";
    EXPECT_NE(obindps(&cursor, 7, oraText(":o"), -1, reinterpret_cast<ub1*>(out), sizeof out[0], SQLT_STR, -1,
                      nullptr, nullptr, nullptr, 0, 0, 0, 0, 2, &room, nullptr, -1, -1),
              0)
        << "an unknown operation code";
}

std::string patterned(std::size_t size) {
    std::string value(size, '\0');
    for (std::size_t i = 0; i < size; ++i) value[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    return value;
}

TEST_F(Oci7Extended, LongValueOfAMegabyteInAndOutInPieces) {
    session.run("create table docs (id number, body long)");
    std::string text = patterned(1024 * 1024 + 123);

    cda_def& insert = session.openCursor();
    ASSERT_EQ(session.parse(insert, "insert into docs values (1, :body)"), 0);
    int inContext = 0;
    sb2 inIndicator = 0;
    ASSERT_EQ(obindps(&insert, OCI7_PIECEWISE, oraText(":body"), -1, reinterpret_cast<ub1*>(&inContext), 3000000,
                      SQLT_LNG, -1, &inIndicator, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, -1, -1),
              0)
        << session.message(insert);
    std::size_t offset = 0;
    int requests = 0;
    sword result = oexec(&insert);
    while (result != 0 && insert.rc == NEED_NEXT_IN_PIECE) {
        ub1 piece = 0;
        dvoid* context = nullptr;
        ub4 iteration = 9, index = 9;
        ASSERT_EQ(ogetpi(&insert, &piece, &context, &iteration, &index), 0);
        ASSERT_EQ(context, &inContext);
        ASSERT_EQ(piece, offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
        ub4 length = static_cast<ub4>(std::min<std::size_t>(kPiece, text.size() - offset));
        const bool last = offset + length >= text.size();
        ASSERT_EQ(osetpi(&insert, last ? OCI_LAST_PIECE : OCI_NEXT_PIECE, &text[offset], &length), 0);
        offset += length;
        ++requests;
        result = oexec(&insert);
    }
    ASSERT_EQ(result, 0) << session.message(insert);
    EXPECT_EQ(insert.rpc, 1u);
    EXPECT_EQ(requests, static_cast<int>((text.size() + kPiece - 1) / kPiece));

    cda_def& query = session.openCursor();
    ASSERT_EQ(session.parse(query, "select id, body from docs"), 0);
    sb4 id = 0;
    int outContext = 0;
    sb2 outIndicator = 5;
    ASSERT_EQ(odefin(&query, 1, reinterpret_cast<ub1*>(&id), sizeof id, SQLT_INT, -1, nullptr, nullptr, -1, -1,
                     nullptr, nullptr),
              0);
    ASSERT_EQ(odefinps(&query, OCI7_PIECEWISE, 2, reinterpret_cast<ub1*>(&outContext), 3000000, SQLT_LNG, -1,
                       &outIndicator, nullptr, -1, -1, nullptr, nullptr, 0, 0, 0, 0),
              0);
    ASSERT_EQ(oexec(&query), 0) << session.message(query);
    std::string fetched;
    char buffer[kPiece];
    ub4 length = 0;
    result = ofen(&query, 1);
    while (result != 0 && query.rc == NEED_NEXT_OUT_PIECE) {
        ub1 piece = 0;
        dvoid* context = nullptr;
        ub4 iteration = 0, index = 0;
        ASSERT_EQ(ogetpi(&query, &piece, &context, &iteration, &index), 0);
        ASSERT_EQ(context, &outContext);
        ASSERT_EQ(piece, fetched.empty() && length == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
        fetched.append(buffer, length);
        length = sizeof buffer;
        ASSERT_EQ(osetpi(&query, piece, buffer, &length), 0);
        result = ofen(&query, 1);
    }
    ASSERT_EQ(result, 0) << session.message(query);
    fetched.append(buffer, length);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(outIndicator, 0);
    EXPECT_EQ(query.rpc, 1u);
    EXPECT_EQ(fetched.size(), text.size());
    EXPECT_TRUE(fetched == text);
    EXPECT_EQ(ofen(&query, 1), 1403);
    EXPECT_NE(ogetpi(&query, nullptr, nullptr, nullptr, nullptr), 0) << "no piece is pending";
}

}  // namespace
