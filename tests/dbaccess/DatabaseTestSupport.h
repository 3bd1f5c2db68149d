// Shared fixture of the library tests that run against the engine: every test
// gets a fresh directory of database files (VOR_DATA_DIR), removed afterwards,
// and helpers to log on, run SQL and check the library's exceptions.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <ftw.h>
#include <unistd.h>

#include "vordb.h"

namespace DbTest {

using Oracle::ODbConnect;
using Oracle::ODbException;
using Oracle::ODbQuery;

// A unique directory under VOR_TEST_TMP (or /tmp), named by VOR_DATA_DIR while
// the object lives; removed with its files afterwards.
class TempDataDir {
public:
    TempDataDir()
    {
        const char* base = std::getenv("VOR_TEST_TMP");
        std::string parent = base != nullptr && *base != '\0' ? base : "/tmp";
        std::string command = "mkdir -p '" + parent + "'";
        EXPECT_EQ(0, std::system(command.c_str()));
        std::string pattern = parent + "/vordb8-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        EXPECT_NE(nullptr, mkdtemp(name.data()));
        path_ = name.data();
        setenv("VOR_DATA_DIR", path_.c_str(), 1);
    }
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;
    ~TempDataDir()
    {
        unsetenv("VOR_DATA_DIR");
        nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }

    const std::string& path() const { return path_; }

private:
    static int removeEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }

    std::string path_;
};

// The owner of the test database (the first logon creates it).
constexpr const char* OwnerLogon = "scott/tiger";

class DatabaseTest : public ::testing::Test {
protected:
    // A connection logged on with `connStr`.
    static Utils::RefCountPtr<ODbConnect> connect(const char* connStr = OwnerLogon)
    {
        return Oracle::ODbClassfactory::createODbConnect(connStr);
    }

    // Runs one statement that is not a query.
    static void execSql(ODbConnect& connection, const char* sql)
    {
        ODbQuery query(connection);
        query.open(sql);
        query.exec(1);
    }

    // The one value of a single-row, single-column query, as text.
    static std::string queryText(ODbConnect& connection, const char* sql)
    {
        ODbQuery query(connection);
        query.open(sql);
        if (!query.next())
            return "<no row>";
        return query.fieldByPos(1).getString();
    }

    // The one value of a single-row, single-column numeric query.
    static long queryLong(ODbConnect& connection, const char* sql)
    {
        ODbQuery query(connection);
        query.open(sql);
        EXPECT_TRUE(query.next()) << sql;
        return query.fieldByPos(1).getLongInt();
    }

    TempDataDir dataDir_;
};

// Runs fn, expecting an ODbException whose message starts with `message` and
// whose code is `code`.
inline void expectError(const std::function<void()>& fn, const std::string& message, int code)
{
    try {
        fn();
    } catch (const ODbException& e) {
        EXPECT_EQ(0, std::strncmp(e.getErrMsg(), message.c_str(), message.size()))
            << "message: " << e.getErrMsg();
        EXPECT_EQ(code, e.getErrCode()) << "message: " << e.getErrMsg();
        return;
    }
    ADD_FAILURE() << "no exception; expected: " << message;
}

// A library precondition failure: the fixed message exactly, code 0.
inline void expectPrecondition(const std::function<void()>& fn, const std::string& message)
{
    try {
        fn();
    } catch (const ODbException& e) {
        EXPECT_STREQ(message.c_str(), e.getErrMsg());
        EXPECT_EQ(0, e.getErrCode());
        return;
    }
    ADD_FAILURE() << "no exception; expected: \"" << message << "\"";
}

// A failure reported by the server: its error number, code -1 and the
// statement text attached (null when `stmText` is null).
inline void expectServerError(const std::function<void()>& fn, const std::string& oraCode, const char* stmText)
{
    try {
        fn();
    } catch (const ODbException& e) {
        EXPECT_EQ(0, std::strncmp(e.getErrMsg(), oraCode.c_str(), oraCode.size())) << "message: " << e.getErrMsg();
        EXPECT_EQ(-1, e.getErrCode());
        if (stmText == nullptr) {
            EXPECT_EQ(nullptr, e.getStmText());
        } else {
            EXPECT_STREQ(stmText, e.getStmText() != nullptr ? e.getStmText() : "<null>");
        }
        return;
    }
    ADD_FAILURE() << "no exception; expected " << oraCode;
}

} // namespace DbTest
