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

// Hashes that databases already keep must keep verifying: standard
// PBKDF2-HMAC-SHA256 vectors, with keys shorter than, equal to and longer
// than SHA-256's 64-byte block (a longer key is hashed first).
TEST(PasswordHash, StandardVectorsVerify) {
    struct Vector {
        std::string password, salt;
        unsigned iterations;
        const char* digest;
    };
    const Vector vectors[] = {
        {"passwd", "salt", 1, "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"},
        {"Password", "NaCl", 2, "7897885f70bce63d18e043ad11c3a4b71a326b50c5e183d740d8924f5c3ead46"},
        {std::string(64, 'x'), std::string(16, 's'), 3,
         "850a8904cc2e51d4f8267a9d5e58eeb5c17e70f69b8de4c989fd3dd76a873766"},
        {std::string(65, 'y'), "pepper", 1000, "331fb3afd32970c95f6260ce8e7ef45f3db24ab589bb267c6985fd62ecc1129a"},
        {"", "salt", 5, "ab1d7cb38e07467cb81c86dfe16d7a657f01f3430e8b25e7d8c1798d51bb6459"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.password.size());
        const UserAccount account{"SCOTT", v.salt, "pbkdf2-sha256$" + std::to_string(v.iterations) + "$" + v.digest};
        EXPECT_TRUE(PasswordHasher::verify(account, v.password));
        EXPECT_FALSE(PasswordHasher::verify(account, v.password + "."));
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
