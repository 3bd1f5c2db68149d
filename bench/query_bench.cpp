// Reading rows through the library next to the raw SQLite C API: 100,000 rows
// of three columns read with ODbQuery::next and fieldByPos(...).getString() at
// the default fetch size and at 500, and the same rows read straight from the
// engine's database file with sqlite3_step and sqlite3_column_text. The same
// source built against vordb73 (query_bench73) measures the release-7 library
// when run with --library-ms; query_bench runs it and compares.
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <ftw.h>
#include <sqlite3.h>
#include <unistd.h>

#include "vordb.h"

using namespace Oracle;

namespace {

constexpr int RowCount = 100000;
constexpr int InsertBatch = 1000;  // rows per array insert while filling
constexpr int Repetitions = 3;     // best of this many runs counts
constexpr int DefaultFetchSize = 20;
constexpr int LargeFetchSize = 500;
constexpr const char* TableName = "BENCH_ROWS";

// Milliseconds of the fastest of Repetitions runs; `checksum` receives the
// total text length read, so the work cannot be skipped.
double bestMillis(const std::function<std::size_t()>& run, std::size_t& checksum)
{
    double best = 0;
    for (int i = 0; i < Repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        checksum = run();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        if (i == 0 || elapsed.count() < best)
            best = elapsed.count();
    }
    return best;
}

void fill(ODbConnect& connection)
{
    ODbQuery create(connection);
    create.open("create table bench_rows (id number, name varchar2(30), amount number(10,2))");
    create.exec(1);
    ODbQuery insert(connection);
    insert.open("insert into bench_rows (id, name, amount) values (:1, :2, :3)");
    insert.getParam(1).initParam(supLongInt, 0, InsertBatch);
    insert.getParam(2).initParam(supCString, 30, InsertBatch);
    insert.getParam(3).initParam(supDouble, 0, InsertBatch);
    for (int base = 0; base < RowCount; base += InsertBatch) {
        for (unsigned int i = 0; i < InsertBatch; ++i) {
            const int id = base + static_cast<int>(i);
            insert.getParam(1).setLongInt(id, i);
            insert.getParam(2).setCString(("name " + std::to_string(id)).c_str(), i);
            insert.getParam(3).setDouble(id * 0.25, i);
        }
        insert.exec(InsertBatch);
    }
    connection.commit();
}

// What a row's text costs next to what fetching it costs: with `asText`
// false the fields are only reached, not converted.
std::size_t readWithLibrary(ODbConnect& connection, int fetchSize, bool asText = true)
{
    ODbOraGlobal::Ptr->setFetchSize(fetchSize);
    ODbQuery query(connection);
    query.open("select id, name, amount from bench_rows");
    std::size_t total = 0;
    int rows = 0;
    while (query.next()) {
        for (int column = 1; column <= 3; ++column)
            total += asText ? query.fieldByPos(column).getString().size() : query.fieldByPos(column).isNull();
        ++rows;
    }
    if (rows != RowCount)
        std::fprintf(stderr, "library read %d rows\n", rows);
    return total;
}

std::size_t readWithSqlite(const std::string& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", file.c_str());
        sqlite3_close(db);
        return 0;
    }
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("select ID, NAME, AMOUNT from ") + TableName;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    std::size_t total = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int column = 0; column < 3; ++column) {
            const unsigned char* text = sqlite3_column_text(stmt, column);
            total += std::string(text != nullptr ? reinterpret_cast<const char*>(text) : "").size();
        }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return total;
}

int removeEntry(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path);
}

#ifdef VOR_TWIN_BENCH
// The twin's time at the default fetch size, as it prints it; negative when
// it could not be measured.
double twinMillis(const char* twin)
{
    const std::string command = std::string(twin) + " --library-ms";
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr)
        return -1;
    double millis = -1;
    if (std::fscanf(output, "%lf", &millis) != 1)
        millis = -1;
    return pclose(output) == 0 ? millis : -1;
}

// Prints the release-7 twin's time next to this build's.
void compareWithTwin(double at20)
{
    const double twin = twinMillis(VOR_TWIN_BENCH);
    if (twin < 0) {
        std::printf("vordb73 could not be measured\n");
        return;
    }
    std::printf("vordb8,  fetch size %3d   %9.1f ms\n", DefaultFetchSize, at20);
    std::printf("vordb73, fetch size %3d   %9.1f ms  ratio to vordb8 %.2f\n", DefaultFetchSize, twin, twin / at20);
}
#else
void compareWithTwin(double) {}
#endif

// The full report: raw SQLite, this build at two fetch sizes, and the twin.
void report(ODbConnect& connection, const std::string& dir)
{
    std::size_t sum20 = 0, sum500 = 0, sumRaw = 0, sumFetch = 0;
    const double raw = bestMillis([&] { return readWithSqlite(dir + "/default.db"); }, sumRaw);
    const double at20 = bestMillis([&] { return readWithLibrary(connection, DefaultFetchSize); }, sum20);
    const double at500 = bestMillis([&] { return readWithLibrary(connection, LargeFetchSize); }, sum500);
    const double fetchOnly =
        bestMillis([&] { return readWithLibrary(connection, DefaultFetchSize, false); }, sumFetch);
    std::printf("%d rows of 3 columns, best of %d runs\n", RowCount, Repetitions);
    std::printf("raw SQLite C API          %9.1f ms  (%zu text bytes)\n", raw, sumRaw);
    std::printf("ODbQuery, fetch size %3d  %9.1f ms  (%zu text bytes)  ratio %.2f\n", DefaultFetchSize, at20,
                sum20, at20 / raw);
    std::printf("ODbQuery, fetch size %3d  %9.1f ms  (%zu text bytes)  ratio %.2f\n", LargeFetchSize, at500,
                sum500, at500 / raw);
    std::printf("ODbQuery, fetch size %3d, fields reached but not converted to text  %9.1f ms  ratio %.2f\n",
                DefaultFetchSize, fetchOnly, fetchOnly / raw);
    compareWithTwin(at20);
}

} // namespace

int main(int argc, char** argv)
{
    const bool libraryOnly = argc > 1 && std::strcmp(argv[1], "--library-ms") == 0;
    char dir[] = "/tmp/query_bench-XXXXXX";
    if (mkdtemp(dir) == nullptr)
        return 1;
    setenv("VOR_DATA_DIR", dir, 1);
    int status = 0;
    try {
        Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect("bench/bench");
        fill(*connection);
        std::size_t checksum = 0;
        if (libraryOnly)
            std::printf("%.3f\n", bestMillis([&] { return readWithLibrary(*connection, DefaultFetchSize); }, checksum));
        else
            report(*connection, dir);
    } catch (const ODbException& e) {
        std::fprintf(stderr, "failed: %s\n", e.getErrMsg());
        status = 1;
    }
    nftw(dir, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    return status;
}
