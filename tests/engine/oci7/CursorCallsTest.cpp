// The release-7 face: logon, the area fields of parse, execute and fetch,
// array binds, and the messages oerhms gives.
#include "Oci7TestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using engine_test::Oci7TestSession;
using engine_test::oraText;
using engine_test::TempDataDirectory;

namespace {

class Oci7Cursor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(session.logon("scott", "tiger"), 0) << session.message(session.lda()); }

    TempDataDirectory dir;
    Oci7TestSession session;
};

TEST(Oci7Logon, PasswordsAndConnectForms) {
    TempDataDirectory dir;
    {
        Oci7TestSession owner;
        ASSERT_EQ(owner.logon("scott", "tiger"), 0);
    }
    const struct {
        const char* user;
        const char* password;
        const char* alias;
        ub2 rc;
    } cases[] = {
        {"scott", "tiger", "test", 0},
        {"SCOTT", "tiger", "test", 0},
        {"scott/tiger@test", "", "", 0},
        {"scott", "lion", "test", 1017},
        {"scott/lion@test", "", "", 1017},
        {"scott", "tiger", "no/such", 12154},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.password + "@" + c.alias);
        cda_def lda{};
        ub1 hda[HDA_SIZE] = {};
        const sword result = olog(&lda, hda, oraText(c.user), -1, oraText(c.password), -1, oraText(c.alias), -1, 0);
        EXPECT_EQ(lda.rc, c.rc);
        EXPECT_EQ(result != 0, c.rc != 0);
        if (result == 0) {
            EXPECT_EQ(ologof(&lda), 0);
            continue;
        }
        EXPECT_EQ(ocom(&lda), 1012) << "a failed logon leaves no session";
    }
    cda_def lda{};
    ub1 hda[HDA_SIZE] = {};
    olog(&lda, hda, oraText("scott"), -1, oraText("lion"), -1, oraText("test"), -1, 0);
    OraText text[128];
    const sword length = oerhms(&lda, static_cast<sb2>(lda.rc), text, sizeof text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text)), "ORA-01017: invalid username/password; logon denied\n");
    EXPECT_EQ(length, static_cast<sword>(std::strlen(reinterpret_cast<char*>(text))));
}

TEST_F(Oci7Cursor, QueryInBatchesCountsRowsAndEndsWith1403) {
    session.run("create table t (id number, name varchar2(10))");
    for (int i = 1; i <= 7; ++i) session.run("insert into t values (" + std::to_string(i) + ", 'n" + std::to_string(i) + "')");
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "select id, name from t order by id"), 0);
    EXPECT_EQ(cursor.ft, FT_SELECT);
    EXPECT_EQ(cursor.fc, FC_OPARSE);
    sb4 ids[3] = {};
    char names[3][11] = {};
    sb2 nameIndicators[3] = {};
    ub2 nameLengths[3] = {};
    ASSERT_EQ(odefin(&cursor, 1, reinterpret_cast<ub1*>(ids), sizeof ids[0], SQLT_INT, -1, nullptr, nullptr, -1, -1,
                     nullptr, nullptr),
              0);
    ASSERT_EQ(odefin(&cursor, 2, reinterpret_cast<ub1*>(names), sizeof names[0], SQLT_STR, -1, nameIndicators,
                     nullptr, -1, -1, nameLengths, nullptr),
              0);
    ASSERT_EQ(oexfet(&cursor, 3, 0, 0), 0) << session.message(cursor);
    EXPECT_EQ(cursor.rpc, 3u);
    EXPECT_EQ(cursor.fc, FC_OEXFET);
    EXPECT_EQ(ids[2], 3);
    EXPECT_STREQ(names[2], "n3");
    ASSERT_EQ(ofen(&cursor, 3), 0);
    EXPECT_EQ(cursor.rpc, 6u) << "cumulative over the fetches of one execute";
    EXPECT_EQ(ids[0], 4);
    EXPECT_EQ(ofen(&cursor, 3), 1403);
    EXPECT_EQ(cursor.rc, 1403);
    EXPECT_EQ(cursor.rpc, 7u) << "the last partial batch arrives with the end";
    EXPECT_EQ(ids[0], 7);
    EXPECT_STREQ(names[0], "n7");
    EXPECT_EQ(session.message(cursor), "ORA-01403: no data found");
    // A new execute starts counting again; cancel closes the query.
    ASSERT_EQ(oexfet(&cursor, 2, 1, 0), 0);
    EXPECT_EQ(cursor.rpc, 2u);
    EXPECT_NE(ofen(&cursor, 1), 0) << "cancelled";
}

TEST_F(Oci7Cursor, ArrayInsertOfStructuresWithRowOffset) {
    session.run("create table t (id number, name varchar2(10))");
    struct Row {
        sb4 id;
        char name[8];
        sb2 nameIndicator;
    } rows[4] = {{1, "one", 0}, {2, "two", 0}, {3, "", -1}, {4, "four", 0}};
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "insert into t values (:id, :name)"), 0);
    EXPECT_EQ(cursor.ft, FT_INSERT);
    ASSERT_EQ(obindps(&cursor, OCI7_ARRAY, oraText(":id"), -1, reinterpret_cast<ub1*>(&rows[0].id), sizeof(sb4),
                      SQLT_INT, -1, nullptr, nullptr, nullptr, sizeof(Row), 0, 0, 0, 0, nullptr, nullptr, -1, -1),
              0)
        << session.message(cursor);
    ASSERT_EQ(obindps(&cursor, OCI7_ARRAY, oraText(":name"), -1, reinterpret_cast<ub1*>(rows[0].name),
                      sizeof rows[0].name, SQLT_STR, -1, &rows[0].nameIndicator, nullptr, nullptr, sizeof(Row),
                      sizeof(Row), 0, 0, 0, nullptr, nullptr, -1, -1),
              0);
    ASSERT_EQ(oexn(&cursor, 4, 0), 0) << session.message(cursor);
    EXPECT_EQ(cursor.rpc, 4u);
    EXPECT_EQ(cursor.fc, FC_OEXEC);
    EXPECT_EQ(session.value("select count(*) from t where name is null"), "1");
    ASSERT_EQ(oexn(&cursor, 4, 2), 0) << "elements 2 and 3 only";
    EXPECT_EQ(cursor.rpc, 2u);
    EXPECT_EQ(session.value("select count(*) from t where id >= 3"), "4");
    EXPECT_NE(oexn(&cursor, 2, 3), 0) << "an offset past the array";
}

TEST_F(Oci7Cursor, BindsByNumberNameAndPosition) {
    session.run("create table t (a number, b varchar2(5))");
    cda_def& cursor = session.openCursor();
    sb4 a = 7;
    char b[] = "x";
    ASSERT_EQ(session.parse(cursor, "insert into t values (:2, :1)"), 0);
    ASSERT_EQ(obndrn(&cursor, 2, reinterpret_cast<ub1*>(&a), sizeof a, SQLT_INT, -1, nullptr, nullptr, -1, -1), 0);
    ASSERT_EQ(obndrn(&cursor, 1, reinterpret_cast<ub1*>(b), sizeof b, SQLT_STR, -1, nullptr, nullptr, -1, -1), 0);
    ASSERT_EQ(oexec(&cursor), 0) << session.message(cursor);
    ASSERT_EQ(session.parse(cursor, "insert into t values (:a, :b)"), 0);
    ASSERT_EQ(obndrn(&cursor, 1, reinterpret_cast<ub1*>(&a), sizeof a, SQLT_INT, -1, nullptr, nullptr, -1, -1), 0)
        << "by position when no placeholder has the number";
    ASSERT_EQ(obndrv(&cursor, oraText(":B"), -1, reinterpret_cast<ub1*>(b), sizeof b, SQLT_STR, -1, nullptr, nullptr,
                     -1, -1),
              0);
    ASSERT_EQ(oexec(&cursor), 0) << session.message(cursor);
    EXPECT_EQ(session.value("select count(*) from t where a = 7 and b = 'x'"), "2");
    EXPECT_EQ(obndrv(&cursor, oraText(":nope"), -1, reinterpret_cast<ub1*>(b), sizeof b, SQLT_STR, -1, nullptr,
                     nullptr, -1, -1),
              1036);
    EXPECT_EQ(cursor.fc, FC_OBNDRV);
}

TEST_F(Oci7Cursor, FailuresCarryTheServersNumberAndText) {
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "select * from missing"), 0) << "deferred: checked at execute";
    EXPECT_EQ(oexec(&cursor), 942);
    EXPECT_EQ(session.message(cursor), "ORA-00942: table or view does not exist");
    OraText text[64];
    oerhms(&session.lda(), 942, text, sizeof text);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "ORA-00942: table or view does not exist\n")
        << "the session knows its cursors' failures";
    EXPECT_EQ(oparse(&cursor, oraText("select * from missing"), -1, 0, NATIVE), 942) << "not deferred";
    const sword length = oerhms(&cursor, 1403, text, 10);
    EXPECT_EQ(length, 9);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "ORA-01403") << "a code other than the last: its generic text";
}

TEST_F(Oci7Cursor, BadAreasAreRefusedNotFollowed) {
    cda_def zeroed{};
    cda_def garbage{};
    garbage.rcsp = &garbage;
    cda_def& closed = session.openCursor();
    ASSERT_EQ(oclose(&closed), 0);
    cda_def copy = session.openCursor();  // a copy leads nowhere either
    for (cda_def* area : {&zeroed, &garbage, &closed, &copy, &session.lda()}) {
        EXPECT_EQ(oexec(area), 1001);
        EXPECT_EQ(area->rc, 1001);
        EXPECT_EQ(ofen(area, 1), 1001);
        EXPECT_EQ(oclose(area), 1001);
    }
    for (cda_def* area : {&zeroed, &garbage, &closed}) {
        EXPECT_EQ(ocom(area), 1012);
        EXPECT_EQ(ologof(area), 1012);
        EXPECT_EQ(oopen(&copy, area, nullptr, -1, -1, nullptr, -1), 1012);
    }
    EXPECT_EQ(oexec(nullptr), -1);
    EXPECT_NE(oopen(&session.lda(), &session.lda(), nullptr, -1, -1, nullptr, -1), 0)
        << "a login area is not reused as a cursor";
    EXPECT_EQ(ocom(&session.lda()), 0) << "and still leads to its session";
    OraText text[64];
    EXPECT_GT(oerhms(&zeroed, 1001, text, sizeof text), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "ORA-01001: invalid cursor\n");
}

TEST_F(Oci7Cursor, LogoffClosesTheSessionsCursors) {
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "select 1 from dual"), 0);
    cda_def lda = session.lda();
    ASSERT_EQ(ologof(&session.lda()), 0);
    EXPECT_EQ(oexec(&cursor), 1001);
    EXPECT_EQ(ocom(&lda), 1012);
    ASSERT_EQ(session.logon("scott", "tiger"), 0);
}

TEST_F(Oci7Cursor, SetTransactionReadOnlyRefusesChangesUntilCommit) {
    session.run("create table t (id number)");
    session.run("set transaction read only");
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "insert into t values (1)"), 0);
    EXPECT_EQ(oexec(&cursor), 1456);
    EXPECT_EQ(session.message(cursor),
              "ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction");
    ASSERT_EQ(ocom(&session.lda()), 0);
    EXPECT_EQ(oexec(&cursor), 0) << session.message(cursor);
    ASSERT_EQ(session.parse(cursor, "set transaction isolation level serializable"), 0);
    EXPECT_EQ(oexec(&cursor), 1453) << "not the first statement of the transaction";
    ASSERT_EQ(orol(&session.lda()), 0);
    EXPECT_EQ(oexec(&cursor), 0);
    EXPECT_EQ(session.value("select count(*) from t"), "0");
}

}  // namespace
