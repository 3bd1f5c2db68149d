// Stored procedure calls, run by hand: prints its figures and ratios, never
// judged in CI.
//
// 1. One EXECUTE SP item that passes a 10,000-element NUMBERARR in and gets a
//    10,000-element VARCHAR2ARR back, next to the same data moved by SQL items:
//    an INSERT repeated 10,000 times over the array, then a query into the
//    text array. Each is a vorrun script that runs its items kItemRuns times,
//    so that they outweigh the start of the process; the script that only
//    fills the arrays is timed too and taken off both, and the rest divided
//    by kItemRuns.
// 2. 10,000 calls of a procedure that inserts one row, through ODbSproc with
//    one shared ODbSprocDescrObj, next to ODbQuery running the equivalent
//    INSERT 10,000 times: once with one object executed 10,000 times, once
//    with a new object per call made from the shared description.
//
// Usage: sproc_bench [--library | path of vorrun]; the default vorrun is the
// one of this build; --library runs the second benchmark alone.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>

#include "vordb.h"

using namespace Oracle;

namespace {

namespace fs = std::filesystem;

constexpr int kElements = 10000; // array elements of the items; calls of the library benchmark
constexpr int kRuns = 5;         // the best run counts, as the machine is shared
constexpr int kItemRuns = 10;    // runs of the items in one script

// Seconds of the fastest of kRuns runs of `work`.
double bestSeconds(const std::function<void()>& work)
{
    double best = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = i == 0 ? elapsed : std::min(best, elapsed);
    }
    return best;
}

// True when the file holds nothing but blanks: the scripts print only their
// items' messages, which are empty after success.
bool blank(const fs::path& path)
{
    std::ifstream in(path);
    return std::all_of(std::istreambuf_iterator<char>(in), {}, [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

// vorrun on `text`, written to dir/name.vrb; a run that fails, writes a
// diagnostic or prints a message stops the benchmark, so that a broken call is
// not timed as a fast one.
void runScript(const std::string& vorrun, const fs::path& dir, const std::string& name, const std::string& text)
{
    const fs::path script = dir / (name + ".vrb"), out = dir / (name + ".vro"), err = dir / (name + ".vre");
    std::ofstream(script) << text;
    const std::string command = "'" + vorrun + "' -source '" + script.string() + "' -out '" + out.string() +
                                "' -err '" + err.string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0 || !blank(err) || !blank(out))
        throw std::runtime_error("script " + name + " failed; see " + out.string() + " and " + err.string());
}

const std::string kBounds = "[1," + std::to_string(kElements) + "]";

// Connects and fills `nums` with 1..n; `texts` receives the results.
std::string scriptHead()
{
    return "NUMBER c;\nVARCHAR2(200) msg;\nNUMBER i = 0;\nNUMBER run = 0;\nNUMBERARR" + kBounds + " nums;\nVARCHAR2ARR(20)" +
           kBounds + " texts;\nCONNECT c AS \"bench/bench@bench\", msg;\n"
           "DOWHILE i < " + std::to_string(kElements) + "\n  i = i + 1;\n  nums[i] = i;\nEW;\n";
}

const std::string kPrintMessage = "PRINT msg;\n";

// `items` run kItemRuns times, after the head.
std::string repeatedItems(const std::string& items)
{
    return scriptHead() + "DOWHILE run < " + std::to_string(kItemRuns) + "\n  run = run + 1;\n" + items + "EW;\n";
}

std::string setupScript()
{
    return "NUMBER c;\nVARCHAR2(200) msg;\nCONNECT c AS \"bench/bench@bench\", msg;\n"
           "EXECUTE (c, SQL \"create table nums (id number)\", msg);\n"
           "EXECUTE (c, SQL \"create or replace package echo is type num_tab is table of number index by "
           "binary_integer; type txt_tab is table of varchar2(20) index by binary_integer; procedure copy(p_in in "
           "num_tab, p_out out txt_tab); end echo;\", msg);\n"
           "EXECUTE (c, SQL \"create or replace package body echo is procedure copy(p_in in num_tab, p_out out "
           "txt_tab) is begin for i in 1 .. p_in.count loop p_out(i) := to_char(p_in(i)); end loop; end; "
           "end echo;\", msg);\n" +
           kPrintMessage;
}

std::string procedureScript()
{
    return repeatedItems("EXECUTE (c, SP \"echo.copy(:nums, :texts)\", msg);\n" + kPrintMessage);
}

std::string sqlScript()
{
    return repeatedItems("EXECUTE (c, SQL \"insert into nums (id) values (:nums)\", msg) * " +
                         std::to_string(kElements) + ";\n" + kPrintMessage +
                         "EXECUTE (c, SQL [texts], \"select to_char(id) from nums order by id\", msg);\n" +
                         kPrintMessage + "EXECUTE (c, SQL \"rollback\", msg);\n");
}

void itemBenchmark(const std::string& vorrun, const fs::path& dir)
{
    runScript(vorrun, dir, "setup", setupScript());
    const double base = bestSeconds([&] { runScript(vorrun, dir, "fill", scriptHead()); });
    const double sp = (bestSeconds([&] { runScript(vorrun, dir, "sp", procedureScript()); }) - base) / kItemRuns;
    const double sql = (bestSeconds([&] { runScript(vorrun, dir, "sql", sqlScript()); }) - base) / kItemRuns;
    std::printf("%d elements in and back, one EXECUTE (best of %d, %d runs of the items a script, script start "
                "and array fill of %.3f s taken off)\n", kElements, kRuns, kItemRuns, base);
    std::printf("  SP item (NUMBERARR in, VARCHAR2ARR out) : %.4f s\n", sp);
    std::printf("  SQL items (INSERT * %d, then SELECT)    : %.4f s\n", kElements, sql);
    // A difference lost in the noise of a process start and its logon gives
    // no ratio worth printing.
    if (sp * kItemRuns > 0.1 * base && sql * kItemRuns > 0.1 * base) {
        std::printf("  ratio SP / SQL : %.2f\n", sp / sql);
    } else {
        std::printf("  ratio SP / SQL : not measurable, a difference is within the start-up's noise\n");
    }
}

// 10,000 runs of `sql` with one bound number, through one ODbQuery.
double queryRuns(ODbConnect& connection, const char* sql)
{
    return bestSeconds([&] {
        ODbQuery statement(connection);
        statement.open(sql);
        statement.getParam(1).initParam(supLongInt, 0, 1);
        for (int i = 0; i < kElements; ++i) {
            statement.getParam(1).setLongInt(i);
            statement.exec(1);
        }
    });
}

// 10,000 inserts through one object each of the two kinds.
void callsOneObject(ODbConnect& connection, const ODbSprocDescrObj& description, double& sproc, double& query)
{
    sproc = bestSeconds([&] {
        ODbSproc procedure(connection, description);
        for (int i = 0; i < kElements; ++i) {
            procedure.paramByPos(1).setLongInt(i);
            procedure.exec();
        }
    });
    query = queryRuns(connection, "insert into calls (id) values (:id)");
}

// 10,000 inserts through a new object per call, made from a shared description.
void callsNewObjects(ODbConnect& connection, const ODbSprocDescrObj& description, double& sproc, double& query)
{
    sproc = bestSeconds([&] {
        for (int i = 0; i < kElements; ++i) {
            ODbSproc procedure(connection, description);
            procedure.paramByPos(1).setLongInt(i);
            procedure.exec();
        }
    });
    const ODbQueryDescrObj insertText(connection, "insert into calls (id) values (:id)", false);
    query = bestSeconds([&] {
        for (int i = 0; i < kElements; ++i) {
            ODbQuery insert(connection);
            insert.open(insertText);
            insert.getParam(1).initParam(supLongInt, 0, 1);
            insert.getParam(1).setLongInt(i);
            insert.exec(1);
        }
    });
}

void libraryBenchmark()
{
    const Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect("bench/bench@bench");
    for (const char* ddl : {"create table calls (id number)",
                            "create or replace procedure put_num(p_id in number) is begin insert into calls (id) "
                            "values (p_id); end;"}) {
        ODbQuery create(*connection);
        create.open(ddl);
        create.exec(1);
    }
    const ODbSprocDescrObj description(*connection, "PUT_NUM", nullptr);
    double sproc = 0, query = 0;
    std::printf("%d single-row inserts through the library (best of %d)\n", kElements, kRuns);
    callsOneObject(*connection, description, sproc, query);
    std::printf("  one object : ODbSproc %.3f s, ODbQuery %.3f s, ratio %.2f\n", sproc, query, sproc / query);
    // The same call block run by a query: what the call costs the engine,
    // without the procedure object.
    const double block = queryRuns(*connection, description.getBlock());
    std::printf("  the call block through one ODbQuery : %.3f s (ODbSproc / this %.2f)\n", block, sproc / block);
    callsNewObjects(*connection, description, sproc, query);
    std::printf("  new object per call, shared description : ODbSproc %.3f s, ODbQuery %.3f s, ratio %.2f\n",
                sproc, query, sproc / query);
    ODbQuery rollback(*connection);
    rollback.open("rollback");
    rollback.exec(1);
}

std::string defaultVorrun()
{
    return (fs::read_symlink("/proc/self/exe").parent_path() / ".." / "runner" / "vorrun").string();
}

} // namespace

int main(int argc, char** argv)
{
    const bool libraryOnly = argc > 1 && std::string(argv[1]) == "--library";
    const std::string vorrun = argc > 1 && !libraryOnly ? argv[1] : defaultVorrun();
    char pattern[] = "/tmp/sproc_bench.XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    ::setenv("VOR_DATA_DIR", dir.c_str(), 1);
    int status = 0;
    try {
        if (!libraryOnly)
            itemBenchmark(vorrun, dir);
        libraryBenchmark();
    } catch (const std::exception& failure) {
        std::cerr << "sproc_bench: " << failure.what() << "\n";
        status = 1;
    } catch (const ODbException& failure) {
        std::cerr << "sproc_bench: " << failure.getErrMsg() << "\n";
        status = 1;
    }
    fs::remove_all(dir);
    return status;
}
