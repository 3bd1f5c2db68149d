// The engine's call interface against the raw SQLite C API doing the same work
// in the same process: inserting 100,000 rows of (number, 30-character text,
// date) with one array-bound execute per 1,000 rows, and fetching them back in
// batches of 20. Prints both times and their ratio (target: at most 1.5).
#include "OciBenchSession.h"
#include "oci.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kArray = 1000;  // rows per array-bound execute
constexpr int kBatch = 20;    // rows per fetch
constexpr int kRepeats = 5;   // best of, alternating sides, to damp noise from other processes
constexpr int kNameSize = 31;

void fail(const std::string& what) {
    std::fprintf(stderr, "engine_bench: %s\n", what.c_str());
    std::exit(1);
}

// The rows both sides insert, as an application holds them.
struct Rows {
    std::vector<int> ids;
    std::vector<char> names;  // kNameSize bytes per row, NUL-terminated
    std::vector<ub1> dates;   // 7 bytes per row

    Rows() : ids(kRows), names(kRows * kNameSize), dates(kRows * 7) {
        for (int i = 0; i < kRows; ++i) {
            ids[i] = i;
            std::snprintf(&names[i * kNameSize], kNameSize, "name-%024d", i);
            const ub1 date[7] = {120, static_cast<ub1>(100 + i % 100), static_cast<ub1>(1 + i % 12),
                                 static_cast<ub1>(1 + i % 28), static_cast<ub1>(1 + i % 24),
                                 static_cast<ub1>(1 + i % 60), static_cast<ub1>(1 + i % 60)};
            std::memcpy(&dates[i * 7], date, 7);
        }
    }
};

// CPU time of the calling thread, in milliseconds. Both sides do all their
// work on this thread; CPU time is what they cost, where wall time on a shared
// machine mostly measures the other processes.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double millisecondsOf(const std::function<void()>& work) {
    const double start = threadMilliseconds();
    work();
    return threadMilliseconds() - start;
}

// The best times of `engine` and `peer`, run in turns so that a busy moment
// of the machine hits both alike.
std::pair<double, double> bestOf(const std::function<void()>& engine, const std::function<void()>& peer) {
    double bestEngine = 1e300, bestPeer = 1e300;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        bestEngine = std::min(bestEngine, millisecondsOf(engine));
        bestPeer = std::min(bestPeer, millisecondsOf(peer));
    }
    return {bestEngine, bestPeer};
}

// ---- the engine, through the call interface ---------------------------------

class EngineSide : public OciBenchSession {
public:
    EngineSide() : OciBenchSession("bench") {
        run("create table bench (id number(10), name varchar2(30), created date)");
    }

    void insert(Rows& rows) {
        run("delete from bench");
        OCIStmt* stmt = prepare("insert into bench (id, name, created) values (:id, :name, :created)");
        for (int first = 0; first < kRows; first += kArray) {
            OCIBind* binds[3] = {};
            OCIBindByName(stmt, &binds[0], err_, reinterpret_cast<const OraText*>(":id"), -1, &rows.ids[first],
                          sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
            OCIBindByName(stmt, &binds[1], err_, reinterpret_cast<const OraText*>(":name"), -1,
                          &rows.names[first * kNameSize], kNameSize, SQLT_STR, nullptr, nullptr, nullptr, 0,
                          nullptr, OCI_DEFAULT);
            OCIBindByName(stmt, &binds[2], err_, reinterpret_cast<const OraText*>(":created"), -1,
                          &rows.dates[first * 7], 7, SQLT_DAT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
            check(OCIStmtExecute(svc_, stmt, err_, kArray, 0, nullptr, nullptr, OCI_DEFAULT), "insert");
        }
        check(OCITransCommit(svc_, err_, OCI_DEFAULT), "commit");
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    }

    long fetch() {
        OCIStmt* stmt = prepare("select id, name, created from bench");
        double ids[kBatch];
        char names[kBatch][kNameSize];
        ub1 dates[kBatch][7];
        sb2 nameIndicators[kBatch];
        OCIDefine* defines[3] = {};
        OCIDefineByPos(stmt, &defines[0], err_, 1, ids, sizeof(double), SQLT_FLT, nullptr, nullptr, nullptr,
                       OCI_DEFAULT);
        OCIDefineByPos(stmt, &defines[1], err_, 2, names, kNameSize, SQLT_STR, nameIndicators, nullptr, nullptr,
                       OCI_DEFAULT);
        OCIDefineByPos(stmt, &defines[2], err_, 3, dates, 7, SQLT_DAT, nullptr, nullptr, nullptr, OCI_DEFAULT);
        long checksum = 0;
        ub4 seen = 0;
        sword status = OCIStmtExecute(svc_, stmt, err_, kBatch, 0, nullptr, nullptr, OCI_DEFAULT);
        while (status == OCI_SUCCESS || status == OCI_NO_DATA) {
            ub4 total = 0;
            OCIAttrGet(stmt, OCI_HTYPE_STMT, &total, nullptr, OCI_ATTR_ROW_COUNT, err_);
            for (ub4 row = 0; row < total - seen; ++row) {
                checksum += static_cast<long>(ids[row]) + names[row][29] + dates[row][3];
            }
            seen = total;
            if (status == OCI_NO_DATA) break;
            status = OCIStmtFetch(stmt, err_, kBatch, OCI_FETCH_NEXT, OCI_DEFAULT);
        }
        if (status != OCI_NO_DATA || seen != kRows) fail("engine fetch ended early");
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return checksum;
    }
};

// ---- the peer: raw SQLite doing the same conversions ------------------------

// 'YYYY-MM-DD HH24:MI:SS' to the 7-byte form, by fixed positions (as fast as
// such a parse gets, so the peer is not handicapped).
void toDate(const char* t, ub1* date) {
    auto number = [t](int at, int count) {
        int value = 0;
        for (int i = at; i < at + count; ++i) value = value * 10 + (t[i] - '0');
        return value;
    };
    const int year = number(0, 4);
    date[0] = static_cast<ub1>(year / 100 + 100);
    date[1] = static_cast<ub1>(year % 100 + 100);
    date[2] = static_cast<ub1>(number(5, 2));
    date[3] = static_cast<ub1>(number(8, 2));
    date[4] = static_cast<ub1>(number(11, 2) + 1);
    date[5] = static_cast<ub1>(number(14, 2) + 1);
    date[6] = static_cast<ub1>(number(17, 2) + 1);
}

class SqliteSide {
public:
    explicit SqliteSide(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) fail("sqlite open");
        exec("PRAGMA journal_mode=WAL");
        exec("create table bench (id number(10), name varchar2(30), created date)");
    }
    ~SqliteSide() { sqlite3_close(db_); }

    void insert(const Rows& rows) {
        exec("delete from bench");
        exec("BEGIN IMMEDIATE");
        sqlite3_stmt* stmt = prepare("insert into bench (id, name, created) values (?1, ?2, ?3)");
        for (int i = 0; i < kRows; ++i) {
            const ub1* d = &rows.dates[i * 7];
            char date[32];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", (d[0] - 100) * 100 + d[1] - 100, d[2],
                          d[3], d[4] - 1, d[5] - 1, d[6] - 1);
            const char* name = &rows.names[i * kNameSize];
            sqlite3_bind_int64(stmt, 1, rows.ids[i]);
            sqlite3_bind_text(stmt, 2, name, static_cast<int>(strnlen(name, kNameSize)), SQLITE_STATIC);
            sqlite3_bind_text(stmt, 3, date, -1, SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) != SQLITE_DONE) fail("sqlite insert");
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        exec("COMMIT");
    }

    long fetch() {
        sqlite3_stmt* stmt = prepare("select id, name, created from bench");
        double ids[kBatch];
        char names[kBatch][kNameSize];
        ub1 dates[kBatch][7];
        long checksum = 0;
        int seen = 0;
        for (bool more = true; more;) {
            int row = 0;
            for (; row < kBatch; ++row) {
                if (sqlite3_step(stmt) != SQLITE_ROW) {
                    more = false;
                    break;
                }
                ids[row] = sqlite3_column_double(stmt, 0);
                const int length = std::min(sqlite3_column_bytes(stmt, 1), kNameSize - 1);
                std::memcpy(names[row], sqlite3_column_text(stmt, 1), length);
                names[row][length] = '\0';
                toDate(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)), dates[row]);
            }
            for (int r = 0; r < row; ++r) checksum += static_cast<long>(ids[r]) + names[r][29] + dates[r][3];
            seen += row;
        }
        sqlite3_finalize(stmt);
        if (seen != kRows) fail("sqlite fetch ended early");
        return checksum;
    }

private:
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sqlite3_errmsg(db_));
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) fail(sqlite3_errmsg(db_));
        return stmt;
    }

    sqlite3* db_ = nullptr;
};

void report(const char* what, double engine, double sqlite) {
    std::printf("%-44s engine %8.1f ms CPU   sqlite %8.1f ms CPU   ratio %.2f\n", what, engine, sqlite,
                engine / sqlite);
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "engine-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) fail("mkdtemp");
    const std::string dir = pattern;
    setenv("VOR_DATA_DIR", dir.c_str(), 1);
    Rows rows;
    {
        EngineSide engine;
        SqliteSide sqlite(dir + "/peer.db");
        const auto [engineInsert, sqliteInsert] = bestOf([&] { engine.insert(rows); }, [&] { sqlite.insert(rows); });
        long engineSum = 0, sqliteSum = 0;
        const auto [engineFetch, sqliteFetch] =
            bestOf([&] { engineSum = engine.fetch(); }, [&] { sqliteSum = sqlite.fetch(); });
        if (engineSum != sqliteSum) fail("the two sides read different data");
        std::printf("%d rows of (number, 30-character text, date), best of %d\n", kRows, kRepeats);
        report("insert, one execute per 1,000 rows", engineInsert, sqliteInsert);
        report("fetch, batches of 20", engineFetch, sqliteFetch);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
