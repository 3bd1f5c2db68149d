// Sequences through SQL and through the catalog: NEXTVAL/CURRVAL, START WITH
// and INCREMENT BY, per-session CURRVAL, exact names, and the server's errors.
#include "DialectTestDatabase.h"

#include <gtest/gtest.h>

using dialect_test::DialectTestDatabase;

namespace {

TEST(CatalogSequences, NextvalAdvancesAndCurrvalRepeatsIt) {
    DialectTestDatabase db;
    db.execute("create sequence s");
    EXPECT_EQ(db.scalar("select s.nextval from dual"), "1");
    EXPECT_EQ(db.scalar("select S.NEXTVAL from DUAL"), "2");
    EXPECT_EQ(db.scalar("select s.currval from dual"), "2");
    EXPECT_EQ(db.scalar("select \"S\".nextval from dual"), "3");  // the library's own query text
    EXPECT_EQ(db.catalog().currentValue("S"), 3);
}

TEST(CatalogSequences, StartWithAndIncrementBy) {
    DialectTestDatabase db;
    db.execute("create sequence up start with 10 increment by 5");
    db.execute("create sequence down increment by -2");
    EXPECT_EQ(db.scalar("select up.nextval from dual"), "10");
    EXPECT_EQ(db.scalar("select up.nextval from dual"), "15");
    EXPECT_EQ(db.scalar("select down.nextval from dual"), "-1");
    EXPECT_EQ(db.scalar("select down.nextval from dual"), "-3");
}

TEST(CatalogSequences, NextvalInInsertGivesEachRowItsOwnValue) {
    DialectTestDatabase db;
    db.execute("create sequence ids");
    db.execute("create table t (id number primary key, same number)");
    db.execute("insert into t values (ids.nextval, ids.currval)");
    db.execute("insert into t values (ids.nextval, ids.currval)");
    EXPECT_EQ(db.query("select id, same from t order by id"),
              (std::vector<dialect_test::Row>{{"1", "1"}, {"2", "2"}}));
}

TEST(CatalogSequences, CurrvalBeforeNextvalInTheSessionFails) {
    DialectTestDatabase db;
    db.execute("create sequence fresh");
    EXPECT_EQ(db.errorNumber("select fresh.currval from dual"), 8002);
    EXPECT_EQ(db.lastError(), "ORA-08002: sequence FRESH.CURRVAL is not yet defined in this session");
}

TEST(CatalogSequences, CurrvalBelongsToEachSession) {
    dialect_test::TempDatabaseFile file;
    DialectTestDatabase a(file.path());
    DialectTestDatabase b(file.path());
    a.execute("create sequence shared_seq");
    EXPECT_EQ(a.scalar("select shared_seq.nextval from dual"), "1");
    EXPECT_EQ(b.errorNumber("select shared_seq.currval from dual"), 8002);
    EXPECT_EQ(b.scalar("select shared_seq.nextval from dual"), "2");
    EXPECT_EQ(a.scalar("select shared_seq.currval from dual"), "1");
    EXPECT_EQ(a.scalar("select shared_seq.nextval from dual"), "3");
}

TEST(CatalogSequences, QuotedLowerCaseNameIsADifferentSequence) {
    DialectTestDatabase db;
    db.execute("create sequence \"s\" start with 100");
    db.execute("create sequence s");
    EXPECT_EQ(db.scalar("select \"s\".nextval from dual"), "100");
    EXPECT_EQ(db.scalar("select s.nextval from dual"), "1");
    EXPECT_EQ(db.scalar("select \"s\".nextval from dual"), "101");
}

TEST(CatalogSequences, ServerErrorsForMissingAndDuplicateNames) {
    DialectTestDatabase db;
    db.execute("create sequence s");
    db.execute("create table taken (x number)");
    const std::vector<std::pair<const char*, int>> cases{
        {"create sequence s", 955},
        {"create sequence taken", 955},
        {"select nothing.nextval from dual", 2289},
        {"select nothing.currval from dual", 2289},
        {"drop sequence nothing", 2289},
    };
    for (const auto& [sql, number] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(db.errorNumber(sql), number) << db.lastError();
    }
    db.execute("select s.nextval from dual");
    db.execute("drop sequence s");
    EXPECT_EQ(db.errorNumber("select s.currval from dual"), 2289);
    EXPECT_EQ(db.errorNumber("select s.nextval from dual"), 2289);
    db.execute("create sequence s start with 7");
    EXPECT_EQ(db.errorNumber("select s.currval from dual"), 8002);  // a new sequence, no value yet
    EXPECT_EQ(db.scalar("select s.nextval from dual"), "7");
}

}  // namespace
