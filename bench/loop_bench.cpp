// Loop benchmark: vorrun and CPython (the system interpreter itself, not a version
// manager's shim, whose start-up would flatter the ratio) run the same
// million-pass counting loop in one go; prints both times and their ratio, the peak
// memory of vorrun at a tenth and at the full number of passes (it must not grow
// with the passes), the time vorrun takes to PRINT a 100,000-element VARCHAR2ARR
// to a file, the peak memory of a 50 MB script of straight-line statements against
// its size, and the times of PRINT 1 + 1 + ... + 1 at 20k, 40k and 80k terms against
// a time linear in the length.
//
// Usage: loop_bench [path to vorrun]   (default: ../runner/vorrun beside this program)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kSystemPython = "/usr/bin/python3";
constexpr std::size_t kStraightScriptBytes = 50u << 20;

// The benchmark's scripts live beside this source file.
const std::string kBenchDir = VOR_BENCH_DIR;

struct RunResult {
    double seconds = 0;
    long peakKilobytes = 0;  // the child's maximum resident set
    bool ok = false;         // ended normally with status 0
};

// Runs a program with its standard output and error discarded.
RunResult run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return result;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The script text without its PRINT lines.
std::string withoutPrint(const std::string& text)
{
    std::istringstream lines(text);
    std::string kept, line;
    while (std::getline(lines, line))
        if (line.rfind("PRINT", 0) != 0)
            kept += line + "\n";
    return kept;
}

RunResult runScript(const std::string& vorrun, const std::string& script, const std::string& work)
{
    return run({vorrun, "-source", script, "-out", work + "/bench.vro", "-err", work + "/bench.vre"});
}

// A script of `bytes` bytes or a little more: the loop's two assignments over and
// over, without a loop.
std::string writeStraightScript(const std::string& path, std::size_t bytes)
{
    const std::string pair = "i = i + 1;\ns = s + i * 2;\n";
    std::ofstream out(path);
    out << "NUMBER i = 0, s = 0;\n";
    for (std::size_t written = 0; written < bytes; written += pair.size())
        out << pair;
    out << "PRINT s;\n";
    return path;
}

// PRINT 1 + 1 + ... + 1; with `terms` ones.
std::string writeChainScript(const std::string& path, int terms)
{
    std::ofstream out(path);
    out << "PRINT 1";
    for (int i = 1; i < terms; ++i)
        out << " + 1";
    out << ";\n";
    return path;
}

std::string defaultVorrun(const char* self)
{
    const std::string path = self;
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    return dir + "/../runner/vorrun";
}

bool report(const char* what, const RunResult& result)
{
    if (!result.ok)
        std::cerr << what << ": the run failed\n";
    return result.ok;
}

// Peak memory of a long straight-line script as a multiple of its size.
bool reportSourceSize(const std::string& vorrun, const std::string& work)
{
    const std::string path = writeStraightScript(work + "/straight.vrb", kStraightScriptBytes);
    std::ifstream sized(path, std::ios::ate | std::ios::binary);
    const double sourceKilobytes = static_cast<double>(sized.tellg()) / 1024;
    const RunResult straight = runScript(vorrun, path, work);
    std::remove(path.c_str());
    if (!report("vorrun straight-line script", straight))
        return false;
    std::printf("straight-line script of %.0f KB: %.3f s, peak memory %ld KB, "
                "ratio to the source size %.2f\n",
                sourceKilobytes, straight.seconds, straight.peakKilobytes,
                straight.peakKilobytes / sourceKilobytes);
    return true;
}

// Times of one long operator chain at three lengths; linear time keeps each ratio
// to the 20k time near the ratio of the lengths.
bool reportChains(const std::string& vorrun, const std::string& work)
{
    double first = 0;
    for (const int terms : {20000, 40000, 80000}) {
        const std::string path = writeChainScript(work + "/chain.vrb", terms);
        const RunResult chain = runScript(vorrun, path, work);
        if (!report("vorrun chain", chain))
            return false;
        if (first == 0)
            first = chain.seconds;
        std::printf("PRINT of a chain of %d terms: %.3f s, ratio to 20000 terms %.2f "
                    "(linear: %.2f)\n",
                    terms, chain.seconds, chain.seconds / first, terms / 20000.0);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string vorrun = argc > 1 ? argv[1] : defaultVorrun(argv[0]);
    char pattern[] = "/tmp/loop_bench.XXXXXX";
    const char* workDir = mkdtemp(pattern);
    if (workDir == nullptr) {
        std::cerr << "cannot make a work directory\n";
        return 1;
    }
    const std::string work = workDir;
    const std::string loop = readFile(kBenchDir + "loop_bench.vrb");
    const std::string tenth = work + "/tenth.vrb";
    writeFile(tenth, replaced(loop, "1000000", "100000"));
    const std::string printing = readFile(kBenchDir + "loop_bench_print.vrb");
    const std::string fillOnly = work + "/fill.vrb";
    writeFile(fillOnly, withoutPrint(printing));

    const RunResult script = runScript(vorrun, kBenchDir + "loop_bench.vrb", work);
    const RunResult python = run({kSystemPython, kBenchDir + "loop_bench.py"});
    const RunResult small = runScript(vorrun, tenth, work);
    const RunResult fill = runScript(vorrun, fillOnly, work);
    const RunResult print = runScript(vorrun, kBenchDir + "loop_bench_print.vrb", work);
    if (!report("vorrun loop", script) || !report("python3 loop", python) ||
        !report("vorrun tenth loop", small) || !report("vorrun fill", fill) ||
        !report("vorrun print", print)) {
        std::filesystem::remove_all(work);
        return 1;
    }

    std::printf("loop of 1000000 passes: vorrun %.3f s, CPython %.3f s, ratio %.2f\n",
                script.seconds, python.seconds, script.seconds / python.seconds);
    std::printf("vorrun peak memory: %ld KB at 100000 passes, %ld KB at 1000000 passes, "
                "ratio %.2f\n",
                small.peakKilobytes, script.peakKilobytes,
                static_cast<double>(script.peakKilobytes) / small.peakKilobytes);
    std::printf("PRINT of a 100000-element VARCHAR2ARR to a file: %.3f s "
                "(fill %.3f s, fill and print %.3f s)\n",
                print.seconds - fill.seconds, fill.seconds, print.seconds);
    const bool reported = reportSourceSize(vorrun, work) && reportChains(vorrun, work);
    std::filesystem::remove_all(work);
    return reported ? 0 : 1;
}
