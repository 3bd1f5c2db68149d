// Password hashes: the stored form carries its parameters, and accounts of
// databases made by earlier builds (an older hash form) still log on and are
// given the new form at that logon.
#include "OciTestSession.h"
#include "TempDataDirectory.h"
#include "store/PasswordHasher.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

using engine::PasswordHasher;
using engine::UserAccount;
using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

const std::string kCurrentPrefix = "pbkdf2-sha256$" + std::to_string(PasswordHasher::kIterations) + "$";

TEST(PasswordHash, StoredFormNamesItsSchemeAndIterations) {
    const UserAccount account = PasswordHasher::makeAccount("SCOTT", "tiger");
    ASSERT_EQ(account.hash.rfind(kCurrentPrefix, 0), 0u) << account.hash;
    EXPECT_EQ(account.hash.size(), kCurrentPrefix.size() + 64);
    EXPECT_EQ(account.salt.size(), 16u);
    EXPECT_NE(PasswordHasher::makeAccount("SCOTT", "tiger").salt, account.salt);
    EXPECT_TRUE(PasswordHasher::verify(account, "tiger"));
    EXPECT_FALSE(PasswordHasher::verify(account, "Tiger"));
    EXPECT_FALSE(PasswordHasher::isOutdated(account));
}

TEST(PasswordHash, VerificationUsesTheStoredParametersAndRefusesMalformedOnes) {
    const UserAccount account = PasswordHasher::makeAccount("SCOTT", "tiger");
    const std::string digest = account.hash.substr(kCurrentPrefix.size());
    const std::string fewer = "pbkdf2-sha256$99999$" + digest;
    for (const std::string& hash : {fewer, "pbkdf2-sha256$$" + digest, "pbkdf2-sha256$x$" + digest,
                                    kCurrentPrefix + digest.substr(2), kCurrentPrefix + "zz" + digest.substr(2),
                                    std::string("pbkdf2-sha256$0$") + digest, std::string()}) {
        SCOPED_TRACE(hash);
        EXPECT_FALSE(PasswordHasher::verify(UserAccount{"SCOTT", account.salt, hash}, "tiger"));
        EXPECT_TRUE(PasswordHasher::isOutdated(UserAccount{"SCOTT", account.salt, hash}));
    }
}

// The accounts table of a database file, opened directly.
class UsersTable {
public:
    explicit UsersTable(const std::string& file) {
        if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(db_);
    }
    ~UsersTable() { sqlite3_close(db_); }
    UsersTable(const UsersTable&) = delete;
    UsersTable& operator=(const UsersTable&) = delete;

    std::string column(const char* name) const {
        const std::string sql = std::string("SELECT ") + name + " FROM \"^$USERS\" WHERE NAME = 'SCOTT'";
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
        if (sqlite3_step(raw) != SQLITE_ROW) return "<none>";
        return std::string(static_cast<const char*>(sqlite3_column_blob(raw, 0)),
                           static_cast<std::size_t>(sqlite3_column_bytes(raw, 0)));
    }
    void setHash(const std::string& hash) {
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db_, "UPDATE \"^$USERS\" SET HASH = ?1 WHERE NAME = 'SCOTT'", -1, &raw, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
        sqlite3_bind_blob(raw, 1, hash.data(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(raw), SQLITE_DONE);
    }

private:
    sqlite3* db_ = nullptr;
};

TEST(PasswordHash, AnAccountOfTheOlderFormLogsOnAndIsUpgraded) {
    TempDataDirectory dir;
    {
        OciTestSession owner;
        ASSERT_EQ(owner.logon("scott", "tiger"), OCI_SUCCESS) << owner.lastError();
    }
    UsersTable users(dir.databaseFile("test"));
    users.setHash(PasswordHasher::legacyHash(users.column("SALT"), "tiger"));

    OciTestSession wrong;
    EXPECT_EQ(wrong.logon("scott", "lion"), OCI_ERROR);
    EXPECT_EQ(users.column("HASH").rfind("pbkdf2", 0), std::string::npos) << "a failed logon changes nothing";

    OciTestSession old;
    ASSERT_EQ(old.logon("scott", "tiger"), OCI_SUCCESS) << old.lastError();
    EXPECT_EQ(users.column("HASH").rfind(kCurrentPrefix, 0), 0u);
    old.logoff();

    OciTestSession again;
    EXPECT_EQ(again.logon("scott", "tiger"), OCI_SUCCESS) << again.lastError();
    OciTestSession denied;
    EXPECT_EQ(denied.logon("scott", "lion"), OCI_ERROR);
}

}  // namespace
