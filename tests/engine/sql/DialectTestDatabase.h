// A real SQLite database with the engine's catalog installed, and a small
// runner that carries out a client's statements as a session does: translate,
// run the engine command or prepare the SQLite text, bind placeholders by name,
// step. Failures come out as the engine's OraError.
#pragma once

#include "base/OraError.h"
#include "sql/Catalog.h"
#include "sql/SqlDialect.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace dialect_test {

// What a NULL column value reads as in query results.
inline const std::string kNull = "<NULL>";

using Row = std::vector<std::string>;
using Binds = std::vector<std::pair<std::string, std::string>>;  // placeholder name, text value

// A database file in a fresh directory, removed with it; for tests that need
// two connections to one database.
class TempDatabaseFile {
public:
    TempDatabaseFile() {
        static std::atomic<int> counter{0};
        const char* base = std::getenv("VOR_TEST_TMP");
        dir_ = std::filesystem::path(base != nullptr ? base : std::filesystem::temp_directory_path().string()) /
               ("dialect-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
    }
    ~TempDatabaseFile() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string path() const { return (dir_ / "test.db").string(); }

private:
    std::filesystem::path dir_;
};

class DialectTestDatabase {
public:
    explicit DialectTestDatabase(const std::string& path = ":memory:") {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw engine::OraError::fromSqlite(db_, SQLITE_CANTOPEN);
        sqlite3_extended_result_codes(db_, 1);
        catalog_ = std::make_unique<engine::Catalog>(db_);
    }
    ~DialectTestDatabase() {
        catalog_.reset();
        sqlite3_close(db_);
    }
    DialectTestDatabase(const DialectTestDatabase&) = delete;
    DialectTestDatabase& operator=(const DialectTestDatabase&) = delete;

    sqlite3* db() const { return db_; }
    engine::Catalog& catalog() { return *catalog_; }

    // Runs `oracleSql` and returns its rows (none for a statement that is no query).
    std::vector<Row> query(const std::string& oracleSql, const Binds& binds = {}) {
        const engine::TranslatedSql translated = engine::translateSql(oracleSql);
        if (translated.error) throw *translated.error;
        if (runCommand(translated.command)) return {};
        Statement statement(db_, translated.sql);
        bindAll(statement.stmt, translated, binds);
        std::vector<Row> rows;
        while (step(statement.stmt)) rows.push_back(currentRow(statement.stmt));
        return rows;
    }

    void execute(const std::string& oracleSql, const Binds& binds = {}) { query(oracleSql, binds); }

    // The one value of a one-row, one-column query.
    std::string scalar(const std::string& oracleSql, const Binds& binds = {}) {
        const std::vector<Row> rows = query(oracleSql, binds);
        if (rows.size() != 1 || rows[0].size() != 1) {
            ADD_FAILURE() << "not a single value: " << oracleSql;
            return {};
        }
        return rows[0][0];
    }

    // The server error number `oracleSql` fails with, 0 when it succeeds.
    int errorNumber(const std::string& oracleSql) {
        try {
            execute(oracleSql);
        } catch (const engine::OraError& error) {
            lastError_ = error.what();
            return error.number();
        }
        return 0;
    }
    const std::string& lastError() const { return lastError_; }

    // Prepared translated statement, for the describe tests.
    struct Statement {
        Statement(sqlite3* db, const std::string& sql) {
            const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
            if (rc != SQLITE_OK) {
                sqlite3_finalize(stmt);
                throw engine::OraError::fromSqlite(db, rc);
            }
        }
        ~Statement() { sqlite3_finalize(stmt); }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        sqlite3_stmt* stmt = nullptr;
    };

private:
    bool runCommand(const engine::EngineCommand& command) {
        switch (command.kind) {
        case engine::EngineCommandKind::CreateSequence: catalog_->createSequence(command); return true;
        case engine::EngineCommandKind::DropSequence: catalog_->dropSequence(command.name); return true;
        case engine::EngineCommandKind::None: return false;
        default: return true;  // transaction ends and sleeps belong to the session
        }
    }

    // Binds each placeholder occurrence to the value named like it, ignoring case.
    static void bindAll(sqlite3_stmt* stmt, const engine::TranslatedSql& translated, const Binds& binds) {
        for (std::size_t i = 0; i < translated.placeholders.size(); ++i) {
            for (const auto& [name, value] : binds) {
                if (upper(name) != translated.placeholders[i]) continue;
                sqlite3_bind_text(stmt, static_cast<int>(i + 1), value.c_str(), -1, SQLITE_TRANSIENT);
            }
        }
    }

    bool step(sqlite3_stmt* stmt) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw engine::OraError::fromSqlite(db_, sqlite3_extended_errcode(db_));
    }

    static Row currentRow(sqlite3_stmt* stmt) {
        Row row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row.push_back(text == nullptr ? kNull : std::string(text));
        }
        return row;
    }

    static std::string upper(std::string text) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    sqlite3* db_ = nullptr;
    std::unique_ptr<engine::Catalog> catalog_;
    std::string lastError_;
};

}  // namespace dialect_test
