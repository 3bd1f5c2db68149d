// Logon through the call interface: the first logon creates the database and
// its owner, later logons check the password, aliases name files.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <sys/stat.h>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

const char* const kLogonDenied = "ORA-01017: invalid username/password; logon denied";

TEST(Logon, FirstLogonCreatesAPrivateDatabaseOwnedByThatUser) {
    TempDataDirectory dir;
    {
        OciTestSession owner;
        ASSERT_EQ(owner.logon("scott", "tiger"), OCI_SUCCESS) << owner.lastError();
        owner.run("create table t (id number)");
    }
    struct stat info {};
    ASSERT_EQ(stat(dir.databaseFile("test").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    OciTestSession again;
    ASSERT_EQ(again.logon("SCOTT", "tiger"), OCI_SUCCESS) << again.lastError();
    EXPECT_EQ(again.value("select count(*) from t"), "0");
}

TEST(Logon, WrongPasswordOrUnknownUserIsDenied) {
    TempDataDirectory dir;
    OciTestSession owner;
    ASSERT_EQ(owner.logon("scott", "tiger"), OCI_SUCCESS) << owner.lastError();
    struct Case {
        const char* user;
        const char* password;
    };
    for (const Case& c : {Case{"scott", "lion"}, Case{"scott", "TIGER"}, Case{"adams", "tiger"}}) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password);
        OciTestSession other;
        EXPECT_EQ(other.logon(c.user, c.password), OCI_ERROR);
        EXPECT_EQ(other.lastError(), kLogonDenied);
    }
}

TEST(Logon, EmptyAliasIsTheDefaultDatabase) {
    TempDataDirectory dir;
    OciTestSession session;
    ASSERT_EQ(session.logon("scott", "tiger", ""), OCI_SUCCESS) << session.lastError();
    struct stat info {};
    EXPECT_EQ(stat(dir.databaseFile("default").c_str(), &info), 0);
}

TEST(Logon, AliasOutsideTheDataDirectoryIsRefused) {
    TempDataDirectory dir;
    OciTestSession session;
    EXPECT_EQ(session.logon("scott", "tiger", "../elsewhere"), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-12154: TNS:could not resolve the connect identifier specified");
}

TEST(Logon, EmptyPasswordIsRefused) {
    TempDataDirectory dir;
    OciTestSession session;
    EXPECT_EQ(session.logon("scott", ""), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01005: null password given; logon denied");
}

TEST(Logon, AFileThatIsNoDatabaseIsAnErrorNotACrash) {
    TempDataDirectory dir;
    std::ofstream(dir.databaseFile("junk")) << std::string(4096, 'x');
    OciTestSession session;
    EXPECT_EQ(session.logon("scott", "tiger", "junk"), OCI_ERROR);
    EXPECT_EQ(session.lastError().substr(0, 4), "ORA-") << session.lastError();
}

TEST(Logon, StatementsAfterLogoffAreRefused) {
    TempDataDirectory dir;
    OciTestSession session;
    ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
    session.logoff();
    EXPECT_EQ(session.execute("select 1 from dual"), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-01012: not logged on");
}

}  // namespace
