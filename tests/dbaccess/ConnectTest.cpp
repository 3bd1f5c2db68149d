// Connections and sessions against the engine: connect-string shapes, refusals,
// logon and logoff, transactions and the server's errors.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "DatabaseTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using DbTest::DatabaseTest;

namespace {

class Connect : public DatabaseTest {
protected:
    bool databaseFileExists(const std::string& alias) const
    {
        struct stat info;
        return stat((dataDir_.path() + "/" + alias + ".db").c_str(), &info) == 0;
    }

    static long countRows(ODbConnect& connection, const char* table)
    {
        return queryLong(connection, (std::string("select count(*) from ") + table).c_str());
    }
};

struct ConnStrCase {
    const char* connStr;
    const char* userName;
    const char* database; // alias whose file the logon creates, or null for the default
};

// Every shape logs on as the user it names, to the database it names.
TEST_F(Connect, EveryConnectStringShapeLogsOn)
{
    const ConnStrCase cases[] = {
        {"scott/tiger", "scott", nullptr},
        {"scott/tiger@sales", "scott", "sales"},
        {"scott@tiger/orders", "scott", "orders"},
        {"/scott/tiger/", "scott", nullptr},
        {"scott@tiger", "scott", nullptr},
        {"scott//@tiger", "scott", nullptr},
        {"scott/tiger@@hr", "scott", "hr"},
    };
    for (const ConnStrCase& c : cases) {
        SCOPED_TRACE(c.connStr);
        Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
        EXPECT_FALSE(connection->isConnected());
        EXPECT_EQ(nullptr, connection->getConnStr());
        EXPECT_TRUE(connection->logon(c.connStr));
        EXPECT_TRUE(connection->isConnected());
        EXPECT_STREQ(c.userName, connection->getUserName());
        EXPECT_STREQ(c.connStr, connection->getConnStr());
        EXPECT_EQ(1, queryLong(*connection, "select 1 from dual"));
        if (c.database != nullptr) {
            EXPECT_TRUE(databaseFileExists(c.database));
        }
        connection->logoff();
        EXPECT_FALSE(connection->isConnected());
        EXPECT_EQ(nullptr, connection->getUserName());
        EXPECT_EQ(nullptr, connection->getConnStr());
    }
    EXPECT_TRUE(databaseFileExists("default"));
}

// Strings the connection cannot take are refused before anything is started,
// and the object stays usable.
TEST_F(Connect, RefusedConnectStringsLeaveTheObjectUnconnected)
{
    const std::string longest = "scott/tiger@" + std::string(ODbConnect::MaxConnStrLength - 12, 'd');
    const std::string tooLong = longest + "d";
    const struct {
        std::string connStr;
        const char* message;
    } cases[] = {
        {tooLong, "Connect string must have at most 99 characters"},
        {"scott/tiger@sales/extra", "Connect string must have at most three parts"},
        {"a@b/c@d", "Connect string must have at most three parts"},
        {"scott", "Connect string must give a user name and a password"},
        {"//", "Connect string must give a user name and a password"},
        {"", "Connect string must give a user name and a password"},
    };
    Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connStr);
        DbTest::expectPrecondition([&] { connection->logon(c.connStr.c_str()); }, c.message);
        EXPECT_FALSE(connection->isConnected());
        EXPECT_EQ(nullptr, connection->getUserName());
    }
    DbTest::expectPrecondition([&] { connection->logon(nullptr); }, "Connect string must have at most 99 characters");
    EXPECT_EQ(99u, longest.size());
    EXPECT_TRUE(connection->logon(longest.c_str()));
}

TEST_F(Connect, SecondLogonIsRefusedAndKeepsTheSession)
{
    Utils::RefCountPtr<ODbConnect> connection = connect();
    DbTest::expectPrecondition([&] { connection->logon("other/secret"); }, "Not connected to Oracle");
    EXPECT_TRUE(connection->isConnected());
    EXPECT_STREQ("scott", connection->getUserName());
    EXPECT_EQ(1, queryLong(*connection, "select 1 from dual"));
}

TEST_F(Connect, WrongPasswordIsTheServersErrorAndAllowsAnotherLogon)
{
    connect()->logoff();
    Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
    DbTest::expectServerError([&] { connection->logon("scott/wrong"); }, "ORA-01017", nullptr);
    EXPECT_FALSE(connection->isConnected());
    EXPECT_EQ(nullptr, connection->getConnStr());
    EXPECT_TRUE(connection->logon("scott/tiger"));
    DbTest::expectServerError([] { ODbClassfactory::createODbConnect("nobody/tiger"); }, "ORA-01017", nullptr);
}

// A database that cannot be opened fails the server attach, after the
// handles were allocated; they are released (the sanitizer build checks).
TEST_F(Connect, FailedAttachReleasesEverything)
{
    ASSERT_EQ(0, mkdir((dataDir_.path() + "/broken.db").c_str(), 0700));
    Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
    DbTest::expectError([&] { connection->logon("scott/tiger@broken"); }, "ORA-", -1);
    EXPECT_FALSE(connection->isConnected());
    EXPECT_EQ(nullptr, connection->getConnStr());
    EXPECT_TRUE(connection->logon("scott/tiger"));
}

TEST_F(Connect, LogoffTwiceAndLogonAgainWork)
{
    Utils::RefCountPtr<ODbConnect> connection = connect();
    connection->logoff();
    connection->logoff();
    EXPECT_TRUE(connection->logon("scott/tiger"));
    EXPECT_EQ(1, queryLong(*connection, "select 1 from dual"));
}

TEST_F(Connect, StatementsOnALoggedOffConnectionAreRefused)
{
    Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
    DbTest::expectPrecondition([&] { ODbClassfactory::createODbDescribeSql(*connection, "select 1 from dual"); },
                               "Not connected to Oracle");
    DbTest::expectPrecondition([&] { connection->commit(); }, "Not connected to Oracle");
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection);
    DbTest::expectPrecondition([&] { cursor->open("delete from dual"); }, "Not connected to Oracle");
}

// A cursor that outlives its connection's session refuses further calls and
// is released cleanly.
TEST_F(Connect, CursorOfAnEndedSessionIsRefused)
{
    Utils::RefCountPtr<ODbConnect> connection = connect();
    execSql(*connection, "create table t (id number)");
    Utils::RefCountPtr<ODbCursor> cursor = ODbClassfactory::createODbCursor(*connection);
    cursor->open("delete from t");
    connection->logoff();
    DbTest::expectPrecondition([&] { cursor->exec(1); }, "Not connected to Oracle");
    connection->logon("scott/tiger");
    DbTest::expectPrecondition([&] { cursor->exec(1); }, "Not connected to Oracle");
    cursor->close();
    EXPECT_FALSE(cursor->isOpen());
}

struct TransCase {
    TransKind kind;
    bool commit;
};

// Each kind starts a transaction whose work is kept by commit and undone by rollback.
TEST_F(Connect, TransactionsOfEveryKind)
{
    Utils::RefCountPtr<ODbConnect> writer = connect();
    Utils::RefCountPtr<ODbConnect> reader = connect();
    execSql(*writer, "create table t (id number)");
    const TransKind outOfRange = static_cast<TransKind>(Serializable + 1); // taken for read write
    const TransCase cases[] = {
        {ReadWrite, true}, {ReadWrite, false}, {ReadCommitted, true}, {ReadCommitted, false},
        {Serializable, true}, {Serializable, false}, {outOfRange, true}, {outOfRange, false},
    };
    long expected = 0;
    for (const TransCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        writer->startTrans(c.kind);
        execSql(*writer, "insert into t values (1)");
        EXPECT_EQ(expected, countRows(*reader, "t")); // not visible before commit
        if (c.commit) {
            writer->commit();
            ++expected;
        } else {
            writer->rollback();
        }
        EXPECT_EQ(expected, countRows(*reader, "t"));
        EXPECT_EQ(expected, countRows(*writer, "t"));
    }
}

TEST_F(Connect, ReadOnlyTransactionReads)
{
    Utils::RefCountPtr<ODbConnect> connection = connect();
    execSql(*connection, "create table t (id number)");
    execSql(*connection, "insert into t values (4)");
    connection->commit();
    connection->startTrans(ReadOnly);
    EXPECT_EQ(4, queryLong(*connection, "select id from t"));
    connection->commit();
}

// Releasing the last reference logs off, which commits open work.
TEST_F(Connect, DestroyingTheLastReferenceEndsTheSession)
{
    Utils::RefCountPtr<ODbConnect> reader = connect();
    execSql(*reader, "create table t (id number)");
    {
        Utils::RefCountPtr<ODbConnect> writer = connect();
        execSql(*writer, "insert into t values (1)");
        EXPECT_EQ(0, countRows(*reader, "t"));
    }
    EXPECT_EQ(1, countRows(*reader, "t"));
}

TEST(ConnectBase, RecordsTheConnectionItIsGiven)
{
    ODbConnectBase none;
    EXPECT_TRUE(none.isConnectValid());
    DbTest::expectPrecondition([&] { none.getOraConnect(); }, "No connection is set");
    Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect();
    none.setOraConnect(*connection);
    const ODbConnectBase copy = none;
    EXPECT_EQ(connection.get(), &copy.getOraConnect());
}

TEST_F(Connect, SessionForwardsToItsConnection)
{
    ODbSession session;
    EXPECT_FALSE(session.isConnected());
    EXPECT_TRUE(session.logon("scott/tiger@sales"));
    EXPECT_STREQ("scott", session.getUserName());
    EXPECT_STREQ("scott/tiger@sales", session.getConnStr());
    execSql(session, "create table t (id number)");
    session.startTrans(ReadWrite);
    execSql(session, "insert into t values (9)");
    session.rollback();
    EXPECT_EQ(0, queryLong(session, "select count(*) from t"));
    ODbSession copy = session; // shares the connection
    session.logoff();
    EXPECT_FALSE(copy.isConnected());
    DbTest::expectServerError([] { ODbSession failed("scott/wrong@sales"); }, "ORA-01017", nullptr);
}

// Failures reported by the server carry its text, code -1 and the statement.
TEST_F(Connect, ServerErrorsCarryTheirTextAndStatement)
{
    Utils::RefCountPtr<ODbConnect> connection = connect();
    execSql(*connection, "create table t (id number primary key, name varchar2(5) not null)");
    execSql(*connection, "insert into t values (1, 'a')");
    const struct {
        const char* sql;
        const char* oraCode;
    } cases[] = {
        {"select * from missing", "ORA-00942"},
        {"insert into t values (1, 'b')", "ORA-00001"},
        {"insert into t (id) values (2)", "ORA-01400"},
        {"select nosuch from t", "ORA-00904"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        DbTest::expectServerError([&] { execSql(*connection, c.sql); }, c.oraCode, c.sql);
    }
}

} // namespace
