// Array binds and batched fetches with every external type the library uses:
// 1,000 rows inserted by one execute, read back 20 at a time, NULLs both ways.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

constexpr ub4 kRows = 1000;
constexpr ub4 kBatch = 20;

// The value every column of row `i` holds; NULL where the predicate says.
std::string nameOf(ub4 i) { return "name " + std::to_string(i); }
bool nameIsNull(ub4 i) { return i % 7 == 3; }
bool dataIsNull(ub4 i) { return i % 5 == 1; }
double amountOf(ub4 i) { return i * 1.25 - 17.5; }
void dateOf(ub4 i, ub1* date) {
    const ub1 bytes[7] = {120, static_cast<ub1>(100 + i % 100), static_cast<ub1>(1 + i % 12),
                          static_cast<ub1>(1 + i % 28), static_cast<ub1>(1 + i % 24), static_cast<ub1>(1 + i % 60),
                          static_cast<ub1>(1 + (i * 7) % 60)};
    std::memcpy(date, bytes, sizeof bytes);
}
std::string dataOf(ub4 i) { return std::string(1 + i % 90, static_cast<char>(i % 251)); }

// Column buffers of one insert, as parallel arrays.
struct InsertArrays {
    std::vector<sb4> ids = std::vector<sb4>(kRows);
    std::vector<char> names = std::vector<char>(kRows * 31);
    std::vector<sb2> nameIndicators = std::vector<sb2>(kRows);
    std::vector<double> amounts = std::vector<double>(kRows);
    std::vector<ub1> dates = std::vector<ub1>(kRows * 7);
    std::vector<ub1> data = std::vector<ub1>(kRows * 102);  // ub2 length + 100 bytes
    std::vector<sb2> dataIndicators = std::vector<sb2>(kRows);

    InsertArrays() {
        for (ub4 i = 0; i < kRows; ++i) {
            ids[i] = static_cast<sb4>(i);
            std::strcpy(&names[i * 31], nameOf(i).c_str());
            nameIndicators[i] = nameIsNull(i) ? -1 : 0;
            amounts[i] = amountOf(i);
            dateOf(i, &dates[i * 7]);
            const std::string bytes = dataOf(i);
            const ub2 length = static_cast<ub2>(bytes.size());
            std::memcpy(&data[i * 102], &length, sizeof length);
            std::memcpy(&data[i * 102 + 2], bytes.data(), bytes.size());
            dataIndicators[i] = dataIsNull(i) ? -1 : 0;
        }
    }
};

class BindFetch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table items (id number(10) not null, name varchar2(30), amount number(12,2), "
                    "created date, data raw(100))");
    }

    void bind(OCIStmt* stmt, const char* name, void* value, sb4 size, ub2 type, sb2* indicators = nullptr) {
        OCIBind* bindHandle = nullptr;
        ASSERT_EQ(OCIBindByName(stmt, &bindHandle, session.err(), reinterpret_cast<const OraText*>(name), -1, value,
                                size, type, indicators, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << session.lastError();
    }

    void insertRows() {
        OCIStmt* stmt = session.prepare(
            "insert into items (id, name, amount, created, data) values (:id, :Name, :AMOUNT, :created, :data)");
        bind(stmt, ":id", arrays.ids.data(), sizeof(sb4), SQLT_INT);
        bind(stmt, "name", arrays.names.data(), 31, SQLT_STR, arrays.nameIndicators.data());
        bind(stmt, "amount", arrays.amounts.data(), sizeof(double), SQLT_FLT);
        bind(stmt, "CREATED", arrays.dates.data(), 7, SQLT_DAT);
        bind(stmt, "data", arrays.data.data(), 102, SQLT_VBI, arrays.dataIndicators.data());
        ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), kRows, 0, nullptr, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << session.lastError();
        ub4 rows = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, session.err());
        EXPECT_EQ(rows, kRows);
    }

    TempDataDirectory dir;
    OciTestSession session;
    InsertArrays arrays;
};

// Define buffers for one batch of the query in ReadsBackEveryTypeInBatches.
struct FetchArrays {
    sb2 shortIds[kBatch];
    sb4 longIds[kBatch];
    char names[kBatch][31];
    sb2 nameIndicators[kBatch];
    ub2 nameLengths[kBatch];
    char chars[kBatch][30];
    ub2 charLengths[kBatch];
    sb2 charIndicators[kBatch];
    double amounts[kBatch];
    ub1 dates[kBatch][7];
    ub1 raws[kBatch][102];
    sb2 rawIndicators[kBatch];
    ub1 longRaws[kBatch][104];
    sb2 longRawIndicators[kBatch];
};

void expectRow(const FetchArrays& f, ub4 row, ub4 i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(f.shortIds[row], static_cast<sb2>(i));
    EXPECT_EQ(f.longIds[row], static_cast<sb4>(i));
    EXPECT_EQ(f.nameIndicators[row], nameIsNull(i) ? -1 : 0);
    EXPECT_EQ(f.charIndicators[row], nameIsNull(i) ? -1 : 0);
    if (!nameIsNull(i)) {
        EXPECT_EQ(std::string(f.names[row]), nameOf(i));
        EXPECT_EQ(f.nameLengths[row], nameOf(i).size());
        EXPECT_EQ(std::string(f.chars[row], f.charLengths[row]), nameOf(i));
    }
    EXPECT_DOUBLE_EQ(f.amounts[row], amountOf(i));
    ub1 date[7];
    dateOf(i, date);
    EXPECT_EQ(std::memcmp(f.dates[row], date, 7), 0);
    EXPECT_EQ(f.rawIndicators[row], dataIsNull(i) ? -1 : 0);
    EXPECT_EQ(f.longRawIndicators[row], dataIsNull(i) ? -1 : 0);
    if (!dataIsNull(i)) {
        ub2 length;
        std::memcpy(&length, f.raws[row], 2);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.raws[row] + 2), length), dataOf(i));
        sb4 longLength;
        std::memcpy(&longLength, f.longRaws[row], 4);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.longRaws[row] + 4), longLength), dataOf(i));
    }
}

TEST_F(BindFetch, ReadsBackEveryTypeInBatches) {
    insertRows();
    OCIStmt* stmt = session.prepare("select id, id, name, name, amount, created, data, data from items order by id");
    FetchArrays f{};
    OCIError* err = session.err();
    OCIDefine* d[8] = {};
    OCIDefineByPos(stmt, &d[0], err, 1, f.shortIds, sizeof(sb2), SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[1], err, 2, f.longIds, sizeof(sb4), SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[2], err, 3, f.names, 31, SQLT_STR, f.nameIndicators, f.nameLengths, nullptr,
                   OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[3], err, 4, f.chars, 30, SQLT_CHR, f.charIndicators, f.charLengths, nullptr,
                   OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[4], err, 5, f.amounts, sizeof(double), SQLT_FLT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[5], err, 6, f.dates, 7, SQLT_DAT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[6], err, 7, f.raws, 102, SQLT_VBI, f.rawIndicators, nullptr, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIDefineByPos(stmt, &d[7], err, 8, f.longRaws, 104, SQLT_LVB, f.longRawIndicators, nullptr, nullptr,
                             OCI_DEFAULT),
              OCI_SUCCESS)
        << session.lastError();

    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, err, kBatch, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    ub4 seen = 0;
    for (sword status = OCI_SUCCESS; status == OCI_SUCCESS;) {
        ub4 total = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &total, nullptr, OCI_ATTR_ROW_COUNT, err);
        ASSERT_EQ(total, seen + kBatch);
        for (ub4 row = 0; row < kBatch; ++row) expectRow(f, row, seen + row);
        seen = total;
        status = OCIStmtFetch(stmt, err, kBatch, OCI_FETCH_NEXT, OCI_DEFAULT);
        if (seen == kRows) {
            EXPECT_EQ(status, OCI_NO_DATA);
            EXPECT_EQ(session.lastError(), "ORA-01403: no data found");
        } else {
            ASSERT_EQ(status, OCI_SUCCESS) << session.lastError();
        }
    }
    EXPECT_EQ(seen, kRows);
}

TEST_F(BindFetch, ArrayOfStructuresAndRowOffset) {
    struct Row {
        sb4 id;
        char name[12];
        sb2 indicator;
        ub2 length;
    };
    Row rows[4] = {{1, "one", 0, 3}, {2, "two", -1, 3}, {3, "three", 0, 5}, {4, "four", 0, 4}};
    OCIStmt* stmt = session.prepare("insert into items (id, name) values (:1, :2)");
    OCIBind* byId = nullptr;
    OCIBind* byName = nullptr;
    OCIError* err = session.err();
    OCIBindByPos(stmt, &byId, err, 1, &rows[0].id, sizeof(sb4), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                 OCI_DEFAULT);
    OCIBindByPos(stmt, &byName, err, 2, rows[0].name, sizeof rows[0].name, SQLT_CHR, &rows[0].indicator,
                 &rows[0].length, nullptr, 0, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIBindArrayOfStruct(byId, err, sizeof(Row), 0, 0, 0), OCI_SUCCESS) << session.lastError();
    ASSERT_EQ(OCIBindArrayOfStruct(byName, err, sizeof(Row), sizeof(Row), sizeof(Row), 0), OCI_SUCCESS);
    // Elements 1 to 3 only: the row offset skips the first.
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, err, 3, 1, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    EXPECT_EQ(session.column("select id || ':' || nvl(name, '-') from items order by id"),
              (std::vector<std::string>{"2:-", "3:three", "4:four"}));
}

TEST_F(BindFetch, NullsTravelBothWays) {
    session.run("insert into items (id, name, amount) values (1, null, null)");
    OCIStmt* insert = session.prepare("insert into items (id, name, amount) values (2, :name, 5)");
    char empty[4] = "";
    bind(insert, "name", empty, sizeof empty, SQLT_STR);
    ASSERT_EQ(OCIStmtExecute(session.svc(), insert, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    // An empty string is NULL, as the server has it.
    EXPECT_EQ(session.value("select count(*) from items where name is null"), "2");

    OCIStmt* stmt = nullptr;
    ASSERT_EQ(session.execute("select amount from items order by id", &stmt), OCI_SUCCESS) << session.lastError();
    double amounts[2] = {-1, -1};
    sb2 indicators[2] = {7, 7};
    ub2 codes[2] = {7, 7};
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, session.err(), 1, amounts, sizeof(double), SQLT_FLT, indicators, nullptr, codes,
                   OCI_DEFAULT);
    ASSERT_EQ(OCIStmtFetch(stmt, session.err(), 2, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << session.lastError();
    EXPECT_EQ(indicators[0], -1);
    EXPECT_EQ(codes[0], 1405);
    EXPECT_EQ(indicators[1], 0);
    EXPECT_EQ(codes[1], 0);
    EXPECT_EQ(amounts[1], 5.0);
}

TEST_F(BindFetch, NullWithoutIndicatorIsAnError) {
    session.run("insert into items (id) values (1)");
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(session.execute("select name from items", &stmt), OCI_SUCCESS);
    char name[31];
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, session.err(), 1, name, sizeof name, SQLT_STR, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    EXPECT_EQ(OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01405: fetched column value is NULL");
}

TEST_F(BindFetch, TooLongTextIsTruncatedWithIndicatorAndReturnCode) {
    session.run("insert into items (id, name) values (1, 'abcdefghijklmnop')");
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(session.execute("select name from items", &stmt), OCI_SUCCESS);
    char name[6];
    sb2 indicator = 0;
    ub2 length = 0;
    ub2 code = 0;
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, session.err(), 1, name, sizeof name, SQLT_STR, &indicator, &length, &code,
                   OCI_DEFAULT);
    EXPECT_EQ(OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS_WITH_INFO);
    EXPECT_EQ(session.lastError(), "ORA-01406: fetched column value was truncated");
    EXPECT_EQ(std::string(name), "abcde");
    EXPECT_EQ(indicator, 16);
    EXPECT_EQ(code, 1406);
    EXPECT_EQ(length, 5);
}

TEST_F(BindFetch, NumbersConvertToTheDefinedType) {
    session.run("insert into items (id, amount) values (70000, 2.5)");
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(session.execute("select id, amount, amount from items", &stmt), OCI_SUCCESS);
    sb2 small = 0;
    sb4 rounded = 0;
    char text[10];
    OCIDefine* d[3] = {};
    OCIDefineByPos(stmt, &d[0], session.err(), 1, &small, sizeof small, SQLT_INT, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[1], session.err(), 2, &rounded, sizeof rounded, SQLT_INT, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    OCIDefineByPos(stmt, &d[2], session.err(), 3, text, sizeof text, SQLT_STR, nullptr, nullptr, nullptr,
                   OCI_DEFAULT);
    // 70000 does not fit a 2-byte integer.
    EXPECT_EQ(OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01455: converting column overflows integer datatype");

    ASSERT_EQ(OCIDefineByPos(stmt, &d[0], session.err(), 1, text, sizeof text, SQLT_STR, nullptr, nullptr, nullptr,
                             OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    EXPECT_EQ(rounded, 3);
    EXPECT_EQ(std::string(text), "2.5");
}

TEST_F(BindFetch, DatesRoundTripAcrossTheirRange) {
    struct Case {
        ub1 bytes[7];
        const char* text;  // as stored and as SQL sees it
    };
    const std::vector<Case> cases{
        {{100, 101, 1, 1, 1, 1, 1}, "0001-01-01 00:00:00"},
        {{199, 199, 12, 31, 24, 60, 60}, "9999-12-31 23:59:59"},
        {{119, 199, 2, 28, 13, 31, 1}, "1999-02-28 12:30:00"},
        {{53, 88, 1, 1, 1, 1, 1}, "-4712-01-01 00:00:00"},
    };
    OCIStmt* insert = session.prepare("insert into items (id, created) values (:id, :created)");
    sb4 id = 0;
    ub1 date[7];
    bind(insert, "id", &id, sizeof id, SQLT_INT);
    bind(insert, "created", date, sizeof date, SQLT_DAT);
    for (const Case& c : cases) {
        std::memcpy(date, c.bytes, 7);
        ASSERT_EQ(OCIStmtExecute(session.svc(), insert, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << c.text << ": " << session.lastError();
        ++id;
    }
    OCIStmt* query = session.prepare("select created, created from items order by id");
    ub1 dates[4][7];
    char texts[4][24];
    OCIDefine* d[2] = {};
    OCIDefineByPos(query, &d[0], session.err(), 1, dates, 7, SQLT_DAT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    OCIDefineByPos(query, &d[1], session.err(), 2, texts, 24, SQLT_STR, nullptr, nullptr, nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIStmtExecute(session.svc(), query, session.err(), 4, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
        << session.lastError();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(std::memcmp(dates[i], cases[i].bytes, 7), 0) << cases[i].text;
        EXPECT_EQ(std::string(texts[i]), cases[i].text);
    }

    const ub1 badMonth[7] = {120, 120, 13, 1, 1, 1, 1};
    std::memcpy(date, badMonth, 7);
    EXPECT_EQ(OCIStmtExecute(session.svc(), insert, session.err(), 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01861: literal does not match format string");
}

}  // namespace
