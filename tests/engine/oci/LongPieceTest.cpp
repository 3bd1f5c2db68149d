// LONG and LONG RAW values of several megabytes moved in 1024-byte pieces:
// written through data-at-exec binds answered on OCI_NEED_DATA, read through
// dynamic-fetch defines.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <string>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

constexpr ub4 kPiece = 1024;
constexpr std::size_t kThreeMegabytes = 3 * 1024 * 1024;

std::string patterned(std::size_t size, bool binary) {
    std::string value(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        value[i] = binary ? static_cast<char>((i * 31 + i / 1024) & 0xff) : static_cast<char>('a' + i % 26);
    }
    return value;
}

class LongPieces : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table docs (id number, body long)");
        session.run("create table blobs (id number, body long raw)");
    }

    // Inserts `value` (NULL when `isNull`) as row `id` of `table`, in pieces.
    void writeInPieces(const std::string& table, ub2 type, int id, const std::string& value, bool isNull = false) {
        OCIStmt* stmt = session.prepare("insert into " + table + " (id, body) values (" + std::to_string(id) +
                                        ", :body)");
        OCIBind* bind = nullptr;
        sb2 indicator = isNull ? -1 : 0;
        ASSERT_EQ(OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>(":body"), -1, nullptr,
                                static_cast<sb4>(value.size() + kPiece), type, &indicator, nullptr, nullptr, 0,
                                nullptr, OCI_DATA_AT_EXEC),
                  OCI_SUCCESS)
            << session.lastError();
        std::size_t offset = 0;
        sword status = OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
        while (status == OCI_NEED_DATA) {
            void* handle = nullptr;
            ub4 handleType = 0, iteration = 9, index = 9;
            ub1 direction = 0, piece = 0;
            ASSERT_EQ(OCIStmtGetPieceInfo(stmt, session.err(), &handle, &handleType, &direction, &iteration, &index,
                                          &piece),
                      OCI_SUCCESS);
            ASSERT_EQ(handle, bind);
            ASSERT_EQ(handleType, static_cast<ub4>(OCI_HTYPE_BIND));
            ASSERT_EQ(direction, OCI_PARAM_IN);
            ASSERT_EQ(iteration, 0u);
            ASSERT_EQ(piece, offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
            ub4 length = static_cast<ub4>(std::min<std::size_t>(kPiece, value.size() - offset));
            const bool last = offset + length >= value.size();
            OCIStmtSetPieceInfo(bind, OCI_HTYPE_BIND, session.err(), value.data() + offset, &length,
                                last ? OCI_LAST_PIECE : OCI_NEXT_PIECE, &indicator, nullptr);
            offset += length;
            status = OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT);
        }
        ASSERT_EQ(status, OCI_SUCCESS) << session.lastError();
    }

    // Reads `body` of every row of `table` in id order, in pieces; "<null>"
    // for a NULL value.
    std::vector<std::string> readInPieces(const std::string& table, ub2 type, ub4 batch) {
        OCIStmt* stmt = session.prepare("select body from " + table + " order by id");
        OCIDefine* define = nullptr;
        EXPECT_EQ(OCIDefineByPos(stmt, &define, session.err(), 1, nullptr, 300000, type, nullptr, nullptr, nullptr,
                                 OCI_DYNAMIC_FETCH),
                  OCI_SUCCESS);
        EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 0, 0, nullptr, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        std::vector<std::string> values;
        std::vector<sb2> indicators;
        char buffer[kPiece];
        ub4 length = 0;
        sword status;
        do {
            status = OCIStmtFetch(stmt, session.err(), batch, OCI_FETCH_NEXT, OCI_DEFAULT);
            while (status == OCI_NEED_DATA) {
                void* handle = nullptr;
                ub4 handleType = 0, iteration = 0, index = 0;
                ub1 direction = 0, piece = 0;
                OCIStmtGetPieceInfo(stmt, session.err(), &handle, &handleType, &direction, &iteration, &index,
                                    &piece);
                EXPECT_EQ(handle, define);
                EXPECT_EQ(handleType, static_cast<ub4>(OCI_HTYPE_DEFINE));
                EXPECT_EQ(direction, OCI_PARAM_OUT);
                if (piece == OCI_FIRST_PIECE) {
                    values.emplace_back();
                    indicators.push_back(0);
                }
                EXPECT_EQ(iteration, (values.size() - 1) % batch);
                length = kPiece;
                OCIStmtSetPieceInfo(define, OCI_HTYPE_DEFINE, session.err(), buffer, &length, piece,
                                    &indicators.back(), nullptr);
                status = OCIStmtFetch(stmt, session.err(), batch, OCI_FETCH_NEXT, OCI_DEFAULT);
                values.back().append(buffer, length);
            }
        } while (status == OCI_SUCCESS);
        EXPECT_EQ(status, OCI_NO_DATA) << session.lastError();
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (indicators[i] == -1) values[i] = "<null>";
        }
        return values;
    }

    TempDataDirectory dir;
    OciTestSession session;
};

TEST_F(LongPieces, ThreeMegabyteLongTextRoundTrips) {
    const std::string text = patterned(kThreeMegabytes, false);
    writeInPieces("docs", SQLT_LNG, 1, text);
    const std::vector<std::string> values = readInPieces("docs", SQLT_LNG, 1);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].size(), text.size());
    EXPECT_TRUE(values[0] == text);
}

TEST_F(LongPieces, ThreeMegabyteLongRawRoundTrips) {
    const std::string bytes = patterned(kThreeMegabytes, true);
    writeInPieces("blobs", SQLT_LBI, 1, bytes);
    const std::vector<std::string> values = readInPieces("blobs", SQLT_LBI, 1);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].size(), bytes.size());
    EXPECT_TRUE(values[0] == bytes);
}

TEST_F(LongPieces, SeveralRowsPerBatchShortValuesAndNull) {
    writeInPieces("docs", SQLT_LNG, 1, "short");
    writeInPieces("docs", SQLT_LNG, 2, "", true);
    writeInPieces("docs", SQLT_LNG, 3, patterned(kPiece * 2 + 17, false));
    const std::vector<std::string> values = readInPieces("docs", SQLT_LNG, 2);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], "short");
    EXPECT_EQ(values[1], "<null>");
    EXPECT_EQ(values[2], patterned(kPiece * 2 + 17, false));
}

TEST_F(LongPieces, ExecuteWithoutTheAwaitedPieceIsRefused) {
    OCIStmt* stmt = session.prepare("insert into docs (id, body) values (1, :body)");
    OCIBind* bind = nullptr;
    OCIBindByName(stmt, &bind, session.err(), reinterpret_cast<const OraText*>("body"), -1, nullptr, 3000000,
                  SQLT_LNG, nullptr, nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC);
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_NEED_DATA);
    EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-03129: the next piece to be inserted is required");
    // The statement can run again from the start.
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_NEED_DATA);
    ub4 length = 4;
    OCIStmtSetPieceInfo(bind, OCI_HTYPE_BIND, session.err(), "body", &length, OCI_ONE_PIECE, nullptr, nullptr);
    EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    EXPECT_EQ(session.value("select body from docs"), "body");
}

// The in-bind callback of OCIBindDynamic: hands "callback-" then the row
// number as two pieces for each iteration.
struct CallbackSource {
    std::string pieces[2];
    int calls = 0;
};

sb4 supplyPiece(dvoid* context, OCIBind*, ub4 iteration, ub4 index, dvoid** buffer, ub4* length, ub1* piece,
                dvoid** indicator) {
    auto& source = *static_cast<CallbackSource*>(context);
    const bool first = source.calls % 2 == 0;
    if (first) {
        source.pieces[0] = "callback-";
        source.pieces[1] = std::to_string(iteration) + "/" + std::to_string(index);
    }
    const std::string& text = source.pieces[first ? 0 : 1];
    *buffer = const_cast<char*>(text.data());
    *length = static_cast<ub4>(text.size());
    *piece = first ? OCI_FIRST_PIECE : OCI_LAST_PIECE;
    *indicator = nullptr;
    ++source.calls;
    return OCI_CONTINUE;
}

TEST_F(LongPieces, InBindCallbackSuppliesDataAtExecValues) {
    OCIStmt* stmt = session.prepare("insert into docs (id, body) values (:id, :body)");
    sb4 ids[3] = {1, 2, 3};
    OCIBind* idBind = nullptr;
    OCIBind* bodyBind = nullptr;
    OCIBindByName(stmt, &idBind, session.err(), reinterpret_cast<const OraText*>("id"), -1, ids, sizeof(sb4),
                  SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    OCIBindByName(stmt, &bodyBind, session.err(), reinterpret_cast<const OraText*>("body"), -1, nullptr, 3000000,
                  SQLT_LNG, nullptr, nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC);
    CallbackSource source;
    ASSERT_EQ(OCIBindDynamic(bodyBind, session.err(), &source, supplyPiece, nullptr, nullptr), OCI_SUCCESS);
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 3, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    EXPECT_EQ(source.calls, 6);
    EXPECT_EQ(session.column("select body from docs order by id"),
              (std::vector<std::string>{"callback-0/0", "callback-1/0", "callback-2/0"}));
}

}  // namespace
