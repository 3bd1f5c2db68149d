// Benchmarks of EXECUTE, run by hand: prints its figures, never judged in CI.
//
// 1. A query of 100,000 rows of three columns fetched by one EXECUTE into
//    VARCHAR2ARR/NUMBERARR arrays and PRINTed to a file, next to the sqlite3
//    shell running the same query on the same database file into a file: a
//    NUMBER, a text and a NUMBER; then a NUMBER, a text and a DATE as stored; then
//    the DATE through TO_CHAR(d, 'YYYY-MM-DD') (the shell's strftime as its peer).
// 2. Four items that each sleep two seconds, in one EXECUTE on four connections:
//    the wall time of the statement and vorrun's processor time while it waits.
//
// Usage: execute_bench [path of vorrun]; the default is the vorrun of this build.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Rows of the fetch benchmark.
constexpr int kRows = 100000;
// Runs of each fetch measurement; the best counts, as the machine is shared.
constexpr int kRuns = 15;

struct Timing {
    double wall = 0;  // seconds
    double cpu = 0;   // user + system seconds of the child
};

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// Runs argv with standard output into `out` and the data directory `dir`.
Timing run(const std::vector<std::string>& args, const fs::path& out, const fs::path& dir)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::setenv("VOR_DATA_DIR", dir.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Timing timing;
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    return timing;
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::size_t lineCount(const fs::path& path)
{
    std::ifstream in(path);
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

// vorrun on a script written into `dir`, its output into dir/name.vro.
Timing runScript(const std::string& vorrun, const fs::path& dir, const std::string& name,
                 const std::string& text)
{
    writeFile(dir / (name + ".vrb"), text);
    return run({vorrun, "-source", (dir / (name + ".vrb")).string(), "-out", (dir / (name + ".vro")).string(),
                "-err", (dir / (name + ".vre")).string()},
               dir / "banner.txt", dir);
}

const std::string kConnect = "NUMBER c;\nVARCHAR2(200) msg;\nCONNECT c AS \"bench/bench@bench\", msg;\n";

std::string setupScript()
{
    return kConnect + "EXECUTE (c, SQL \"create table big (id number, name varchar2(20), score number)\", msg);\n"
                      "EXECUTE (c, SQL \"insert into big (id, name, score) with recursive r(i) as "
                      "(select 1 union all select i + 1 from r where i < " +
           std::to_string(kRows) + ") select i, 'name ' || i, i * 1.5 from r\", msg);\n"
                                   "EXECUTE (c, SQL \"create table dated (id number, name varchar2(30), d date)\", "
                                   "msg);\n"
                                   "EXECUTE (c, SQL \"insert into dated (id, name, d) select id, name, "
                                   "to_date('2000-01-01', 'YYYY-MM-DD') + id / 7 from big\", msg);\n"
                                   "EXECUTE (c, SQL \"COMMIT\", msg);\nPRINT msg;\n";
}

// One query of the fetch benchmark: the script's text, the shell's peer text,
// and the script type of its third column.
struct FetchCase {
    const char* title;
    const char* query;
    const char* shellQuery;
    const char* thirdType;
};

const FetchCase kFetchCases[] = {
    {"number, text, number", "select id, name, score from big order by id",
     "select id, name, score from big order by id", "NUMBERARR"},
    {"number, text, date as stored", "select id, name, d from dated order by id",
     "select id, name, d from dated order by id", "VARCHAR2ARR(20)"},
    {"number, text, TO_CHAR(date)", "select id, name, to_char(d, 'YYYY-MM-DD') from dated order by id",
     "select id, name, strftime('%Y-%m-%d', d) from dated order by id", "VARCHAR2ARR(20)"},
};

std::string fetchScript(const FetchCase& fetch)
{
    const std::string bounds = "[1," + std::to_string(kRows) + "]";
    return kConnect + "NUMBERARR" + bounds + " ids;\nVARCHAR2ARR(30)" + bounds + " names;\n" + fetch.thirdType +
           bounds + " thirds;\nEXECUTE (c, SQL [ids, names, thirds], \"" + fetch.query + "\", msg);\n"
           "PRINT ids, names, thirds;\nPRINT msg;\n";
}

// Four connections, and optionally the EXECUTE of four sleeping items.
std::string sleepScript(bool withExecute)
{
    std::string text = "VARCHAR2(200) msg;\n";
    for (int n = 1; n <= 4; ++n)
        text += "NUMBER c" + std::to_string(n) + ";\nCONNECT c" + std::to_string(n) +
                " AS \"bench/bench@bench\", msg;\n";
    if (!withExecute)
        return text;
    text += "EXECUTE ";
    for (int n = 1; n <= 4; ++n)
        text += std::string(n > 1 ? ", " : "") + "(c" + std::to_string(n) +
                ", SQL \"begin dbms_session.sleep(2); end;\", msg)";
    return text + ";\n";
}

Timing best(const std::vector<Timing>& runs)
{
    return *std::min_element(runs.begin(), runs.end(),
                             [](const Timing& a, const Timing& b) { return a.wall < b.wall; });
}

void fetchBenchmark(const std::string& vorrun, const fs::path& dir, const FetchCase& fetch)
{
    std::vector<Timing> vor, shell;
    for (int i = 0; i < kRuns; ++i) {
        vor.push_back(runScript(vorrun, dir, "fetch", fetchScript(fetch)));
        shell.push_back(run({"sqlite3", (dir / "bench.db").string(), fetch.shellQuery}, dir / "shell.txt", dir));
    }
    const Timing v = best(vor), s = best(shell);
    std::printf("fetch %d rows x 3 columns (%s), printed to a file (best of %d)\n", kRows, fetch.title, kRuns);
    std::printf("  vorrun  : %.3f s wall, %.3f s cpu, %zu lines\n", v.wall, v.cpu, lineCount(dir / "fetch.vro"));
    std::printf("  sqlite3 : %.3f s wall, %.3f s cpu, %zu lines\n", s.wall, s.cpu, lineCount(dir / "shell.txt"));
    std::printf("  ratio vorrun / sqlite3 : %.2f (wall), %.2f (cpu)\n", v.wall / s.wall, v.cpu / s.cpu);
}

void sleepBenchmark(const std::string& vorrun, const fs::path& dir)
{
    const Timing base = runScript(vorrun, dir, "connect4", sleepScript(false));
    const Timing full = runScript(vorrun, dir, "sleep4", sleepScript(true));
    const double wall = full.wall - base.wall;
    std::printf("four items sleeping 2 s each in one EXECUTE\n");
    std::printf("  EXECUTE : %.3f s wall (sequential would be 8 s)\n", wall);
    std::printf("  vorrun cpu during EXECUTE : %.4f s = %.2f %% of wall (whole run %.2f %%)\n",
                full.cpu - base.cpu, 100 * (full.cpu - base.cpu) / wall, 100 * full.cpu / full.wall);
}

std::string defaultVorrun()
{
    return (fs::read_symlink("/proc/self/exe").parent_path() / ".." / "runner" / "vorrun").string();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string vorrun = argc > 1 ? argv[1] : defaultVorrun();
    char pattern[] = "/tmp/execute_bench.XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    try {
        runScript(vorrun, dir, "setup", setupScript());
        for (const FetchCase& fetch : kFetchCases)
            fetchBenchmark(vorrun, dir, fetch);
        sleepBenchmark(vorrun, dir);
    } catch (const std::exception& failure) {
        std::cerr << "execute_bench: " << failure.what() << "\n";
        fs::remove_all(dir);
        return 1;
    }
    fs::remove_all(dir);
    return 0;
}
