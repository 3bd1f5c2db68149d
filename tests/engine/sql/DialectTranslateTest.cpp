// The dialect translator: identifiers, literals, placeholders, statement kinds,
// engine commands and the translator's own errors. Wherever the behaviour is
// visible in SQLite, the translated text is run on a real database.
#include "DialectTestDatabase.h"
#include "oci.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

using dialect_test::DialectTestDatabase;
using dialect_test::Row;
using engine::EngineCommandKind;
using engine::StatementKind;
using engine::translateSql;

namespace {

class DialectIdentifiers : public ::testing::Test {
protected:
    void SetUp() override {
        db.execute("create table emp (id number(5) primary key, name varchar2(20))");
        db.execute("insert into Emp (ID, Name) values (1, 'Ann')");
    }
    DialectTestDatabase db;
};

TEST_F(DialectIdentifiers, UnquotedNamesAreOneNameInAnyCase) {
    EXPECT_EQ(db.scalar("SELECT Name FROM EMP WHERE Id = 1"), "Ann");
    EXPECT_EQ(db.scalar("select emp.name from emp"), "Ann");
    EXPECT_EQ(db.scalar("select name from \"EMP\""), "Ann");
}

TEST_F(DialectIdentifiers, ColumnNamesComeBackFoldedIncludingAliases) {
    const auto translated = translateSql("select id, name nm, name as \"Mixed\" from emp");
    DialectTestDatabase::Statement statement(db.db(), translated.sql);
    EXPECT_STREQ(sqlite3_column_name(statement.stmt, 0), "ID");
    EXPECT_STREQ(sqlite3_column_name(statement.stmt, 1), "NM");
    EXPECT_EQ(engine::decodeIdentifier(sqlite3_column_name(statement.stmt, 2)), "Mixed");
}

TEST_F(DialectIdentifiers, QuotedLowerCaseNameIsADifferentObject) {
    db.execute("create table \"emp\" (x number)");
    db.execute("insert into \"emp\" values (2)");
    db.execute("insert into \"emp\" values (3)");
    EXPECT_EQ(db.scalar("select count(*) from \"emp\""), "2");
    EXPECT_EQ(db.scalar("select count(*) from emp"), "1");
    EXPECT_EQ(db.errorNumber("select x from emp"), 904);
}

TEST_F(DialectIdentifiers, QuotedNamesDifferingOnlyInCaseOrEscapeAreDistinct) {
    for (const char* name : {"\"ab\"", "\"Ab\"", "\"aB\"", "AB", "\"a^b\"", "\"A^B\"", "\"^$DUAL\""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(db.errorNumber(std::string("create table ") + name + " (v varchar2(10))"), 0);
        db.execute(std::string("insert into ") + name + " values ('" + name + "')");
    }
    EXPECT_EQ(db.scalar("select v from \"Ab\""), "\"Ab\"");
    EXPECT_EQ(db.scalar("select v from ab"), "AB");
    EXPECT_EQ(db.scalar("select v from \"A^B\""), "\"A^B\"");
    EXPECT_EQ(db.scalar("select * from dual"), "X");  // the user's "^$DUAL" is not the engine's
}

TEST(DialectNames, EncodingRoundTripsAndKeepsNamesApartInSqliteCase) {
    const std::vector<std::string> names{"abc", "Abc", "ABC", "a^b", "A^B", "^", "^^", "^$X", "x\"y", "ÄÖ", "a$#"};
    std::set<std::string> foldedEncodings;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string stored = engine::encodeName(name);
        EXPECT_EQ(engine::decodeIdentifier(stored), name);
        EXPECT_EQ(stored.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
        EXPECT_FALSE(engine::isInternalName(stored));
        EXPECT_TRUE(foldedEncodings.insert(stored).second);
    }
}

TEST(DialectNames, IdentifierNameFoldsUnquotedAndKeepsQuoted) {
    EXPECT_EQ(engine::identifierName("emp"), "EMP");
    EXPECT_EQ(engine::identifierName("\"emp\""), "emp");
    EXPECT_EQ(engine::identifierName("\"a\"\"b\""), "a\"b");
    EXPECT_TRUE(engine::isInternalName(engine::kDualTable));
    EXPECT_TRUE(engine::isInternalName("sqlite_sequence"));
}

TEST(DialectLiterals, SingleQuotedTextIsKeptExactly) {
    DialectTestDatabase db;
    for (const char* literal : {"'Hello World'", "'it''s'", "'a \"quoted\" :x -- /* no comment */'", "'HH24:MI:SS'"}) {
        SCOPED_TRACE(literal);
        const auto translated = translateSql(std::string("select ") + literal + " from dual");
        EXPECT_TRUE(translated.placeholders.empty());
        std::string expected = std::string(literal).substr(1, std::string(literal).size() - 2);
        for (std::size_t at = expected.find("''"); at != std::string::npos; at = expected.find("''", at + 1))
            expected.erase(at, 1);
        EXPECT_EQ(db.scalar(std::string("select ") + literal + " from dual"), expected);
    }
}

struct PlaceholderCase {
    const char* sql;
    std::vector<std::string> names;
};

TEST(DialectPlaceholders, NamesInOrderOfAppearanceOutsideLiteralsAndComments) {
    const std::vector<PlaceholderCase> cases{
        {"select * from t where a = :a and b = :Bee and c = :a", {"A", "BEE", "A"}},
        {"insert into t values (:1, :2, :10)", {"1", "2", "10"}},
        {"select to_char(sysdate, 'HH24:MI:SS') from dual", {}},
        {"select 1 from dual -- where :x = 1\n where 1 = :y", {"Y"}},
        {"select /* :x \n :z */ :y from dual", {"Y"}},
        {"select \"a:b\" from t where c = :c_1", {"C_1"}},
        {"begin :x := 1; end;", {"X"}},
        {"select a::b from t", {"B"}},
        {"select :x$ from t", {"X"}},
    };
    for (const PlaceholderCase& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(translateSql(c.sql).placeholders, c.names);
    }
}

TEST(DialectPlaceholders, BindByNameReachesEveryOccurrence) {
    DialectTestDatabase db;
    db.execute("create table t (id number, name varchar2(10))");
    db.execute("insert into t values (:id, :Name)", {{"ID", "7"}, {"name", "Bob"}});
    db.execute("insert into t values (:1, :2)", {{"1", "8"}, {"2", "Eve"}});
    EXPECT_EQ(db.scalar("select name from t where id = :ID", {{"id", "7"}}), "Bob");
    EXPECT_EQ(db.scalar("select :a + :a from dual", {{"a", "2"}}), "4");
    EXPECT_EQ(db.scalar("select name from t where id = :1 and 'x:y' = 'x:y'", {{"1", "8"}}), "Eve");
}

struct KindCase {
    const char* sql;
    StatementKind kind;
    unsigned short ociType;
};

TEST(DialectStatementKinds, FirstKeywordAfterBlanksAndComments) {
    const std::vector<KindCase> cases{
        {"select 1 from dual", StatementKind::Select, 1},
        {"  -- note\n /* block */ SELECT 1 FROM DUAL", StatementKind::Select, 1},
        {"with x as (select 1 a from dual) select a from x", StatementKind::Select, 1},
        {"((select 1 from dual))", StatementKind::Select, 1},
        {"update t set a = 1", StatementKind::Update, 2},
        {"Delete from t", StatementKind::Delete, 3},
        {"\n\tinsert into t values (1)", StatementKind::Insert, 4},
        {"create table t (a number)", StatementKind::Create, 5},
        {"drop table t", StatementKind::Drop, 6},
        {"alter table t add b number", StatementKind::Alter, 7},
        {"begin null; end;", StatementKind::Begin, 8},
        {"/* x */ declare n number; begin null; end;", StatementKind::Declare, 9},
        {"commit", StatementKind::Commit, 0},
        {"ROLLBACK WORK", StatementKind::Rollback, 0},
        {"truncate table t", StatementKind::Other, 0},
        {"", StatementKind::Other, 0},
        {"-- only a comment", StatementKind::Other, 0},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        EXPECT_EQ(translated.kind, c.kind);
        EXPECT_EQ(engine::ociStatementType(translated.kind), c.ociType);
    }
}

struct CommandCase {
    const char* sql;
    EngineCommandKind kind;
    std::string name;
    std::int64_t start;
    std::int64_t increment;
};

TEST(DialectEngineCommands, SequenceAndTransactionStatements) {
    const std::vector<CommandCase> cases{
        {"create sequence s", EngineCommandKind::CreateSequence, "S", 1, 1},
        {"CREATE SEQUENCE \"mySeq\" START WITH 10 INCREMENT BY 5", EngineCommandKind::CreateSequence, "mySeq", 10, 5},
        {"create sequence s increment by -1", EngineCommandKind::CreateSequence, "S", -1, -1},
        {"create sequence s start with -5 increment by +2", EngineCommandKind::CreateSequence, "S", -5, 2},
        {"create sequence s start with 5 nocache nocycle maxvalue 100 minvalue 1 cache 20 order;",
         EngineCommandKind::CreateSequence, "S", 5, 1},
        {"create sequence s start with 9223372036854775806", EngineCommandKind::CreateSequence, "S",
         9223372036854775806LL, 1},
        {"drop sequence App_Seq", EngineCommandKind::DropSequence, "APP_SEQ", 1, 1},
        {"commit", EngineCommandKind::Commit, "", 1, 1},
        {"commit work comment 'done';", EngineCommandKind::Commit, "", 1, 1},
        {"rollback", EngineCommandKind::Rollback, "", 1, 1},
        {"Rollback Work", EngineCommandKind::Rollback, "", 1, 1},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        ASSERT_FALSE(translated.error) << translated.error->what();
        EXPECT_EQ(translated.command.kind, c.kind);
        EXPECT_EQ(translated.command.name, c.name);
        EXPECT_TRUE(translated.sql.empty());
        if (c.kind != EngineCommandKind::CreateSequence) continue;
        EXPECT_EQ(translated.command.start, c.start);
        EXPECT_EQ(translated.command.increment, c.increment);
    }
}

TEST(DialectEngineCommands, BlocksAreMarkedForTheBlockLanguageWithTheirPlaceholders) {
    struct SleepCase {
        const char* sql;
        std::vector<std::string> placeholders;
    };
    const std::vector<SleepCase> cases{
        {"begin dbms_session.sleep(2); end;", {}},
        {"BEGIN\n  DBMS_LOCK.SLEEP(0.5);\nEND;", {}},
        {"begin sys.dbms_lock.sleep(:Secs); end;", {"SECS"}},
    };
    for (const SleepCase& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        ASSERT_FALSE(translated.error) << translated.error->what();
        EXPECT_EQ(translated.kind, StatementKind::Begin);
        EXPECT_EQ(translated.command.kind, EngineCommandKind::Block);
        EXPECT_EQ(translated.placeholders, c.placeholders);
    }
}

struct ErrorCase {
    const char* sql;
    int number;
    const char* textPart;
};

TEST(DialectEngineCommands, UnsupportedOrMalformedStatementsCarryTheServersError) {
    const std::vector<ErrorCase> cases{
        {"create sequence s increment by 0", 4002, "INCREMENT must be a non-zero integer"},
        {"create sequence s bogus", 933, "not properly ended"},
        {"create sequence s start with x", 933, ""},
        {"drop sequence", 904, "invalid identifier"},
        {"commit now", 933, ""},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        ASSERT_TRUE(translated.error);
        EXPECT_EQ(translated.error->number(), c.number);
        EXPECT_NE(std::string(translated.error->what()).find(c.textPart), std::string::npos) << translated.error->what();
        EXPECT_EQ(translated.command.kind, EngineCommandKind::None);
    }
}

TEST(DialectEngineCommands, SetTransactionBecomesACommandWithItsMode) {
    DialectTestDatabase db;
    const struct {
        const char* sql;
        std::uint32_t flags;
    } cases[] = {
        {"set transaction read only", OCI_TRANS_READONLY},
        {"SET TRANSACTION READ WRITE", 0},
        {"set transaction isolation level serializable", OCI_TRANS_SERIALIZABLE},
        {"set transaction isolation level read committed;", 0},
        {"set transaction use rollback segment rbs1 name 'batch'", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        EXPECT_FALSE(translated.error);
        EXPECT_EQ(translated.command.kind, EngineCommandKind::SetTransaction);
        EXPECT_EQ(translated.command.transactionFlags, c.flags);
    }
    for (const char* sql : {"set transaction", "set transaction read", "set transaction isolation level dirty"}) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(db.errorNumber(sql), 933);
    }
}

TEST(DialectEngineCommands, RollbackToSavepointRunsInSqlite) {
    DialectTestDatabase db;
    db.execute("create table t (a number)");
    ASSERT_EQ(sqlite3_exec(db.db(), "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
    db.execute("insert into t values (1)");
    db.execute("savepoint before_two");
    db.execute("insert into t values (2)");
    const auto translated = translateSql("rollback to savepoint before_two");
    EXPECT_EQ(translated.command.kind, EngineCommandKind::None);
    db.execute("rollback to before_two");
    ASSERT_EQ(sqlite3_exec(db.db(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(db.scalar("select count(*) from t"), "1");
}

TEST(DialectErrors, LexicalErrorsAndOverlongIdentifiers) {
    const std::string name30(30, 'a');
    const std::vector<ErrorCase> cases{
        {"select 'abc from dual", 1756, "quoted string not properly terminated"},
        {"select \"abc from dual", 1740, "missing double quote"},
        {"select \"\" from dual", 1741, "zero-length"},
        {"create table t (a number, bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb number)", 972, "identifier is too long"},
        {"select \"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\" from dual", 972, ""},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto translated = translateSql(c.sql);
        ASSERT_TRUE(translated.error);
        EXPECT_EQ(translated.error->number(), c.number);
        EXPECT_NE(std::string(translated.error->what()).find(c.textPart), std::string::npos);
        EXPECT_TRUE(translated.sql.empty());
    }
    DialectTestDatabase db;
    EXPECT_EQ(db.errorNumber("create table " + name30 + " (" + name30 + " number)"), 0);
}

TEST(DialectDefinitions, ServerOnlyClausesOfDdlAreAccepted) {
    DialectTestDatabase db;
    db.execute("create table t1 (a varchar2(10 byte), b char(2 char), c number(5))");
    const auto columns = db.catalog().describeObject("t1");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].size, 10u);
    EXPECT_EQ(columns[1].size, 2u);
    db.execute("insert into t1 values ('x', 'y', 1)");
    db.execute("create table t2 as select a, c from t1");
    EXPECT_EQ(db.catalog().describeObject("t2")[1].type, engine::InternalType::Number);
    db.execute("alter table t1 add (d date)");
    db.execute("alter table t1 add e number(3);");
    EXPECT_EQ(db.catalog().describeObject("t1").size(), 5u);
    EXPECT_EQ(db.catalog().describeObject("t1")[3].type, engine::InternalType::Date);
    EXPECT_NE(db.errorNumber("alter table t1 add (f number, g number)"), 0);
    db.execute("drop table t1 cascade constraints");
    db.execute("DROP TABLE T2 PURGE;");
    EXPECT_TRUE(db.catalog().listObjects().empty());
    EXPECT_EQ(db.errorNumber("drop table purge"), 942);  // a table named PURGE, not the clause
}

TEST(DialectDefinitions, TextLongerThanItsColumnIsRefused) {
    DialectTestDatabase db;
    db.execute("create table t (id number, name varchar2(5) not null, code char(2 char))");
    db.execute("alter table t add (note varchar2(3))");
    db.execute("insert into t values (1, 'abcde', 'xy', 'abc')");
    const std::vector<std::string> tooLong{
        "insert into t values (2, 'abcdef', 'x', null)", "insert into t values (2, 'a', 'xyz', null)",
        "insert into t values (2, 'a', 'x', 'abcd')", "update t set name = name || 'x'"};
    for (const std::string& sql : tooLong) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(db.errorNumber(sql), 1401);
        EXPECT_EQ(db.lastError(), "ORA-01401: inserted value too large for column");
    }
    EXPECT_EQ(db.errorNumber("insert into t values (3, 'äöüäö', null, null)"), 0);  // characters, not bytes
    EXPECT_EQ(db.errorNumber("insert into t (id, code) values (4, 'x')"), 1400);
    EXPECT_EQ(db.catalog().describeObject("t")[1].size, 5u);
}

TEST(DialectErrors, MalformedTextNeverBreaksTheTranslator) {
    DialectTestDatabase db;
    const std::vector<std::string> texts{
        "", ";", "select", "select as x from t", "select , from", "((((", "))))", "'", "\"", "a ||",
        "|| b", "- -", "select rownum", "select 1 from dual where rownum <= ", "select 1 +", "+", "begin",
        "create sequence", "drop", "drop sequence s extra", "set", ":", "::", "/* open comment",
        "select * from dual where rownum = 99999999999999999999999", "select a || from t",
        "select case when end || x from t", "select s. nextval from dual", "select .nextval from dual",
        "rollback to", "alter table t add (", "select distinct from t", "select 1 from dual for",
        "select x.* || 'a' from t x", "update t set a = || b"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const auto translated = translateSql(text);
        if (translated.sql.empty()) continue;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.db(), translated.sql.c_str(), -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
    }
    EXPECT_EQ(db.scalar("select 1 from dual"), "1");  // the session is still usable
}

TEST(DialectErrors, KindIsKnownEvenWhenTheTextIsBroken) {
    EXPECT_EQ(translateSql("select 'abc from dual").kind, StatementKind::Select);
    EXPECT_EQ(translateSql("begin x(); end;").kind, StatementKind::Begin);
}

}  // namespace
